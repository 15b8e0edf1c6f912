#include "widgets/menudrawingmarks.h"

#include "widgets/menuskinlook.h"

#include <QPainter>

#include <algorithm>

namespace corvane {

void drawCheckMark(QPainter &canvas, const Box &box, const CheckState &s, const SkinLook &look)
{
    const WorkingColors &w = look.colors;
    const QColor fill = s.enabled ? (s.selected ? w.BoxFillSelected : w.BoxFill) : QColor();
    if (s.radio || s.hasPicture) {
        const QColor outline = s.enabled ? w.SelectBorderColor : w.DisabledColor;
        if (s.radio && !s.hasPicture)
            ellipseBox(canvas, box, outline, fill);
        else if (s.radio)
            roundedBox(canvas, box, 6, outline, fill);
        else
            rectangleBox(canvas, box, outline, fill);
        return;
    }
    rectangleBox(canvas, box, s.enabled ? w.CheckedColor : w.DisabledColor, fill);
    const QColor tick = s.enabled ? QColor(Qt::black) : w.DisabledColor;
    const int X = box.L;
    const int Y = box.T;
    const int X2 = box.R;
    const int Y2 = box.B;
    polyline(canvas, tick, {{X + 1, Y + 5}, {X + 4, Y2 - 2}});
    polyline(canvas, tick, {{X + 2, Y + 5}, {X + 4, Y2 - 3}});
    polyline(canvas, tick, {{X + 2, Y + 4}, {X + 5, Y2 - 3}});
    polyline(canvas, tick, {{X + 4, Y2 - 3}, {X2 + 2, Y - 1}});
    polyline(canvas, tick, {{X + 4, Y2 - 2}, {X2 - 2, Y + 3}});
}

void drawBarHighlight(QPainter &canvas, const Box &r, bool rightToLeft, const SkinLook &look)
{
    const WorkingColors &w = look.colors;
    const int L = r.L;
    const int T = r.T;
    const int R = r.R;
    const int B = r.B;
    fillBox(canvas, r, w.SelectColor);
    if (!w.DeepColor || rightToLeft) {
        polyline(canvas, w.SelectBorderColor, {{L, B - 1}, {L, T}, {R - 3, T}, {R - 3, B}});
        fillBox(canvas, {R - 2, T + 2, R, B}, ShadeDown(look.menuBarProperty, 70));
        fillBox(canvas, {R - 2, T, R, T + 2}, look.menuBarProperty.resolved());
        return;
    }
    const QColor bar = w.MenuBarColor;
    polyline(canvas, w.SelectBorderColor, {{L, B - 1}, {L, T}, {R - 8, T}, {R - 8, B}});
    fillBox(canvas, {R - 7, T, R, B}, ShadeDown(bar, 10));
    fillBox(canvas, {R - 7, T + 3, R - 2, B}, ShadeDown(bar, 30));
    fillBox(canvas, {R - 7, T + 5, R - 3, B}, ShadeDown(bar, 60));
    fillBox(canvas, {R - 7, T + 6, R - 5, B}, ShadeDown(bar, 100));
    // The rounded top of the shadow.
    polyline(canvas, bar, {{R - 5, T + 1}, {R - 1, T + 1}, {R - 1, T + 6}});
    polyline(canvas, bar, {{R - 3, T + 2}, {R - 2, T + 2}, {R - 2, T + 3}, {R - 3, T + 3}});
    polyline(canvas, ShadeDown(bar, 10),
             {{R - 6, T + 3}, {R - 3, T + 3}, {R - 3, T + 6}, {R - 4, T + 6}, {R - 4, T + 3}});
    polyline(canvas, ShadeDown(bar, 30), {{R - 5, T + 5}, {R - 4, T + 5}, {R - 4, T + 9}});
    polyline(canvas, ShadeDown(bar, 40), {{R - 6, T + 5}, {R - 6, T + 7}});
}

void drawGradient(QPainter &canvas, const Box &r, bool rightToLeft, const SkinLook &look)
{
    int k = 0;
    for (int step = 0; step < r.width(); ++step) {
        const int x = rightToLeft ? r.R - 1 - step : r.L + step;
        const bool inColumn = step > 0 && step < look.IconWidth + 5;
        k = std::min(k + (inColumn ? 3 : 1), 96);
        fillBox(canvas, {x, r.T, x + 1, r.B}, BlendToWhite(look.colors.IconBackColor, k));
    }
}

void drawPopupFrame(QPainter &canvas, const Box &window, bool rightToLeft, const SkinLook &look)
{
    const WorkingColors &w = look.colors;
    const Box frame = {window.L, window.T, window.R - 2, window.B - 2};
    const Box ring = {frame.L + 1, frame.T + 1, frame.R - 1, frame.B - 1};
    frameBox(canvas, ring, w.Color);
    const int iconWidth = std::max(0, std::min(look.IconWidth, ring.width()));
    const Box column = rightToLeft ? Box{ring.R - iconWidth, ring.T, ring.R, ring.B}
                                   : Box{ring.L, ring.T, ring.L + iconWidth, ring.B};
    fillBox(canvas, {column.L, column.T, column.R, column.T + 1}, w.IconBackColor);
    fillBox(canvas, {column.L, column.B - 1, column.R, column.B}, w.IconBackColor);
    fillBox(canvas,
            rightToLeft ? Box{column.R - 1, column.T, column.R, column.B}
                        : Box{column.L, column.T, column.L + 1, column.B},
            w.IconBackColor);
    if (w.DeepColor && look.Gradient)
        drawGradient(canvas, {ring.L, ring.T, ring.R, ring.T + 1}, rightToLeft, look);
    frameBox(canvas, frame, w.PopupFrameColor);
    fillBox(canvas, {window.R - 2, window.T + 2, window.R, window.B}, w.PopupShadowColor);
    fillBox(canvas, {window.L + 2, window.B - 2, window.R, window.B}, w.PopupShadowColor);
    const QColor face = SkinColor(SystemColor::BtnFace).resolved();
    fillBox(canvas, {window.R - 2, window.T, window.R, window.T + 2}, face);
    fillBox(canvas, {window.L, window.B - 2, window.L + 2, window.B}, face);
}

} // namespace corvane
