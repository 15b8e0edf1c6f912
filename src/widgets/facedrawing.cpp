#include "widgets/facedrawing.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace corvane {

void DrawBevelFrame(QPainter &painter, const QRect &rect, const QColor &top, const QColor &bottom, int width)
{
    // Inclusive edges: the last column and row of the rectangle.
    int left = rect.left();
    int topRow = rect.top();
    int right = rect.left() + rect.width() - 1;
    int bottomRow = rect.top() + rect.height() - 1;
    for (int i = 0; i < width && left <= right && topRow <= bottomRow; ++i) {
        painter.fillRect(QRect(QPoint(left, topRow), QPoint(left, bottomRow)), top);
        if (right > left)
            painter.fillRect(QRect(QPoint(left, topRow), QPoint(right - 1, topRow)), top);
        painter.fillRect(QRect(QPoint(right, topRow), QPoint(right, bottomRow)), bottom);
        painter.fillRect(QRect(QPoint(left, bottomRow), QPoint(right, bottomRow)), bottom);
        ++left;
        ++topRow;
        --right;
        --bottomRow;
    }
}

QColor WidgetBackground(const QWidget *widget)
{
    return widget->palette().color(widget->backgroundRole());
}

void PaintParentBackground(const QWidget *button, QPainter &painter)
{
    QWidget *parent = button->parentWidget();
    if (!parent)
        return;
    painter.save();
    parent->render(&painter, -button->pos(), QRegion(parent->rect()), QWidget::DrawWindowBackground);
    painter.restore();
}

QImage MakeDisabledGlyph(const QImage &image, const QColor &outline, const QColor &back,
                         const QColor &highlight, const QColor &shadow, bool withHighlight)
{
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    QImage result(source.size(), QImage::Format_RGB32);
    result.fill(back);
    const QRgb outlineRgb = outline.rgb();
    const QRgb highlightRgb = highlight.rgb();
    const QRgb shadowRgb = shadow.rgb();
    for (int y = 0; y < source.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            if ((line[x] & RGB_MASK) != (outlineRgb & RGB_MASK))
                continue;
            if (withHighlight && x + 1 < result.width() && y + 1 < result.height())
                result.setPixel(x + 1, y + 1, highlightRgb);
        }
    }
    for (int y = 0; y < source.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            if ((line[x] & RGB_MASK) == (outlineRgb & RGB_MASK))
                result.setPixel(x, y, shadowRgb);
        }
    }
    return result;
}

GlyphCaptionLayout LayoutGlyphAndCaption(const QRect &client, const QPoint &offset, const QSize &captionSize,
                                         TButtonLayout layout, int margin, int spacing,
                                         const QSize &glyphSize)
{
    const QSize clientSize = client.size();
    QPoint glyphPos;
    QPoint captionPos;
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    if (horizontal) {
        glyphPos.setY((clientSize.height() - glyphSize.height() + 1) / 2);
        captionPos.setY((clientSize.height() - captionSize.height() + 1) / 2);
    } else {
        glyphPos.setX((clientSize.width() - glyphSize.width() + 1) / 2);
        captionPos.setX((clientSize.width() - captionSize.width() + 1) / 2);
    }
    if (captionSize.width() == 0 || glyphSize.width() == 0)
        spacing = 0;

    const int clientExtent = horizontal ? clientSize.width() : clientSize.height();
    const int glyphExtent = horizontal ? glyphSize.width() : glyphSize.height();
    const int captionExtent = horizontal ? captionSize.width() : captionSize.height();
    if (margin == -1 && spacing == -1) {
        margin = (clientExtent - glyphExtent - captionExtent) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = (clientExtent - (glyphExtent + spacing + captionExtent) + 1) / 2;
    } else if (spacing == -1) {
        spacing = (clientExtent - (margin + glyphExtent) - captionExtent) / 2;
    }

    switch (layout) {
    case blGlyphLeft:
        glyphPos.setX(margin);
        captionPos.setX(glyphPos.x() + glyphSize.width() + spacing);
        break;
    case blGlyphRight:
        glyphPos.setX(clientSize.width() - margin - glyphSize.width());
        captionPos.setX(glyphPos.x() - spacing - captionSize.width());
        break;
    case blGlyphTop:
        glyphPos.setY(margin);
        captionPos.setY(glyphPos.y() + glyphSize.height() + spacing);
        break;
    case blGlyphBottom:
        glyphPos.setY(clientSize.height() - margin - glyphSize.height());
        captionPos.setY(glyphPos.y() - spacing - captionSize.height());
        break;
    }

    const QPoint shift = client.topLeft() + offset;
    return {glyphPos + shift, QRect(captionPos + shift, captionSize)};
}

TColor DeriveAdvColor(TColor baseRgb, TColor current, int amount, bool darker)
{
    if (amount == 0)
        return current;
    HslRange hsl = ColorToHslRange(baseRgb);
    hsl.l += 10;
    // Lighter clamps at 100 on the 0..240 scale, so light bases come out mid
    // grey. Darker stays within the scale: a white base plus the 10 would
    // otherwise run past 240 and wrap round to near black.
    hsl.l = darker ? std::clamp(hsl.l - amount, 0, HSLRange) : std::min(hsl.l + amount, MaxAdvColor);
    return HslRangeToColor(hsl.h, hsl.s, hsl.l);
}

QRect GlyphImageRect(const QSize &strip, int numGlyphs, FaceButtonState state)
{
    if (numGlyphs <= 1)
        return QRect(QPoint(0, 0), strip);
    static constexpr int imageFor[MaxNumGlyphs + 1][4] = {// fbsUp, fbsDisabled, fbsPressed, fbsLatched
                                                          {1, 1, 1, 1},
                                                          {1, 1, 1, 1},
                                                          {1, 2, 1, 1},
                                                          {1, 2, 3, 3},
                                                          {1, 2, 3, 4}};
    const int count = std::min(numGlyphs, MaxNumGlyphs);
    const int image = imageFor[count][state];
    const int width = strip.width() / count;
    const int left = (image - 1) * width;
    const int right = image == count ? strip.width() : image * width;
    return QRect(left, 0, right - left, strip.height());
}

void DrawMaskedImage(QPainter &painter, const QPoint &origin, const QImage &image, const QColor &transparent)
{
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent.rgb() & RGB_MASK;
    for (int y = 0; y < masked.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x) {
            if ((line[x] & RGB_MASK) == key)
                line[x] = 0;
        }
    }
    painter.drawImage(origin, masked);
}

} // namespace corvane
