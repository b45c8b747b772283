#pragma once
// The studio look shared by every form of both programs: a deep blue stage,
// gold-rimmed capsule buttons, light text. Roles are set as the dynamic property
// "role" on a widget: "button", "title", "host", "panel", "answer", "money".

#include <QColor>
#include <QList>
#include <QString>
#include <initializer_list>

class QApplication;
class QHBoxLayout;
class QWidget;

namespace studio {

void applyApplicationStyle(QApplication &app);
// Marks a top-level form so it gets the stage background.
void styleForm(QWidget *form);
void setRole(QWidget *w, const char *role);
// A row that keeps its widgets (each with `stretch`) in the middle of the room it gets.
QHBoxLayout *centredRow(std::initializer_list<QWidget *> widgets, int stretch = 0);

inline QColor gold() { return QColor(255, 215, 90); }
inline QColor stageBlue() { return QColor(10, 18, 64); }
inline QColor ink() { return QColor(232, 238, 252); }

// What lies behind a text, as the ends of its gradient (see contrast.h): the
// stage of a form, a panel on it, and a capsule button (resting and under the mouse).
inline QList<QColor> behindStage() { return {QColor(0x24, 0x33, 0x8f), QColor(0x05, 0x0a, 0x26)}; }
inline QList<QColor> behindPanel() { return {QColor(11, 18, 60), QColor(6, 12, 44)}; }
inline QList<QColor> behindButton()
{
    return {QColor(0x2a, 0x3f, 0x9a), QColor(0x0b, 0x14, 0x40), QColor(0x3d, 0x5f, 0xd8), QColor(0x14, 0x21, 0x7a)};
}

} // namespace studio
