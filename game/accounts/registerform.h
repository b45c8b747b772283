#pragma once
// Form2 (to be built).

#include <QWidget>

class GameApp;

class RegisterForm : public QWidget {
    Q_OBJECT
public:
    explicit RegisterForm(GameApp &app);

private:
    GameApp &m_app;
};
