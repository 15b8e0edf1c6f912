#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

namespace corvane {

// What shows through a face button: its parent always, only while the button
// is not hot, or never (the face is filled).
enum class TransparentMode { Always, NotFocused, None };
enum class FaceButtonState { Up, Disabled, Pressed, Latched };

inline constexpr int MaxGlyphs = 4;
inline constexpr int MaxAdvColor = 100;

// The pixels of `image` that are exactly the outline colour, embossed in
// highlight (shifted one pixel right and down) and shadow on the back colour.
QImage disabledGlyph(const QImage &image, const QColor &outline, const QColor &back, const QColor &highlight,
                     const QColor &shadow, bool withHighlight);

// `current` unless amount is 0; else `base` with its lightness raised by 10
// and then shifted by amount (clamped to 0..100) on the 0..240 scale.
QColor deriveAdvColor(const QColor &base, const QColor &current, int amount, bool darker);

// The part of the glyph strip shown in `state`: one image of the strip, the
// last one reaching the strip's right edge, or the whole strip for one image.
QRect glyphImageRect(const QSize &strip, int glyphCount, FaceButtonState state);

} // namespace corvane
