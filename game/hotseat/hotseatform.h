#pragma once
// Form1 (to be built).

#include <QWidget>

class GameApp;

class HotSeatForm : public QWidget {
    Q_OBJECT
public:
    explicit HotSeatForm(GameApp &app);

private:
    GameApp &m_app;
};
