#include "widgets/menudrawing.h"

#include "widgets/menudrawingicon.h"
#include "widgets/menudrawingmarks.h"
#include "widgets/menudrawingtext.h"
#include "widgets/menuskinlook.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace corvane {

namespace {

bool isSeparator(const MenuItemView &item)
{
    return item.caption == u'-';
}

Box iconColumn(const Box &r, bool rightToLeft, int iconWidth)
{
    return rightToLeft ? Box{r.R - iconWidth, r.T, r.R, r.B} : Box{r.L, r.T, r.L + iconWidth, r.B};
}

// Where the check mark goes.
Box iconBox(const Box &column, const MenuItemView &item, int iconWidth)
{
    const int pictureWidth = item.picture.width();
    Box box;
    if (!item.picture.isNull()) {
        box = {column.L + 1, column.T + 2, column.R - 3, column.B - 2};
    } else {
        box.L = column.L + (column.width() - 10) / 2;
        box.T = column.T + (column.height() - 10) / 2;
        box.R = box.L + 10;
        box.B = box.T + 10;
    }
    if (pictureWidth > iconWidth) {
        if (item.rightToLeft)
            box.L = box.R - pictureWidth;
        else
            box.R = box.L + pictureWidth;
    }
    if (item.bar)
        box.T -= 1;
    return box;
}

Box textBox(const Box &r, const MenuItemView &item, int iconWidth)
{
    const int pictureWidth = item.picture.isNull() ? 0 : item.picture.width();
    const int inset = item.bar ? 4 : iconWidth;
    Box text = r;
    if (item.rightToLeft) {
        text.R = r.R - inset;
        if (r.R - pictureWidth < text.R)
            text.R = r.R - pictureWidth - 8;
    } else {
        text.L = r.L + inset;
        if (text.L < r.L + pictureWidth)
            text.L = r.L + pictureWidth + 4;
    }
    if (item.bar) {
        if (item.picture.isNull())
            text = r;
        else if (item.rightToLeft)
            text.R += 5;
        else
            text.L -= 5;
    }
    return text;
}

void drawBackground(QPainter &canvas, const Box &r, const Box &column, const MenuItemView &item,
                    const SkinLook &look)
{
    if (item.bar) {
        fillBox(canvas, r, look.colors.MenuBarColor);
    } else if (look.colors.DeepColor && look.Gradient) {
        drawGradient(canvas, {r.L, r.T, r.R + 2, r.B}, item.rightToLeft, look);
    } else {
        fillBox(canvas, r, look.colors.Color);
        fillBox(canvas, column, look.colors.IconBackColor);
    }
}

void drawSelection(QPainter &canvas, const Box &r, const MenuItemView &item, const SkinLook &look)
{
    if (!item.selected || !look.DrawSelect)
        return;
    if (item.bar) {
        drawBarHighlight(canvas, r, item.rightToLeft, look);
    } else if (item.enabled) {
        rectangleBox(canvas, {r.L, r.T + 1, look.FlatMenu ? r.R - 1 : r.R, r.B - 1},
                     look.colors.SelectBorderColor, look.colors.SelectColor);
    }
}

void drawCaption(QPainter &canvas, Box text, const MenuItemView &item, const SkinLook &look)
{
    if (isSeparator(item)) {
        const int y = text.T + roundHalfEven(text.B - text.T, 2);
        if (item.rightToLeft)
            polyline(canvas, look.colors.SeparatorColor, {{text.L, y}, {text.R - 7, y}});
        else
            polyline(canvas, look.colors.SeparatorColor, {{text.L + 7, y}, {text.R, y}});
        return;
    }
    if (item.rightToLeft)
        text.R -= 3;
    else
        text.L += 3;
    ItemText caption;
    caption.text = u' ' + item.caption;
    caption.shortcut = item.shortcut;
    caption.font = look.font;
    caption.fontColor = look.fontColor;
    caption.background = look.colors.Color;
    caption.rightToLeft = item.rightToLeft;
    caption.bar = item.bar;
    caption.enabled = item.enabled;
    caption.selected = item.selected;
    drawItemText(canvas, text, caption, look);
}

} // namespace

void drawMenuItem(QPainter &canvas, const QRect &rect, const MenuItemView &item, const SkinLook &look)
{
    Box r = Box::fromRect(rect);
    r.B += 1;
    const Box column = iconColumn(r, item.rightToLeft, look.IconWidth);
    const Box box = iconBox(column, item, look.IconWidth);
    const Box text = textBox(r, item, look.IconWidth);

    canvas.save();
    canvas.setFont(look.font);
    drawBackground(canvas, r, column, item, look);
    drawSelection(canvas, r, item, look);
    if (item.checked) {
        drawCheckMark(canvas, box, {item.radio, !item.picture.isNull(), item.enabled, item.selected}, look);
    }
    IconState icon;
    icon.rightToLeft = item.rightToLeft;
    icon.bar = item.bar;
    icon.checked = item.checked;
    icon.enabled = item.enabled;
    icon.selected = item.selected;
    drawSkinIcon(canvas, column, item.picture, icon, look);
    drawCaption(canvas, text, item, look);
    canvas.restore();
}

QSize measureMenuItem(const MenuItemView &item, QSize pictureSize, QSize asked, const SkinLook &look)
{
    const bool separator = isSeparator(item);
    QString text = separator ? QString() : item.caption;
    if (!item.shortcut.trimmed().isEmpty())
        text = item.caption + item.shortcut + QStringLiteral("WWW");
    const QFontMetrics metrics(look.font);
    int width = captionWidth(metrics, text) + 5;
    int pictureWidth = pictureSize.width();
    if (!item.bar)
        pictureWidth = std::max(pictureWidth, look.IconWidth);
    if (pictureWidth > 0)
        width += pictureWidth;
    // Every platform we run on measures bar items as the NT family does.
    if (item.bar)
        width += 8;
    // A bar item's caption is drawn after a blank and ends where the right
    // edge of its highlight and the shadow begin: room for the blank and a
    // pixel on either side keeps it inside the highlight.
    if (item.bar && !separator)
        width += metrics.horizontalAdvance(u' ') + 2;

    QSize size(std::max(asked.width(), width), asked.height());
    if (separator) {
        size.setHeight(4);
    } else {
        const int textHeight = metrics.height();
        const int h = std::max(textHeight + roundHalfEven(3 * textHeight, 4), pictureSize.height() + 6);
        size.setHeight(std::max(asked.height(), h));
    }
    return size;
}

} // namespace corvane
