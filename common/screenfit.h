#pragma once
// Every window of both programs opens wholly inside the available area of the
// screen it opens on (the desktop less its panels and docks). A window whose
// designed size does not fit is scaled down, keeping its proportions (never
// below what its layout needs); a remembered size or place that lies partly
// off that area is brought back inside. Windows are laid out so that what they
// need fits a 1280×720 screen.

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

// Shrinks a top-level window when its framed size does not fit `area`, and
// moves it so that it lies wholly inside.
void fitInto(QWidget *window, const QRect &area);

// Centres a panel lying over its form (its parent) at its size hint, at least
// `minWidth` wide, never larger than the form.
void centreOnForm(QWidget *panel, int minWidth);

// Fits every top-level window into its screen's available area each time it
// is shown (full-screen and maximised windows are the window system's).
void install(QApplication &app);

} // namespace screenfit
