#pragma once
// Numbers held as text: money, counters and flags live in captions and in the
// database as text. Reading one uses the numeric-prefix rule, writing one gives
// plain decimal text without separators or currency sign.

#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>

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

// Exact decimal arithmetic, for money and counters that are stored: no
// rounding at any size. A text is read by the numeric-prefix rule above, but
// digit for digit ("1 000$" is 1000, "1000.00001" stays 1000.00001, "2e3" is
// 2000), and the result is plain decimal text without exponent, trailing
// fraction zeros or a negative zero. Nothing is returned when the value cannot
// be written out exactly within kMaxExactDigits digits (a huge exponent).
constexpr qsizetype kMaxExactDigits = 100000;
std::optional<QString> exactText(QStringView text);
std::optional<QString> exactSum(QStringView a, QStringView b);
std::optional<QString> exactDifference(QStringView a, QStringView b); // a - b

// Integer division truncating toward zero, the way a half range is taken.
inline qint64 halfOf(qint64 v) { return v / 2; }

} // namespace num
