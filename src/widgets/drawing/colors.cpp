#include "widgets/drawing/colors.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace corvane {

namespace {

int clampChannel(int v)
{
    return std::clamp(v, 0, 255);
}

int blendChannel(int channel, int p)
{
    return clampChannel(channel + roundHalfEven((255 - channel) * p, 100));
}

// Converts every pixel through `convert`, reusing the last result while
// consecutive pixels repeat (icons are mostly runs of one colour).
template <typename Convert> void convertPixels(QImage &picture, Convert convert)
{
    if (picture.isNull())
        return;
    if (picture.format() != QImage::Format_ARGB32 && picture.format() != QImage::Format_RGB32)
        picture = picture.convertToFormat(QImage::Format_ARGB32);
    QRgb lastIn = 0;
    QRgb lastOut = 0;
    bool cached = false;
    for (int y = 0; y < picture.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb in = line[x];
            if (!cached || in != lastIn) {
                const QColor out = convert(QColor::fromRgb(in));
                lastIn = in;
                lastOut = qRgba(out.red(), out.green(), out.blue(), qAlpha(in));
                cached = true;
            }
            line[x] = lastOut;
        }
    }
}

} // namespace

int roundHalfEven(int num, int den)
{
    int q = num / den;
    int r = num % den;
    if (r < 0) {
        --q;
        r += den;
    }
    if (2 * r > den || (2 * r == den && q % 2 != 0))
        ++q;
    return q;
}

QColor SkinColor::resolved() const
{
    if (!m_isSystem)
        return QColor::fromRgb(m_rgb);
    const QPalette palette = QApplication::palette();
    switch (m_system) {
    case SystemColor::BtnFace:
        return palette.color(QPalette::Active, QPalette::Button);
    case SystemColor::BtnShadow:
        return palette.color(QPalette::Active, QPalette::Dark);
    case SystemColor::Highlight:
        return palette.color(QPalette::Active, QPalette::Highlight);
    case SystemColor::MenuText:
        return QApplication::palette("QMenu").color(QPalette::Active, QPalette::WindowText);
    case SystemColor::InactiveCaption:
        // The palette has no caption colours; the disabled text colour is
        // the nearest "inactive" shade it offers.
        return palette.color(QPalette::Disabled, QPalette::WindowText);
    case SystemColor::Window:
        return palette.color(QPalette::Active, QPalette::Base);
    }
    return {};
}

QColor shadeDown(const SkinColor &c, int n)
{
    const QColor rgb = c.resolved();
    return QColor(clampChannel(rgb.red() - n), clampChannel(rgb.green() - n + 2),
                  clampChannel(rgb.blue() - n));
}

QColor blendToWhite(const SkinColor &c, int p)
{
    const QColor rgb = c.resolved();
    p = std::min(p, 100);
    return QColor(blendChannel(rgb.red(), p), blendChannel(rgb.green(), p), blendChannel(rgb.blue(), p));
}

QColor toGray(const SkinColor &c, int n)
{
    const QColor rgb = c.resolved();
    const int g = std::clamp((rgb.red() + rgb.green() + rgb.blue()) / 3 + n, 0, 240);
    return QColor(g, g, g);
}

void fadeIcon(QImage &picture, int p)
{
    p = std::min(p, 100);
    convertPixels(picture, [p](const QColor &c) { return blendToWhite(c, p); });
}

void grayIcon(QImage &picture, int n)
{
    convertPixels(picture, [n](const QColor &c) { return toGray(c, n); });
}

void iconSilhouette(const QImage &picture, QPainter &canvas, int x, int y, const QColor &colour)
{
    if (picture.isNull())
        return;
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb background = source.pixel(0, source.height() - 1);
    QImage shape(source.size(), QImage::Format_ARGB32);
    shape.fill(Qt::transparent);
    const QRgb paint = colour.rgb();
    for (int j = 0; j < source.height(); ++j) {
        for (int i = 0; i < source.width(); ++i) {
            if (source.pixel(i, j) != background)
                shape.setPixel(i, j, paint);
        }
    }
    canvas.drawImage(x, y, shape);
}

} // namespace corvane
