#include "widgets/drawing/hsl.h"

#include <QColor>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

// std::nearbyint follows the default rounding mode: to nearest, halves to even.
int roundEven(double value)
{
    return int(std::nearbyint(value));
}

int hueToChannel(double m1, double m2, double h)
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

} // namespace

Hsl colorToHsl(const QColor &rgb)
{
    const double r = double(rgb.red()) / 255;
    const double g = double(rgb.green()) / 255;
    const double b = double(rgb.blue()) / 255;
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

QColor hslToColor(double h, double s, double l)
{
    if (s == 0) {
        const int v = roundEven(l * 255);
        return QColor(v, v, v);
    }
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    return QColor(hueToChannel(m1, m2, h + 1.0 / 3), hueToChannel(m1, m2, h),
                  hueToChannel(m1, m2, h - 1.0 / 3));
}

HslScaled colorToHslScale(const QColor &rgb)
{
    const Hsl hsl = colorToHsl(rgb);
    return {roundEven(hsl.h * (HslScale - 1)), roundEven(hsl.s * HslScale), roundEven(hsl.l * HslScale)};
}

QColor hslScaleToColor(int h, int s, int l)
{
    return hslToColor(double(h) / (HslScale - 1), double(s) / HslScale, double(l) / HslScale);
}

} // namespace corvane
