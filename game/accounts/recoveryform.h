#pragma once
// Form4 (to be built).

#include <QWidget>

class GameApp;

class RecoveryForm : public QWidget {
    Q_OBJECT
public:
    explicit RecoveryForm(GameApp &app);

private:
    GameApp &m_app;
};
