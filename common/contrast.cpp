#include "contrast.h"

#include <QFont>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>

namespace contrast {

namespace {
double channel(double v)
{
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// The shade of a colour (given as hue, saturation and lightness) at `lightness`.
QColor withLightness(const QColor &hsl, double lightness)
{
    QColor out = QColor::fromHslF(hsl.hslHueF() < 0 ? 0 : hsl.hslHueF(), hsl.hslSaturationF(), lightness,
                                  hsl.alphaF());
    return out.toRgb();
}

// The lightness nearest to the colour's own at which `good` holds, searched in
// both directions; the colour itself when no shade does.
template <typename Good>
QColor nearestShade(const QColor &c, Good good)
{
    if (good(c))
        return c;
    const QColor hsl = c.toHsl();
    const double own = hsl.lightnessF();
    for (int step = 1; step <= 255; ++step) {
        const double d = step / 255.0;
        for (const double l : {own + d, own - d}) {
            if (l < 0 || l > 1)
                continue;
            const QColor shade = withLightness(hsl, l);
            if (good(shade))
                return shade;
        }
    }
    return c;
}

double ratioOfLuminances(double la, double lb)
{
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Whether a colour of luminance `l` reaches `minimum` against every luminance of `behind`.
template <typename Luminances>
bool readsOnAll(double l, const Luminances &behind, double minimum)
{
    return std::all_of(behind.cbegin(), behind.cend(), [&](double b) { return ratioOfLuminances(l, b) >= minimum; });
}
} // namespace

double luminance(const QColor &c)
{
    const QColor rgb = c.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

double ratio(const QColor &a, const QColor &b)
{
    return ratioOfLuminances(luminance(a), luminance(b));
}

double minimumFor(const QFont &font)
{
    const double pt = font.pointSizeF();
    return pt >= 18 || (pt >= 14 && font.bold()) ? 3.0 : 4.5;
}

// What lies behind is the same for every shade tried: its luminances are worked
// out once.
QColor readableOn(const QColor &text, const QList<QColor> &behind, double minimum)
{
    QVarLengthArray<double, 4> back;
    for (const QColor &b : behind)
        back.append(luminance(b));
    return nearestShade(text, [&](const QColor &shade) { return readsOnAll(luminance(shade), back, minimum); });
}

QColor readableUnder(const QColor &fill, const QList<QPair<QColor, double>> &inks)
{
    QVarLengthArray<QPair<double, double>, 4> over;
    for (const QPair<QColor, double> &ink : inks)
        over.append({luminance(ink.first), ink.second});
    return nearestShade(fill, [&](const QColor &shade) {
        const double l = luminance(shade);
        return std::all_of(over.cbegin(), over.cend(), [&](const QPair<double, double> &ink) {
            return ratioOfLuminances(l, ink.first) >= ink.second;
        });
    });
}

} // namespace contrast
