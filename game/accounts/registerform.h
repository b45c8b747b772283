#pragma once
// Form2: registration of a new account. Three stages on one window: the
// introduction (Frame1), the registration panel with its nick check, and the
// summary of the new account (baocao). Closing the window starts it afresh next
// time; Continue (Command2) only hides it, so it reopens on the summary.

#include "legacyform.h"

#include <QString>

class GameApp;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;

class RegisterForm : public LegacyForm {
    Q_OBJECT
public:
    explicit RegisterForm(GameApp &app);

    // Hidden working values.
    QString lastNickRead() const { return m_id1; }          // id1
    QString confirmedPassword() const { return m_pass; }    // pass
    QString composedBirthDate() const { return m_ngaysinh; } // ngaysinh (month/day/year)
    QString birthDateRead() const { return m_ngaysinh1; }    // ngaysinh1
    QString failedFields() const { return m_loi; }           // loi
    // The summary frame's caption, as a legacy text ("Xin chào " + nick).
    QString summaryCaption() const { return m_summaryCaption; }

    void checkNick();           // lblLabels7
    void attemptRegistration(); // Command1

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void load() override;
    void resetControls() override;

private:
    void buildIntroduction();
    void buildPanel();
    void buildSummary();
    void normaliseDateBox(QComboBox *box);
    void setConfirmColour(const QColor &c);
    void setCheckColour(const QColor &c);
    void setStatus(const QString &legacy);

    GameApp &m_app;
    bool m_normalising = false;

    // Introduction.
    QGroupBox *m_frame1 = nullptr;
    QPlainTextEdit *m_text1 = nullptr;
    QCheckBox *m_check1 = nullptr;
    LegacyLabel *m_cmdOK = nullptr;

    // Registration panel.
    QWidget *m_page = nullptr;
    QFrame *m_inputs = nullptr;
    QLineEdit *m_id = nullptr;
    QLineEdit *m_p1 = nullptr;
    QLineEdit *m_p2 = nullptr;
    QComboBox *m_thang = nullptr; // the day
    QComboBox *m_ngay = nullptr;  // the month
    QComboBox *m_nam = nullptr;   // the year
    QLineEdit *m_mail = nullptr;
    QComboBox *m_bimat = nullptr;
    QLineEdit *m_traloi = nullptr;
    LegacyLabel *m_checkId = nullptr;
    LegacyLabel *m_command1 = nullptr;
    LegacyLabel *m_command2 = nullptr;

    // Summary.
    QGroupBox *m_baocao = nullptr;
    QLineEdit *m_id113 = nullptr;
    QLineEdit *m_pa = nullptr;
    QLineEdit *m_ns = nullptr;
    QLineEdit *m_mail1 = nullptr;
    LegacyLabel *m_tien = nullptr;
    QString m_summaryCaption;

    LegacyLabel *m_xem = nullptr;
    LegacyLabel *m_L = nullptr;

    // Hidden working values.
    QString m_id1;
    QString m_pass;
    QString m_ngaysinh;
    QString m_ngaysinh1;
    QString m_loi;
    qint64 m_ownRow = 0; // the row this form inserted and has not removed
};
