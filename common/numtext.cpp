#include "numtext.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <limits>

namespace num {
namespace {
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}
bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The numeric prefix of a text, as written, without its blanks: an optional
// sign, the digits before and after an optional decimal point, and the digits
// of an exponent (only after a digit).
struct Prefix {
    QChar sign;         // '-', '+' or none
    std::string whole;  // digits before the point
    bool point = false; // a decimal point follows them
    std::string fraction;
    QChar expSign;         // '-', '+' or none
    QStringView expDigits; // empty when there is no exponent
    bool anyDigit() const { return !whole.empty() || !fraction.empty(); }
};

Prefix scan(QStringView text)
{
    Prefix p;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };
    auto digits = [&](std::string &to) {
        for (skipBlanks(); i < n && isDigit(text[i]); skipBlanks())
            to += char(text[i++].unicode());
    };
    skipBlanks();
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        p.sign = text[i++];
    digits(p.whole);
    if (i < n && text[i] == u'.') {
        p.point = true;
        ++i;
        digits(p.fraction);
    }
    if (p.anyDigit() && i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        qsizetype j = i + 1;
        QChar sign;
        if (j < n && (text[j] == u'-' || text[j] == u'+'))
            sign = text[j++];
        const qsizetype from = j;
        while (j < n && isDigit(text[j]))
            ++j;
        if (j > from) {
            p.expSign = sign;
            p.expDigits = text.sliced(from, j - from);
        }
    }
    return p;
}
} // namespace

double value(QStringView text)
{
    // Gather the number's characters without blanks, then let the C library
    // convert them (it saturates to +-HUGE_VAL on overflow, which we clamp).
    const Prefix p = scan(text);
    if (!p.anyDigit())
        return 0.0;
    std::string clean;
    if (!p.sign.isNull())
        clean += char(p.sign.unicode());
    clean += p.whole;
    if (p.point)
        clean += '.' + p.fraction;
    if (!p.expDigits.isEmpty()) {
        // Every digit counts, however many leading zeros come first; an
        // exponent past any double's range is held there (the value then
        // saturates, or is 0).
        qint64 e = 0;
        for (const QChar c : p.expDigits)
            e = std::min<qint64>(e * 10 + (c.unicode() - u'0'), 100000);
        clean += 'e';
        if (!p.expSign.isNull())
            clean += char(p.expSign.unicode());
        clean += std::to_string(e);
    }
    double v = std::strtod(clean.c_str(), nullptr);
    if (!std::isfinite(v))
        v = v < 0 ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
    return v;
}

qint64 roundHalfEven(double v)
{
    if (!std::isfinite(v))
        return 0;
    constexpr double lim = 9.2e18;
    if (v >= lim)
        return std::numeric_limits<qint64>::max();
    if (v <= -lim)
        return std::numeric_limits<qint64>::min();
    return qint64(std::nearbyint(v)); // default rounding mode: to nearest, ties to even
}

qint64 whole(QStringView text)
{
    return roundHalfEven(value(text));
}

QString text(qint64 v)
{
    return QString::number(v);
}

QString text(double v)
{
    if (!std::isfinite(v))
        return QStringLiteral("0");
    if (v == std::floor(v)) {
        if (std::fabs(v) < 9.0e18)
            return QString::number(qint64(v));
        return QString::number(v, 'f', 0);
    }
    return QString::number(v, 'g', 15);
}

} // namespace num

// --- exact decimals ------------------------------------------------------------

namespace num {
namespace {

// sign * digits * 10^-scale; digits without leading zeros ("" is zero).
struct Decimal {
    bool negative = false;
    std::string digits;
    qsizetype scale = 0;
};

void normalise(Decimal &d)
{
    qsizetype lead = 0;
    while (lead < qsizetype(d.digits.size()) && d.digits[size_t(lead)] == '0')
        ++lead;
    d.digits.erase(0, size_t(lead));
    while (d.scale > 0 && !d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
        --d.scale;
    }
    if (d.digits.empty()) {
        d.negative = false;
        d.scale = 0;
    }
}

// The numeric-prefix rule of value(), kept digit for digit.
std::optional<Decimal> parse(QStringView text)
{
    const Prefix p = scan(text);
    if (!p.anyDigit())
        return Decimal{};
    Decimal d;
    d.negative = p.sign == u'-';
    d.digits = p.whole + p.fraction;
    d.scale = qsizetype(p.fraction.size());
    if (!p.expDigits.isEmpty()) {
        qint64 exp = 0;
        for (const QChar c : p.expDigits)
            if (exp <= kMaxExactDigits * 10)
                exp = exp * 10 + (c.unicode() - u'0');
        normalise(d);
        if (d.digits.empty())
            return d; // zero, whatever the exponent
        d.scale += p.expSign == u'-' ? exp : -exp;
        if (d.scale < 0) {
            if (qsizetype(d.digits.size()) - d.scale > kMaxExactDigits)
                return std::nullopt;
            d.digits.append(size_t(-d.scale), '0');
            d.scale = 0;
        }
    }
    normalise(d);
    if (qsizetype(d.digits.size()) > kMaxExactDigits || d.scale > kMaxExactDigits)
        return std::nullopt;
    return d;
}

// Digit strings of the same scale, padded to one length.
void align(Decimal &a, Decimal &b)
{
    const qsizetype scale = std::max(a.scale, b.scale);
    a.digits.append(size_t(scale - a.scale), '0');
    b.digits.append(size_t(scale - b.scale), '0');
    a.scale = b.scale = scale;
    const size_t len = std::max(a.digits.size(), b.digits.size());
    a.digits.insert(0, len - a.digits.size(), '0');
    b.digits.insert(0, len - b.digits.size(), '0');
}

std::string addMagnitudes(const std::string &a, const std::string &b)
{
    std::string out(a.size() + 1, '0');
    int carry = 0;
    for (size_t k = a.size(); k-- > 0;) {
        const int s = (a[k] - '0') + (b[k] - '0') + carry;
        out[k + 1] = char('0' + s % 10);
        carry = s / 10;
    }
    out[0] = char('0' + carry);
    return out;
}

// a - b, a >= b.
std::string subtractMagnitudes(const std::string &a, const std::string &b)
{
    std::string out(a.size(), '0');
    int borrow = 0;
    for (size_t k = a.size(); k-- > 0;) {
        int s = (a[k] - '0') - (b[k] - '0') - borrow;
        borrow = s < 0;
        out[k] = char('0' + (s + 10) % 10);
    }
    return out;
}

QString format(const Decimal &d)
{
    if (d.digits.empty())
        return QStringLiteral("0");
    std::string s = d.digits;
    if (d.scale > 0) {
        if (qsizetype(s.size()) <= d.scale)
            s.insert(0, size_t(d.scale - qsizetype(s.size()) + 1), '0');
        s.insert(s.size() - size_t(d.scale), 1, '.');
    }
    if (d.negative)
        s.insert(0, 1, '-');
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

} // namespace

std::optional<QString> exactText(QStringView text)
{
    const std::optional<Decimal> d = parse(text);
    if (!d)
        return std::nullopt;
    return format(*d);
}

namespace {
std::optional<QString> add(std::optional<Decimal> x, std::optional<Decimal> y)
{
    if (!x || !y)
        return std::nullopt;
    align(*x, *y);
    Decimal r;
    r.scale = x->scale;
    if (x->negative == y->negative) {
        r.negative = x->negative;
        r.digits = addMagnitudes(x->digits, y->digits);
    } else if (x->digits >= y->digits) { // same length: text order is number order
        r.negative = x->negative;
        r.digits = subtractMagnitudes(x->digits, y->digits);
    } else {
        r.negative = y->negative;
        r.digits = subtractMagnitudes(y->digits, x->digits);
    }
    normalise(r);
    if (qsizetype(r.digits.size()) > kMaxExactDigits)
        return std::nullopt;
    return format(r);
}
} // namespace

std::optional<QString> exactSum(QStringView a, QStringView b)
{
    return add(parse(a), parse(b));
}

std::optional<QString> exactDifference(QStringView a, QStringView b)
{
    std::optional<Decimal> y = parse(b);
    if (y && !y->digits.empty())
        y->negative = !y->negative;
    return add(parse(a), y);
}

} // namespace num
