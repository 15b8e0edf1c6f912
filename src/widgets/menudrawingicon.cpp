#include "widgets/menudrawingicon.h"

#include "widgets/facedrawing.h"
#include "widgets/menuskinlook.h"

#include <QPainter>

namespace corvane {

QImage opaquePicture(const QPixmap &source, const QSize &size, const QColor &background)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(background);
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, source);
    return picture;
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
    DrawMaskedImage(canvas, QPoint(x, y), picture, picture.pixelColor(0, picture.height() - 1));
}

} // namespace corvane
