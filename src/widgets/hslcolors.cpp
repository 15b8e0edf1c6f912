#include "widgets/hslcolors.h"

#include <QColor>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

// std::nearbyint follows the default rounding mode: to nearest, halves to even.
int roundEven(double value)
{
    return int(std::nearbyint(value));
}

QPalette::ColorRole systemRole(int index)
{
    switch (index) {
    case ColorIndexBtnShadow:
        return QPalette::Dark;
    case ColorIndexBtnHighlight:
        return QPalette::Light;
    default:
        return QPalette::Button;
    }
}

} // namespace

QColor toQColor(TColor color, const QPalette &palette)
{
    const TColor rgb = resolveColor(color, palette);
    return QColor(int(rgb & 0xFF), int(rgb >> 8 & 0xFF), int(rgb >> 16 & 0xFF));
}

TColor fromQColor(const QColor &color)
{
    return rgbColor(color.red(), color.green(), color.blue());
}

TColor resolveColor(TColor color, const QPalette &palette)
{
    if ((color & SystemColorFlag) != SystemColorFlag)
        return color & 0x00FFFFFF;
    return fromQColor(palette.color(systemRole(int(color & 0xFF))));
}

Hsl ColorToHsl(TColor rgb)
{
    const double r = double(rgb & 0xFF) / 255;
    const double g = double(rgb >> 8 & 0xFF) / 255;
    const double b = double(rgb >> 16 & 0xFF) / 255;
    const double max = std::max({r, g, b});
    const double min = std::min({r, g, b});
    Hsl hsl{0, 0, (max + min) / 2};
    if (max == min)
        return hsl;
    const double d = max - min;
    hsl.s = hsl.l < 0.5 ? d / (max + min) : d / (2 - max - min);
    if (r == max)
        hsl.h = (g - b) / d;
    else if (g == max)
        hsl.h = 2 + (b - r) / d;
    else
        hsl.h = 4 + (r - g) / d;
    hsl.h /= 6;
    if (hsl.h < 0)
        hsl.h += 1;
    return hsl;
}

int HueToChannel(double m1, double m2, double h)
{
    if (h < 0)
        h += 1;
    else if (h > 1)
        h -= 1;
    double v;
    if (6 * h < 1)
        v = m1 + (m2 - m1) * h * 6;
    else if (2 * h < 1)
        v = m2;
    else if (3 * h < 2)
        v = m1 + (m2 - m1) * (2.0 / 3 - h) * 6;
    else
        v = m1;
    return roundEven(v * 255);
}

TColor HslToColor(double h, double s, double l)
{
    if (s == 0) {
        const int v = roundEven(l * 255);
        return rgbColor(v, v, v);
    }
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    return rgbColor(HueToChannel(m1, m2, h + 1.0 / 3), HueToChannel(m1, m2, h),
                    HueToChannel(m1, m2, h - 1.0 / 3));
}

HslRange ColorToHslRange(TColor rgb)
{
    const Hsl hsl = ColorToHsl(rgb);
    return {roundEven(hsl.h * (HSLRange - 1)), roundEven(hsl.s * HSLRange), roundEven(hsl.l * HSLRange)};
}

TColor HslRangeToColor(int h, int s, int l)
{
    return HslToColor(double(h) / (HSLRange - 1), double(s) / HSLRange, double(l) / HSLRange);
}

} // namespace corvane
