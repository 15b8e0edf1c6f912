#include "widgets/controlframespainters.h"

#include "widgets/menudrawingcanvas.h"
#include "widgets/menuskinlook.h"

#include <QFrame>
#include <QPainter>

namespace corvane {

namespace {

// The platform's 3D frame: `width` rings moving inward, the top and left
// edges in one colour and the bottom and right edges in the other.
void frame3D(QPainter &canvas, Box r, int width, const QColor &topLeft, const QColor &bottomRight)
{
    r.R -= 1;
    r.B -= 1;
    for (int ring = 0; ring < width && r.R > r.L && r.B > r.T; ++ring) {
        polyline(canvas, topLeft, {{r.L, r.B}, {r.L, r.T}, {r.R, r.T}});
        polyline(canvas, bottomRight, {{r.R, r.T}, {r.R, r.B}, {r.L - 1, r.B}});
        r = {r.L + 1, r.T + 1, r.R - 1, r.B - 1};
    }
}

} // namespace

QColor parentColour(const QWidget *control)
{
    const QWidget *parent = control->parentWidget();
    if (!parent)
        return control->palette().color(QPalette::Window);
    return parent->palette().color(parent->backgroundRole());
}

void paintControlFrame(QPainter &canvas, QWidget *control, ControlKind kind, const ControlFrameState &state,
                       const SkinLook &look)
{
    if (isEditKind(kind))
        paintEditFrame(canvas, control, state, look);
    else if (kind == ControlKind::BitBtn || kind == ControlKind::Button)
        paintButtonFrame(canvas, control, kind == ControlKind::BitBtn, state, look);
    else if (kind == ControlKind::Panel)
        paintPanelFrame(canvas, control, look);
}

void paintEditFrame(QPainter &canvas, const QWidget *edit, const ControlFrameState &s, const SkinLook &look)
{
    QColor frame;
    if (s.hot || s.focused)
        frame = BlendToWhite(look.colors.SelectBorderColor, s.singleBorder ? 60 : 80);
    else
        frame = s.singleBorder ? ShadeDown(parentColour(edit), 60) : parentColour(edit);
    frameBox(canvas, Box::fromRect(edit->rect()), frame);
}

void paintPanelFrame(QPainter &canvas, const QWidget *panel, const SkinLook &)
{
    const auto *frame = qobject_cast<const QFrame *>(panel);
    if (!frame || frame->frameShape() == QFrame::NoFrame)
        return;
    const QColor colour = panel->palette().color(panel->backgroundRole());
    const QColor dark = ShadeDown(colour, 60);
    const QColor light = BlendToWhite(colour, 60);
    const bool lowered = frame->frameShadow() == QFrame::Sunken;
    frame3D(canvas, Box::fromRect(panel->rect()), frame->lineWidth(), lowered ? dark : light, lowered ? light : dark);
}

} // namespace corvane
