#include "numtext.h"

#include <cmath>
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
        bool expDigit = false;
        while (j < n && isDigit(text[j]) && exp.size() < 12) {
            exp += char(text[j++].unicode());
            expDigit = true;
        }
        if (expDigit)
            clean += exp;
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
