#pragma once
// Pressing a control from the keyboard exactly as a mouse click would: only a
// control the mouse could click (shown, enabled, not covered by another control
// where the pointer would land), and through the same press and release.

class QWidget;

namespace ui {

// Whether a click in the middle of w would reach w.
bool reachable(const QWidget *w);
// Clicks w as the mouse does; false (and nothing happens) when it is not reachable.
bool pressLikeMouse(QWidget *w);

} // namespace ui
