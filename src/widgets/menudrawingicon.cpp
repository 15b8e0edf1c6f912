#include "widgets/menudrawingicon.h"

#include "widgets/menuskinlook.h"

#include <QPainter>

namespace corvane {

void drawTransparent(QPainter &canvas, int x, int y, const QImage &picture)
{
    QImage keyed = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = keyed.pixel(0, keyed.height() - 1);
    for (int j = 0; j < keyed.height(); ++j) {
        auto *line = reinterpret_cast<QRgb *>(keyed.scanLine(j));
        for (int i = 0; i < keyed.width(); ++i) {
            if (line[i] == key)
                line[i] = 0;
        }
    }
    canvas.drawImage(x, y, keyed);
}

void drawSkinIcon(QPainter &canvas, const Box &c, QImage picture, const IconState &s, const SkinLook &look)
{
    if (picture.isNull() || picture.width() == 0)
        return;
    const int w = picture.width();
    int x = c.L;
    int y = s.menuItem ? c.T + 3 : c.T + 1;
    if (s.menuItem) {
        if (w < look.IconWidth)
            x = c.L + (look.IconWidth - w) / 2 - 1;
        else
            x = s.rightToLeft ? c.R - w - 2 : c.L + 2;
    }
    if (s.bar)
        x = s.rightToLeft ? c.R - w - 5 : c.L + 1;

    const bool plainSelected = s.selected && s.enabled && !s.checked;
    if (plainSelected && !s.bar && !s.pressed) {
        --x;
        --y;
    }
    if (!s.selected && s.enabled && !s.checked && look.colors.DeepColor)
        FadeIcon(picture, look.DimLevel);
    if (!s.enabled) {
        GrayIcon(picture, look.GrayLevel);
        FadeIcon(picture, 40);
    }
    if (plainSelected)
        IconSilhouette(picture, canvas, x + 2, y + 2, ShadeDown(look.colors.SelectColor, 50));
    drawTransparent(canvas, x, y, picture);
}

} // namespace corvane
