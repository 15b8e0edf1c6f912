#include "widgets/menuskin/menuitemdrawing.h"

#include "widgets/menuskin/itempainting.h"
#include "widgets/menuskin/skinlook.h"

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
    return rightToLeft ? Box{r.right - iconWidth, r.top, r.right, r.bottom}
                       : Box{r.left, r.top, r.left + iconWidth, r.bottom};
}

// Where the check mark goes.
Box iconBox(const Box &column, const MenuItemView &item, int iconWidth)
{
    const int pictureWidth = item.picture.width();
    Box box;
    if (!item.picture.isNull()) {
        box = {column.left + 1, column.top + 2, column.right - 3, column.bottom - 2};
    } else {
        box.left = column.left + (column.width() - 10) / 2;
        box.top = column.top + (column.height() - 10) / 2;
        box.right = box.left + 10;
        box.bottom = box.top + 10;
    }
    if (pictureWidth > iconWidth) {
        if (item.rightToLeft)
            box.left = box.right - pictureWidth;
        else
            box.right = box.left + pictureWidth;
    }
    if (item.bar)
        box.top -= 1;
    return box;
}

Box textBox(const Box &r, const MenuItemView &item, int iconWidth)
{
    const int pictureWidth = item.picture.isNull() ? 0 : item.picture.width();
    const int inset = item.bar ? 4 : iconWidth;
    Box text = r;
    if (item.rightToLeft) {
        text.right = r.right - inset;
        if (r.right - pictureWidth < text.right)
            text.right = r.right - pictureWidth - 8;
    } else {
        text.left = r.left + inset;
        if (text.left < r.left + pictureWidth)
            text.left = r.left + pictureWidth + 4;
    }
    if (item.bar) {
        if (item.picture.isNull())
            text = r;
        else if (item.rightToLeft)
            text.right += 5;
        else
            text.left -= 5;
    }
    return text;
}

void drawBackground(QPainter &canvas, const Box &r, const Box &column, const MenuItemView &item,
                    const SkinLook &look)
{
    if (item.bar) {
        fillBox(canvas, r, look.colors.menuBarColor);
    } else if (look.colors.deepColor && look.gradient) {
        drawGradient(canvas, {r.left, r.top, r.right + 2, r.bottom}, item.rightToLeft, look);
    } else {
        fillBox(canvas, r, look.colors.menuColor);
        fillBox(canvas, column, look.colors.iconBackColor);
    }
}

void drawSelection(QPainter &canvas, const Box &r, const MenuItemView &item, const SkinLook &look)
{
    if (!item.selected || !look.drawSelect)
        return;
    if (item.bar) {
        drawBarHighlight(canvas, r, item.rightToLeft, look);
    } else if (item.enabled) {
        rectangleBox(canvas, {r.left, r.top + 1, look.flatMenu ? r.right - 1 : r.right, r.bottom - 1},
                     look.colors.selectBorderColor, look.colors.selectColor);
    }
}

void drawCaption(QPainter &canvas, Box text, const MenuItemView &item, const SkinLook &look)
{
    if (isSeparator(item)) {
        const int y = text.top + roundHalfEven(text.bottom - text.top, 2);
        if (item.rightToLeft)
            polyline(canvas, look.colors.separatorColor, {{text.left, y}, {text.right - 7, y}});
        else
            polyline(canvas, look.colors.separatorColor, {{text.left + 7, y}, {text.right, y}});
        return;
    }
    if (item.rightToLeft)
        text.right -= 3;
    else
        text.left += 3;
    ItemText caption;
    caption.text = u' ' + item.caption;
    caption.shortcut = item.shortcut;
    caption.font = look.font;
    caption.fontColor = look.fontColor;
    caption.background = look.colors.menuColor;
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
    r.bottom += 1;
    const Box column = iconColumn(r, item.rightToLeft, look.iconWidth);
    const Box box = iconBox(column, item, look.iconWidth);
    const Box text = textBox(r, item, look.iconWidth);

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
        pictureWidth = std::max(pictureWidth, look.iconWidth);
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

void drawCheckMark(QPainter &canvas, const Box &box, const CheckState &s, const SkinLook &look)
{
    const WorkingColors &w = look.colors;
    const QColor fill = s.enabled ? (s.selected ? w.boxFillSelected : w.boxFill) : QColor();
    if (s.radio || s.hasPicture) {
        const QColor outline = s.enabled ? w.selectBorderColor : w.disabledColor;
        if (s.radio && !s.hasPicture)
            ellipseBox(canvas, box, outline, fill);
        else if (s.radio)
            roundedBox(canvas, box, 6, outline, fill);
        else
            rectangleBox(canvas, box, outline, fill);
        return;
    }
    rectangleBox(canvas, box, s.enabled ? w.checkedColor : w.disabledColor, fill);
    const QColor tick = s.enabled ? QColor(Qt::black) : w.disabledColor;
    polyline(canvas, tick, {{box.left + 1, box.top + 5}, {box.left + 4, box.bottom - 2}});
    polyline(canvas, tick, {{box.left + 2, box.top + 5}, {box.left + 4, box.bottom - 3}});
    polyline(canvas, tick, {{box.left + 2, box.top + 4}, {box.left + 5, box.bottom - 3}});
    polyline(canvas, tick, {{box.left + 4, box.bottom - 3}, {box.right + 2, box.top - 1}});
    polyline(canvas, tick, {{box.left + 4, box.bottom - 2}, {box.right - 2, box.top + 3}});
}

void drawBarHighlight(QPainter &canvas, const Box &r, bool rightToLeft, const SkinLook &look)
{
    const WorkingColors &w = look.colors;
    fillBox(canvas, r, w.selectColor);
    if (!w.deepColor || rightToLeft) {
        polyline(canvas, w.selectBorderColor,
                 {{r.left, r.bottom - 1}, {r.left, r.top}, {r.right - 3, r.top}, {r.right - 3, r.bottom}});
        fillBox(canvas, {r.right - 2, r.top + 2, r.right, r.bottom}, shadeDown(look.menuBarSetting, 70));
        fillBox(canvas, {r.right - 2, r.top, r.right, r.top + 2}, look.menuBarSetting.resolved());
        return;
    }
    const QColor bar = w.menuBarColor;
    polyline(canvas, w.selectBorderColor,
             {{r.left, r.bottom - 1}, {r.left, r.top}, {r.right - 8, r.top}, {r.right - 8, r.bottom}});
    fillBox(canvas, {r.right - 7, r.top, r.right, r.bottom}, shadeDown(bar, 10));
    fillBox(canvas, {r.right - 7, r.top + 3, r.right - 2, r.bottom}, shadeDown(bar, 30));
    fillBox(canvas, {r.right - 7, r.top + 5, r.right - 3, r.bottom}, shadeDown(bar, 60));
    fillBox(canvas, {r.right - 7, r.top + 6, r.right - 5, r.bottom}, shadeDown(bar, 100));
    // The rounded top of the shadow.
    polyline(canvas, bar, {{r.right - 5, r.top + 1}, {r.right - 1, r.top + 1}, {r.right - 1, r.top + 6}});
    polyline(canvas, bar,
             {{r.right - 3, r.top + 2},
              {r.right - 2, r.top + 2},
              {r.right - 2, r.top + 3},
              {r.right - 3, r.top + 3}});
    polyline(canvas, shadeDown(bar, 10),
             {{r.right - 6, r.top + 3},
              {r.right - 3, r.top + 3},
              {r.right - 3, r.top + 6},
              {r.right - 4, r.top + 6},
              {r.right - 4, r.top + 3}});
    polyline(canvas, shadeDown(bar, 30),
             {{r.right - 5, r.top + 5}, {r.right - 4, r.top + 5}, {r.right - 4, r.top + 9}});
    polyline(canvas, shadeDown(bar, 40), {{r.right - 6, r.top + 5}, {r.right - 6, r.top + 7}});
}

void drawGradient(QPainter &canvas, const Box &r, bool rightToLeft, const SkinLook &look)
{
    int k = 0;
    for (int step = 0; step < r.width(); ++step) {
        const int x = rightToLeft ? r.right - 1 - step : r.left + step;
        const bool inColumn = step > 0 && step < look.iconWidth + 5;
        k = std::min(k + (inColumn ? 3 : 1), 96);
        fillBox(canvas, {x, r.top, x + 1, r.bottom}, blendToWhite(look.colors.iconBackColor, k));
    }
}

void drawPopupFrame(QPainter &canvas, const Box &window, bool rightToLeft, const SkinLook &look)
{
    const WorkingColors &w = look.colors;
    const Box frame = {window.left, window.top, window.right - 2, window.bottom - 2};
    const Box ring = {frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1};
    frameBox(canvas, ring, w.menuColor);
    const int iconWidth = std::max(0, std::min(look.iconWidth, ring.width()));
    const Box column = rightToLeft ? Box{ring.right - iconWidth, ring.top, ring.right, ring.bottom}
                                   : Box{ring.left, ring.top, ring.left + iconWidth, ring.bottom};
    fillBox(canvas, {column.left, column.top, column.right, column.top + 1}, w.iconBackColor);
    fillBox(canvas, {column.left, column.bottom - 1, column.right, column.bottom}, w.iconBackColor);
    fillBox(canvas,
            rightToLeft ? Box{column.right - 1, column.top, column.right, column.bottom}
                        : Box{column.left, column.top, column.left + 1, column.bottom},
            w.iconBackColor);
    if (w.deepColor && look.gradient)
        drawGradient(canvas, {ring.left, ring.top, ring.right, ring.top + 1}, rightToLeft, look);
    frameBox(canvas, frame, w.popupFrameColor);
    fillBox(canvas, {window.right - 2, window.top + 2, window.right, window.bottom}, w.popupShadowColor);
    fillBox(canvas, {window.left + 2, window.bottom - 2, window.right, window.bottom}, w.popupShadowColor);
    const QColor face = SkinColor(SystemColor::BtnFace).resolved();
    fillBox(canvas, {window.right - 2, window.top, window.right, window.top + 2}, face);
    fillBox(canvas, {window.left, window.bottom - 2, window.left + 2, window.bottom}, face);
}

} // namespace corvane
