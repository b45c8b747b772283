#pragma once
// frmLogin of the editor: asks for the access code before the editor form is
// shown. Enter checks the code, Esc leaves the editor.

#include "legacyform.h"

class EditorApp;
class QLineEdit;
class QPushButton;

class EditorLoginForm : public LegacyForm {
    Q_OBJECT
public:
    explicit EditorLoginForm(EditorApp &app);

    // True once the right code was entered.
    bool loginSucceeded() const { return m_loginSucceeded; }

    void checkCode(); // cmdOK
    void cancel();    // cmdCancel

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    EditorApp &m_app;
    LegacyLabel *m_label1;
    QLineEdit *m_txtPassword;
    QPushButton *m_cmdOK;
    QPushButton *m_cmdCancel;
    bool m_loginSucceeded = false;
};
