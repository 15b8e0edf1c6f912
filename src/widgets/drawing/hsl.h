#pragma once

class QColor;

namespace corvane {

// Hue, saturation and lightness on a 0..1 scale.
struct Hsl
{
    double h;
    double s;
    double l;
};

// The same on the 0..240 scale of the colour dialogs: hue uses 0..239,
// saturation and lightness 0..240.
struct HslScaled
{
    int h;
    int s;
    int l;
};

inline constexpr int HslScale = 240;

// Rounding is to nearest, halves to even. These are our own rather than
// QColor's HSL, whose rounding differs by a step here and there.
Hsl colorToHsl(const QColor &rgb);
QColor hslToColor(double h, double s, double l);
HslScaled colorToHslScale(const QColor &rgb);
QColor hslScaleToColor(int h, int s, int l);

} // namespace corvane
