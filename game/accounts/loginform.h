#pragma once
// frmLogin: the login screen. It stays alive, hidden, for the whole run: its nick
// box names the current player and its Timer1 loops the background music.

#include "legacyform.h"

class GameApp;
class QFrame;
class QLineEdit;
class QPushButton;

class LoginForm : public LegacyForm {
    Q_OBJECT
public:
    explicit LoginForm(GameApp &app);

    // The current player's nick, as typed (txtUserName).
    QString nick() const;
    // The music file (txtFile); the loop plays it from the next Timer1 tick on.
    QString musicFile() const { return m_txtFile; }
    void setMusicFile(const QString &path) { m_txtFile = path; }
    // The music loop switch (Timer1 enabled).
    LegacyTimer *musicTimer() const { return m_timer1; }
    // The stored password read by the last attempt (Text1).
    QString storedPassword() const { return m_text1; }

    void attemptLogin();

protected:
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    GameApp &m_app;
    QLineEdit *m_txtUserName;
    QLineEdit *m_txtPassword;
    QPushButton *m_cmdOK;
    LegacyLabel *m_label1;
    LegacyLabel *m_label2;
    QFrame *m_lineA;
    QFrame *m_lineB;
    LegacyTimer *m_timer1;
    QString m_text1;
    QString m_txtFile;
};
