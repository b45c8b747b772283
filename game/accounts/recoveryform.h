#pragma once
// Form4: recovery of a forgotten password. The player proves the account with
// nick, birth date and secret answer; after a three-second check the form hands
// out one of thirteen fixed passwords (already stored at the click) and offers to
// change it for one of the player's own.

#include "legacyform.h"

#include <QString>

class GameApp;
class QComboBox;
class QFrame;
class QLineEdit;

class RecoveryForm : public LegacyForm {
    Q_OBJECT
public:
    explicit RecoveryForm(GameApp &app);

    // The thirteen passwords handed out, by list position.
    static const QStringList &handedOutPasswords();

    // Hidden working values.
    QString heading() const { return m_pemo; }            // pemo
    QString nickRead() const { return m_id1; }             // id1
    QString birthDateRead() const { return m_ngaysinh; }   // ngaysinh
    QString questionRead() const { return m_cauhoi; }      // cauhoi
    QString answerRead() const { return m_traloi1; }       // traloi1
    QString birthDateTyped() const { return m_ngaysinh1; } // ngaysinh1
    QString selector() const { return m_label5; }          // Label5
    // The password last handed out (Combo1's current item), "" when none.
    QString handedOutPassword() const;
    // Width of the progress bar Label2, in twips.
    int barWidthTwips() const { return m_barTwips; }

    void check();          // Command1
    void changePassword(); // Command3

protected:
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void load() override;
    void resetControls() override;

private:
    void buildInputs();
    void buildProgress();
    void buildChangePanel();
    void tick();
    bool informationRight() const;
    void layoutBar();
    // The bar back at its start, with `percent` shown beside it (Label3).
    void restartBar(const QString &percent);
    void setNewPasswordBoxesOpen(bool open);

    GameApp &m_app;

    LegacyLabel *m_label1 = nullptr; // the typed-out heading
    QFrame *m_picture1 = nullptr;
    QLineEdit *m_id = nullptr;
    QLineEdit *m_thang = nullptr; // the day
    QLineEdit *m_ngay = nullptr;  // the month
    QLineEdit *m_nam = nullptr;   // the year
    QComboBox *m_bimat = nullptr;
    QLineEdit *m_traloi = nullptr;
    LegacyLabel *m_doi = nullptr;
    LegacyLabel *m_command1 = nullptr;
    LegacyLabel *m_command2 = nullptr;

    QFrame *m_picture2 = nullptr;
    QFrame *m_track = nullptr;
    QFrame *m_bar = nullptr; // Label2
    LegacyLabel *m_label3 = nullptr;
    LegacyLabel *m_kt = nullptr;

    QFrame *m_picture3 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QLineEdit *m_text3 = nullptr;

    LegacyLabel *m_xem = nullptr;
    LegacyTimer *m_timer1 = nullptr;

    // Hidden working values.
    QString m_pemo;
    QString m_id1;
    QString m_ngaysinh;
    QString m_cauhoi;
    QString m_traloi1;
    QString m_ngaysinh1;
    QString m_label5;
    int m_barTwips = 0;
    int m_headingLength = 0;
    int m_shown = 0;
    // Whether the check that started the running animation handed out a password.
    bool m_handedOut = false;
    bool m_notStored = false; // the last check was right but its password was not stored
    int m_combo1 = -1;        // Combo1: list position of the password last handed out
    qint64 m_recoveredRow = 0; // not 0: a password was stored for the nick in m_id
    QString m_recoveredPassword; // the password stored
};
