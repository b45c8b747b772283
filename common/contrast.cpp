#include "contrast.h"

#include <QFont>

#include <algorithm>
#include <cmath>

namespace contrast {

namespace {
double channel(double v)
{
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

QColor withLightness(const QColor &c, double lightness)
{
    const QColor hsl = c.toHsl();
    QColor out = QColor::fromHslF(hsl.hslHueF() < 0 ? 0 : hsl.hslHueF(), hsl.hslSaturationF(), lightness,
                                  c.alphaF());
    return out.toRgb();
}

// The lightness nearest to the colour's own at which `good` holds, searched in
// both directions; the colour itself when no shade does.
template <typename Good>
QColor nearestShade(const QColor &c, Good good)
{
    if (good(c))
        return c;
    const double own = c.toHsl().lightnessF();
    for (int step = 1; step <= 255; ++step) {
        const double d = step / 255.0;
        for (const double l : {own + d, own - d}) {
            if (l < 0 || l > 1)
                continue;
            const QColor shade = withLightness(c, l);
            if (good(shade))
                return shade;
        }
    }
    return c;
}
} // namespace

double luminance(const QColor &c)
{
    const QColor rgb = c.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

double ratio(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double minimumFor(const QFont &font)
{
    const double pt = font.pointSizeF();
    return pt >= 18 || (pt >= 14 && font.bold()) ? 3.0 : 4.5;
}

QColor readableOn(const QColor &text, const QList<QColor> &behind, double minimum)
{
    return nearestShade(text, [&](const QColor &shade) {
        return std::all_of(behind.cbegin(), behind.cend(),
                           [&](const QColor &b) { return ratio(shade, b) >= minimum; });
    });
}

QColor readableUnder(const QColor &fill, const QList<QPair<QColor, double>> &inks)
{
    return nearestShade(fill, [&](const QColor &shade) {
        return std::all_of(inks.cbegin(), inks.cend(),
                           [&](const QPair<QColor, double> &ink) { return ratio(shade, ink.first) >= ink.second; });
    });
}

} // namespace contrast
