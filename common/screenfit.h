#pragma once
// Every window of both programs opens wholly inside the available area of the
// screen it opens on (the desktop less its panels and docks), title bar and
// borders included. A window whose designed size does not fit is scaled down,
// keeping its proportions (never below what its layout needs); a window the
// window manager or a remembered place puts partly off that area is brought
// back inside. Windows are laid out so that what they need fits a 1280×720
// screen.

#include <QMargins>
#include <QRect>
#include <QSize>

class QApplication;
class QWidget;

namespace screenfit {

// The size for a window designed at `designed` whose frame (title bar and
// borders) adds `frame`, so that the framed window fits `area`: the designed
// size, or that size scaled down keeping its proportions, but never below
// `smallest` (what the window cannot do without).
QSize fittedSize(QSize designed, QSize smallest, QMargins frame, QSize area);

// The frame `window` has or will have: the one the window manager drew around
// it, else the one it drew around another window of the program (it frames
// them alike), else the usual title bar and borders of a desktop.
QMargins frameOf(const QWidget *window);

// Shrinks a top-level window when its framed size does not fit `area`, and
// moves it so that its frame lies wholly inside (a window larger than the area
// keeps its title bar on screen). Positions are the frame's, as QWidget::move
// takes them before a window is first shown and once it is framed. A window
// never placed and not shown yet is left for the window manager to place.
void fitInto(QWidget *window, const QRect &area);

// Centres a panel lying over its form (its parent) at its size hint, at least
// `minWidth` wide, never larger than the form.
void centreOnForm(QWidget *panel, int minWidth);

// Fits every top-level window into its screen's available area each time it
// is shown: its size as it opens, its place once the window manager has framed
// it (before that, where a window lands and how tall its title bar is are the
// window manager's). Full-screen and maximised windows are the window
// manager's alone.
void install(QApplication &app);

} // namespace screenfit
