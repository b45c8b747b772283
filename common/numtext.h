#pragma once
// Numbers held as text: money, counters and flags live in captions and in the
// database as text. Reading one uses the numeric-prefix rule, writing one gives
// plain decimal text without separators or currency sign.

#include <QString>
#include <QStringView>
#include <QtGlobal>

namespace num {

// Numeric-prefix rule: leading blanks skipped, blanks between digits ignored,
// an optional sign, digits, an optional decimal part and exponent; reading stops
// at the first character that cannot continue the number. Empty or non-numeric
// text reads as 0 ("1 000$" is 1000, "12ab" is 12, "abc" is 0). Never overflows:
// values beyond the double range saturate.
double value(QStringView text);

// The value as a whole number (rounded half to even, saturated to the qint64 range).
qint64 whole(QStringView text);

// Plain decimal text: 13200, -500, 0.5. Non-finite values are written as 0.
QString text(double v);
QString text(qint64 v);
inline QString text(int v) { return text(qint64(v)); }

// Round half to even, as money and colour channels are rounded.
qint64 roundHalfEven(double v);

// Integer division truncating toward zero, the way a half range is taken.
inline qint64 halfOf(qint64 v) { return v / 2; }

} // namespace num
