#pragma once
// The studio look shared by every form of both programs: a deep blue stage,
// gold-rimmed capsule buttons, light text. Roles are set as the dynamic property
// "role" on a widget: "button", "title", "host", "panel", "answer", "money".

#include <QColor>
#include <QString>

class QApplication;
class QWidget;

namespace studio {

void applyApplicationStyle(QApplication &app);
// Marks a top-level form so it gets the stage background.
void styleForm(QWidget *form);
void setRole(QWidget *w, const char *role);

inline QColor gold() { return QColor(255, 215, 90); }
inline QColor stageBlue() { return QColor(10, 18, 64); }
inline QColor ink() { return QColor(232, 238, 252); }

} // namespace studio
