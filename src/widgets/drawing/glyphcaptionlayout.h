#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace corvane {

// Where a button's glyph stands relative to its caption.
enum class GlyphPosition { Left, Right, Top, Bottom };

// How a leftover odd pixel is shared out when centring. The face button
// rounds up and counts its margin from the glyph's side; the skin's flat push
// buttons round down and count from the left and top. Each keeps its own so
// neither look moves.
enum class Rounding { Up, Down };

struct GlyphCaptionRequest
{
    QRect area;
    QSize glyph{0, 0};   // none by default
    QSize caption{0, 0}; // the measured single-line caption; none by default
    GlyphPosition position = GlyphPosition::Left;
    int margin = -1; // from the glyph's edge of the area; -1 centres the pair
    int spacing = 4; // between glyph and caption; -1 spreads it evenly
    Rounding rounding = Rounding::Up;
};

struct GlyphCaptionPlaces
{
    QPoint glyph;
    QRect caption;
};

// Places a glyph and its caption side by side or one above the other,
// centred across the other direction.
GlyphCaptionPlaces layoutGlyphAndCaption(const GlyphCaptionRequest &request);

} // namespace corvane
