#include "widgets/controlframespainters.h"

#include "widgets/facedrawing.h"
#include "widgets/menudrawingcanvas.h"
#include "widgets/menuskinlook.h"

#include <QFrame>
#include <QPainter>

#include <algorithm>

namespace corvane {

void frame3D(QPainter &canvas, Box r, int width, const QColor &topLeft, const QColor &bottomRight)
{
    // Each ring needs two columns and two rows of its own; the bevel would
    // also paint a lone middle line.
    const int rings = std::min({width, r.width() / 2, r.height() / 2});
    DrawBevelFrame(canvas, r.rect(), topLeft, bottomRight, rings);
}

QColor parentColour(const QWidget *control)
{
    const QWidget *parent = control->parentWidget();
    if (!parent)
        return control->palette().color(QPalette::Window);
    return WidgetBackground(parent);
}

void paintControlFrame(QPainter &canvas, QWidget *control, ControlKind kind, const ControlFrameState &state,
                       const SkinLook &look)
{
    switch (kind) {
    case ControlKind::Combo:
        paintComboFrame(canvas, control, state, look);
        break;
    case ControlKind::Edit:
    case ControlKind::MaskEdit:
    case ControlKind::Memo:
        paintEditFrame(canvas, control, state, look);
        break;
    case ControlKind::RadioButton:
        paintRadioFrame(canvas, control, state, look);
        break;
    case ControlKind::BitBtn:
        paintButtonFrame(canvas, control, ButtonFrameKind::Bit, state, look);
        break;
    case ControlKind::Button:
        paintButtonFrame(canvas, control, ButtonFrameKind::Plain, state, look);
        break;
    case ControlKind::SpeedButton:
        if (control->isVisible())
            paintButtonFrame(canvas, control, ButtonFrameKind::Speed, state, look);
        break;
    case ControlKind::Panel:
        paintPanelFrame(canvas, control, look);
        break;
    case ControlKind::GroupBox:
        paintGroupBoxFrame(canvas, control, look);
        break;
    case ControlKind::None:
        break;
    }
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
    const QColor colour = WidgetBackground(panel);
    const QColor dark = ShadeDown(colour, 60);
    const QColor light = BlendToWhite(colour, 60);
    const bool lowered = frame->frameShadow() == QFrame::Sunken;
    frame3D(canvas, Box::fromRect(panel->rect()), frame->lineWidth(), lowered ? dark : light,
            lowered ? light : dark);
}

} // namespace corvane
