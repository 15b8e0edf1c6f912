#pragma once

#include <QColor>
#include <QImage>

class QPainter;

namespace corvane {

// The system colours the skin names; they are resolved against the
// application's palette each time a colour is used, so a changed desktop
// palette shows at the next drawing.
enum class SystemColor { BtnFace, BtnShadow, Highlight, MenuText, InactiveCaption, Window };

// A colour as the skin's settings hold it: a fixed RGB value or a system colour.
class SkinColor
{
public:
    SkinColor(const QColor &rgb) : m_rgb(rgb.rgb()) {}
    SkinColor(SystemColor system) : m_system(system), m_isSystem(true) {}

    QColor resolved() const;
    bool operator==(const SkinColor &other) const = default;

private:
    QRgb m_rgb = 0;
    SystemColor m_system = SystemColor::BtnFace;
    bool m_isSystem = false;
};

// num / den rounded to the nearest integer, ties to even (den > 0).
int roundHalfEven(int num, int den);

// Darker by n on each channel, green by n - 2; clamped. A negative n lightens.
QColor shadeDown(const SkinColor &c, int n);
// Each channel moves p percent of the way to white (p capped at 100), rounded
// half to even. Our devices show every 24-bit colour, so no palette snapping.
QColor blendToWhite(const SkinColor &c, int p);
// The gray of the channel mean plus n, capped at 240.
QColor toGray(const SkinColor &c, int n);

// Pixel-by-pixel conversions of a picture in place; alpha is kept.
void fadeIcon(QImage &picture, int p);
void grayIcon(QImage &picture, int n);
// Paints every pixel of the picture that differs from its bottom-left pixel
// onto the canvas at (x + i, y + j) in the given colour.
void iconSilhouette(const QImage &picture, QPainter &canvas, int x, int y, const QColor &colour);

} // namespace corvane
