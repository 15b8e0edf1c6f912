#pragma once

#include <QtGlobal>

class QColor;
class QPalette;

namespace corvane {

// A colour as the shop's forms store it: $00BBGGRR, red in the low byte. A top
// byte of $FF names a system colour by its index instead.
using TColor = quint32;

inline constexpr TColor SystemColorFlag = 0xFF000000u;
inline constexpr int ColorIndexBtnFace = 15;
inline constexpr int ColorIndexBtnShadow = 16;
inline constexpr int ColorIndexBtnHighlight = 20;
inline constexpr TColor clBtnFace = SystemColorFlag | ColorIndexBtnFace;
inline constexpr TColor clBtnShadow = SystemColorFlag | ColorIndexBtnShadow;
inline constexpr TColor clBtnHighlight = SystemColorFlag | ColorIndexBtnHighlight;

constexpr TColor rgbColor(int red, int green, int blue)
{
    return TColor(red & 0xFF) | TColor(green & 0xFF) << 8 | TColor(blue & 0xFF) << 16;
}

// System colours come from the palette; any other value is its own RGB.
QColor toQColor(TColor color, const QPalette &palette);
TColor fromQColor(const QColor &color);
TColor resolveColor(TColor color, const QPalette &palette);

struct Hsl
{
    double h;
    double s;
    double l;
};

struct HslRange
{
    int h;
    int s;
    int l;
};

inline constexpr int HSLRange = 240;

// Conversions on a 0..1 scale; rounding is to nearest, halves to even.
Hsl ColorToHsl(TColor rgb);
TColor HslToColor(double h, double s, double l);
int HueToChannel(double m1, double m2, double h);

// The 0..240 scale of the colour dialogs: hue uses 239, saturation and lightness 240.
HslRange ColorToHslRange(TColor rgb);
TColor HslRangeToColor(int h, int s, int l);

} // namespace corvane
