#pragma once

#include "widgets/hslcolors.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

class QPainter;
class QWidget;

namespace corvane {

enum TTransparentMode : quint8 { tmAlways, tmNotFocused, tmNone };
using TAdvColors = quint8; // 0..100
using TNumGlyphs = quint8; // 1..4
enum TButtonLayout : quint8 { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum FaceButtonState : quint8 { fbsUp, fbsDisabled, fbsPressed, fbsLatched };

inline constexpr int MaxNumGlyphs = 4;
inline constexpr int MaxAdvColor = 100;

// A frame `width` pixels wide: the top colour on the left column and top row,
// the bottom colour on the right column and the whole bottom row.
void DrawBevelFrame(QPainter &painter, const QRect &rect, const QColor &top, const QColor &bottom, int width);

// The colour the widget fills its own background with.
QColor WidgetBackground(const QWidget *widget);

// Paints the part of the parent that lies under `button` (its background and
// its own painting, not its other children).
void PaintParentBackground(const QWidget *button, QPainter &painter);

// The pixels of `image` that are exactly the outline colour, embossed in
// highlight (shifted one pixel right and down) and shadow on the back colour.
QImage MakeDisabledGlyph(const QImage &image, const QColor &outline, const QColor &back,
                         const QColor &highlight, const QColor &shadow, bool withHighlight);

struct GlyphCaptionLayout
{
    QPoint glyphOrigin;
    QRect captionRect;
};

// Places the glyph and the caption in `client`. captionSize is the measured
// single-line caption (empty for no caption), glyphSize one image of the strip.
GlyphCaptionLayout LayoutGlyphAndCaption(const QRect &client, const QPoint &offset, const QSize &captionSize,
                                         TButtonLayout layout, int margin, int spacing,
                                         const QSize &glyphSize);

// `current` unless amount is 0; else `baseRgb` with its lightness raised by 10
// and then shifted by amount (clamped to 0..100) on the 0..240 scale.
TColor DeriveAdvColor(TColor baseRgb, TColor current, int amount, bool darker);

// The part of the glyph strip shown in `state`: one image of the strip, the
// last one reaching the strip's right edge, or the whole strip for one image.
QRect GlyphImageRect(const QSize &strip, int numGlyphs, FaceButtonState state);

// Draws `image` at `origin`, leaving out pixels of exactly `transparent`.
void DrawMaskedImage(QPainter &painter, const QPoint &origin, const QImage &image, const QColor &transparent);

} // namespace corvane
