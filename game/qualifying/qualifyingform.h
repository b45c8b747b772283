#pragma once
// choi (to be built).

#include <QWidget>

class GameApp;

class QualifyingForm : public QWidget {
    Q_OBJECT
public:
    explicit QualifyingForm(GameApp &app);

private:
    GameApp &m_app;
};
