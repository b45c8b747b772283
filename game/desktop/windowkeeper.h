#pragma once
// A game window that keeps its size and place between runs (in the player's
// settings, under its objectName) and goes full screen and back with F11.

#include <QObject>

class QSettings;
class QWidget;

class WindowKeeper : public QObject {
public:
    // Restores the window's last size and place, when the settings hold one.
    WindowKeeper(QWidget *window, QSettings *store);

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void save();
    QWidget *m_window;
    QSettings *m_store;
};
