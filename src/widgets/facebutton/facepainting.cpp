#include "widgets/facebutton/facepainting.h"

#include "widgets/drawing/hsl.h"

#include <algorithm>

namespace corvane {

QImage disabledGlyph(const QImage &image, const QColor &outline, const QColor &back, const QColor &highlight,
                     const QColor &shadow, bool withHighlight)
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

QColor deriveAdvColor(const QColor &base, const QColor &current, int amount, bool darker)
{
    if (amount == 0)
        return current;
    HslScaled hsl = colorToHslScale(base);
    hsl.l += 10;
    // Lighter clamps at 100 on the 0..240 scale, so light bases come out mid
    // grey. Darker stays within the scale: a white base plus the 10 would
    // otherwise run past 240 and wrap round to near black.
    hsl.l = darker ? std::clamp(hsl.l - amount, 0, HslScale) : std::min(hsl.l + amount, MaxAdvColor);
    return hslScaleToColor(hsl.h, hsl.s, hsl.l);
}

QRect glyphImageRect(const QSize &strip, int glyphCount, FaceButtonState state)
{
    if (glyphCount <= 1)
        return QRect(QPoint(0, 0), strip);
    static constexpr int imageFor[MaxGlyphs + 1][4] = {// up, disabled, pressed, latched
                                                       {1, 1, 1, 1},
                                                       {1, 1, 1, 1},
                                                       {1, 2, 1, 1},
                                                       {1, 2, 3, 3},
                                                       {1, 2, 3, 4}};
    const int count = std::min(glyphCount, MaxGlyphs);
    const int image = imageFor[count][int(state)];
    const int width = strip.width() / count;
    const int left = (image - 1) * width;
    const int right = image == count ? strip.width() : image * width;
    return QRect(left, 0, right - left, strip.height());
}

} // namespace corvane
