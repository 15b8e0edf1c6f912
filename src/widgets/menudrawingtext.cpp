#include "widgets/menudrawingtext.h"

#include "widgets/menuskinlook.h"

#include <QFontMetrics>
#include <QPainter>

namespace corvane {

namespace {

// The colour of a selected bar item's text: readable against the icon column.
QColor contrastColour(const QColor &fontColour, const QColor &iconBack)
{
    if ((iconBack.red() + iconBack.blue()) / 2 > 150 || iconBack.green() > 200)
        return fontColour;
    return BlendToWhite(iconBack, 90);
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
        a = look.colors.SelectFontColor;
    if (!item.enabled)
        a = look.colors.DisabledColor;
    if (item.bar && item.selected && look.UseSystemColors)
        a = contrastColour(item.fontColor, look.colors.IconBackColor);

    const QFontMetrics metrics(item.font);
    r.T += (r.height() - metrics.height()) / 2;
    const int flags = Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::AlignTop | Qt::AlignAbsolute |
                      (item.rightToLeft ? Qt::AlignRight : Qt::AlignLeft);
    canvas.setLayoutDirection(item.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);

    if (item.isDefault && item.enabled) {
        // The embossed look of a default caption: shaded copies around it.
        const QColor shadow30 = ShadeDown(item.background, 30);
        drawText(canvas, {r.L + 1, r.T, r.R, r.B}, flags, item.text, shadow30);
        drawText(canvas, {r.L + 1, r.T + 2, r.R + 1, r.B}, flags, item.text, shadow30);
        drawText(canvas, {r.L, r.T + 1, r.R, r.B}, flags, item.text, ShadeDown(item.background, 40));
        drawText(canvas, {r.L + 1, r.T + 1, r.R + 1, r.B}, flags, item.text, ShadeDown(item.background, 60));
    }
    drawText(canvas, r, flags, item.text, a);

    if (!item.shortcut.isEmpty()) {
        const QColor shortcutColour = look.colors.DeepColor ? ShadeDown(a, -40) : a;
        const QString text = item.shortcut + u' ';
        const int align = Qt::TextSingleLine | Qt::AlignTop | Qt::AlignAbsolute;
        if (item.rightToLeft)
            drawText(canvas, {r.L + 10, r.T, r.R, r.B}, align | Qt::AlignLeft, text, shortcutColour);
        else
            drawText(canvas, {r.L, r.T, r.R - 10, r.B}, align | Qt::AlignRight, text, shortcutColour);
    }
    canvas.restore();
}

} // namespace corvane
