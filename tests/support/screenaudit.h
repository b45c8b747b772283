#pragma once
// What a player sees wrong in a window as it is on screen: a text cut by its
// control or by the panel it lies in, a text under another control, a text
// that does not read on what is drawn behind it (contrast below 4.5:1, 3:1 for
// large text; disabled controls aside). Scrolling views are checked for their
// colours only; a panel laid over the form (not in its layout) hides what lies
// under it rather than covering it.

#include <QStringList>

class QWidget;

namespace screenaudit {

// One line a fault, naming the control; empty when there is none.
QStringList faults(QWidget *window);

// Every text a player can read in the window: labels, buttons, the headers and
// items of lists and trees.
QStringList shownTexts(QWidget *window);

} // namespace screenaudit
