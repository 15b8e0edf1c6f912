#include "widgets/drawing/glyphcaptionlayout.h"

namespace corvane {

namespace {

int centred(int extent, int size, Rounding rounding)
{
    return rounding == Rounding::Up ? (extent - size + 1) / 2 : (extent - size) / 2;
}

// The margin that centres a block of `size` in `extent`, counted from the
// glyph's edge.
int centringMargin(int extent, int size, bool glyphFirst, Rounding rounding)
{
    if (rounding == Rounding::Up || glyphFirst)
        return centred(extent, size, rounding);
    return extent - (extent + size) / 2;
}

} // namespace

GlyphCaptionPlaces layoutGlyphAndCaption(const GlyphCaptionRequest &r)
{
    const bool horizontal = r.position == GlyphPosition::Left || r.position == GlyphPosition::Right;
    const bool glyphFirst = r.position == GlyphPosition::Left || r.position == GlyphPosition::Top;
    const int extent = horizontal ? r.area.width() : r.area.height();
    const int across = horizontal ? r.area.height() : r.area.width();
    const int glyph = horizontal ? r.glyph.width() : r.glyph.height();
    const int caption = horizontal ? r.caption.width() : r.caption.height();

    int margin = r.margin;
    int spacing = r.spacing;
    if (margin == -1 && spacing == -1) {
        margin = (extent - glyph - caption) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = centringMargin(extent, glyph + spacing + caption, glyphFirst, r.rounding);
    } else if (spacing == -1) {
        spacing = (extent - (margin + glyph) - caption) / 2;
    }

    const int glyphAt = glyphFirst ? margin : extent - margin - glyph;
    const int captionAt = glyphFirst ? glyphAt + glyph + spacing : glyphAt - spacing - caption;
    const int glyphAcross = centred(across, horizontal ? r.glyph.height() : r.glyph.width(), r.rounding);
    const int captionAcross =
        centred(across, horizontal ? r.caption.height() : r.caption.width(), r.rounding);

    const QPoint origin = r.area.topLeft();
    GlyphCaptionPlaces places;
    places.glyph = origin + (horizontal ? QPoint(glyphAt, glyphAcross) : QPoint(glyphAcross, glyphAt));
    places.caption =
        QRect(origin + (horizontal ? QPoint(captionAt, captionAcross) : QPoint(captionAcross, captionAt)),
              r.caption);
    return places;
}

} // namespace corvane
