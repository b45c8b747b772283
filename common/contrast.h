#pragma once
// Readable colours. Many texts of the forms take designed or random colours;
// what is drawn is the shade of that colour (same hue and saturation, another
// lightness) that reads on what lies behind it: a contrast ratio of at least
// 4.5:1, 3:1 for large text (WCAG 2). The designed colour stays what the forms
// set and read.

#include <QColor>
#include <QList>
#include <QPair>

class QFont;

namespace contrast {

// Relative luminance of an opaque colour, 0 (black) to 1 (white).
double luminance(const QColor &c);
// The contrast ratio of two opaque colours, 1 to 21.
double ratio(const QColor &a, const QColor &b);
// 3 for large text (18 pt, or 14 pt bold), else 4.5.
double minimumFor(const QFont &font);

// The shade of `text` nearest to it that reaches `minimum` against every one
// of `behind` (for a gradient: its ends); `text` itself when it already does.
QColor readableOn(const QColor &text, const QList<QColor> &behind, double minimum);
// The shade of a fill nearest to it under which every ink (a text colour and
// the ratio it needs) reads.
QColor readableUnder(const QColor &fill, const QList<QPair<QColor, double>> &inks);

} // namespace contrast
