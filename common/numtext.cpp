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
} // namespace

double value(QStringView text)
{
    // Gather the number's characters without blanks, then let the C library
    // convert them (it saturates to +-HUGE_VAL on overflow, which we clamp).
    std::string clean;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };
    skipBlanks();
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        clean += char(text[i].unicode());
        ++i;
    }
    bool anyDigit = false;
    for (skipBlanks(); i < n && isDigit(text[i]); skipBlanks()) {
        clean += char(text[i].unicode());
        anyDigit = true;
        ++i;
    }
    if (i < n && text[i] == u'.') {
        clean += '.';
        ++i;
        for (skipBlanks(); i < n && isDigit(text[i]); skipBlanks()) {
            clean += char(text[i].unicode());
            anyDigit = true;
            ++i;
        }
    }
    if (!anyDigit)
        return 0.0;
    if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        qsizetype j = i + 1;
        std::string exp = "e";
        if (j < n && (text[j] == u'-' || text[j] == u'+'))
            exp += char(text[j++].unicode());
        // Every digit counts, however many leading zeros come first; an
        // exponent past any double's range is held there (the value then
        // saturates, or is 0).
        qint64 e = 0;
        bool expDigit = false;
        for (; j < n && isDigit(text[j]); ++j) {
            e = std::min<qint64>(e * 10 + (text[j].unicode() - u'0'), 100000);
            expDigit = true;
        }
        if (expDigit)
            clean += exp + std::to_string(e);
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
    Decimal d;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };
    skipBlanks();
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        d.negative = text[i++] == u'-';
    bool anyDigit = false;
    for (skipBlanks(); i < n && isDigit(text[i]); skipBlanks()) {
        d.digits += char(text[i++].unicode());
        anyDigit = true;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        for (skipBlanks(); i < n && isDigit(text[i]); skipBlanks()) {
            d.digits += char(text[i++].unicode());
            ++d.scale;
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return Decimal{};
    if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        qsizetype j = i + 1;
        bool expNegative = false;
        if (j < n && (text[j] == u'-' || text[j] == u'+'))
            expNegative = text[j++] == u'-';
        qint64 exp = 0;
        bool expDigit = false;
        while (j < n && isDigit(text[j])) {
            if (exp <= kMaxExactDigits * 10)
                exp = exp * 10 + (text[j].unicode() - u'0');
            ++j;
            expDigit = true;
        }
        if (expDigit) {
            normalise(d);
            if (d.digits.empty())
                return d; // zero, whatever the exponent
            d.scale += expNegative ? exp : -exp;
            if (d.scale < 0) {
                if (qsizetype(d.digits.size()) - d.scale > kMaxExactDigits)
                    return std::nullopt;
                d.digits.append(size_t(-d.scale), '0');
                d.scale = 0;
            }
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
