#include "widgets/menuskin/itempainting.h"

#include "widgets/menuskin/skinlook.h"

#include "widgets/facebutton/facepainting.h"
#include <QFontMetrics>
#include <QPainter>

namespace corvane {

namespace {

// The colour of a selected bar item's text: readable against the icon column.
QColor contrastColour(const QColor &fontColour, const QColor &iconBack)
{
    if ((iconBack.red() + iconBack.blue()) / 2 > 150 || iconBack.green() > 200)
        return fontColour;
    return blendToWhite(iconBack, 90);
}

void drawText(QPainter &canvas, const Box &r, int flags, const QString &text, const QColor &colour)
{
    canvas.setPen(colour);
    canvas.drawText(r.rect(), flags, text);
}

} // namespace

int captionWidth(const QFontMetrics &metrics, const QString &text)
{
    int width = metrics.horizontalAdvance(text);
    if (text.contains(u'&'))
        width -= metrics.horizontalAdvance(u'&');
    return width;
}

void drawItemText(QPainter &canvas, Box r, const ItemText &item, const SkinLook &look)
{
    canvas.save();
    canvas.setFont(item.font);
    QColor a = item.fontColor;
    if (item.selected)
        a = look.colors.selectFontColor;
    if (!item.enabled)
        a = look.colors.disabledColor;
    if (item.bar && item.selected && look.useSystemColors)
        a = contrastColour(item.fontColor, look.colors.iconBackColor);

    const QFontMetrics metrics(item.font);
    r.top += (r.height() - metrics.height()) / 2;
    const int flags = Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::AlignTop | Qt::AlignAbsolute |
                      (item.rightToLeft ? Qt::AlignRight : Qt::AlignLeft);
    canvas.setLayoutDirection(item.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);

    if (item.isDefault && item.enabled) {
        // The embossed look of a default caption: shaded copies around it.
        const QColor shadow30 = shadeDown(item.background, 30);
        drawText(canvas, {r.left + 1, r.top, r.right, r.bottom}, flags, item.text, shadow30);
        drawText(canvas, {r.left + 1, r.top + 2, r.right + 1, r.bottom}, flags, item.text, shadow30);
        drawText(canvas, {r.left, r.top + 1, r.right, r.bottom}, flags, item.text,
                 shadeDown(item.background, 40));
        drawText(canvas, {r.left + 1, r.top + 1, r.right + 1, r.bottom}, flags, item.text,
                 shadeDown(item.background, 60));
    }
    drawText(canvas, r, flags, item.text, a);

    if (!item.shortcut.isEmpty()) {
        const QColor shortcutColour = look.colors.deepColor ? shadeDown(a, -40) : a;
        const QString text = item.shortcut + u' ';
        const int align = Qt::TextSingleLine | Qt::AlignTop | Qt::AlignAbsolute;
        if (item.rightToLeft)
            drawText(canvas, {r.left + 10, r.top, r.right, r.bottom}, align | Qt::AlignLeft, text,
                     shortcutColour);
        else
            drawText(canvas, {r.left, r.top, r.right - 10, r.bottom}, align | Qt::AlignRight, text,
                     shortcutColour);
    }
    canvas.restore();
}

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
    int x = c.left;
    int y = s.menuItem ? c.top + 3 : c.top + 1;
    if (s.menuItem) {
        if (w < look.iconWidth)
            x = c.left + (look.iconWidth - w) / 2 - 1;
        else
            x = s.rightToLeft ? c.right - w - 2 : c.left + 2;
    }
    if (s.bar)
        x = s.rightToLeft ? c.right - w - 5 : c.left + 1;

    const bool plainSelected = s.selected && s.enabled && !s.checked;
    if (plainSelected && !s.bar && !s.pressed) {
        --x;
        --y;
    }
    if (!s.selected && s.enabled && !s.checked && look.colors.deepColor)
        fadeIcon(picture, look.dimLevel);
    if (!s.enabled) {
        grayIcon(picture, look.grayLevel);
        fadeIcon(picture, 40);
    }
    if (plainSelected)
        iconSilhouette(picture, canvas, x + 2, y + 2, shadeDown(look.colors.selectColor, 50));
    drawMaskedImage(canvas, QPoint(x, y), picture, picture.pixelColor(0, picture.height() - 1));
}

} // namespace corvane
