#pragma once

#include "widgets/controlframes/controlkind.h"
#include "widgets/drawing/canvas.h"

#include <QColor>

class QPainter;
class QWidget;

namespace corvane {

struct SkinLook;

// The hook's view of a control at painting time.
struct ControlFrameState
{
    bool hot = false;         // mouse over it, or it has just got the focus
    bool focused = false;     // it has the input focus
    bool mouseDown = false;   // left button down on it
    bool spaceDown = false;   // space key held on it
    bool singleBorder = true; // it had a border when it was hooked
};

// The colour of the parent's background, which the frames blend into.
QColor parentColour(const QWidget *control);

// Paints the flat frame of the control's kind over what it painted itself.
void paintControlFrame(QPainter &canvas, QWidget *control, ControlKind kind, const ControlFrameState &state,
                       const SkinLook &look);

void paintEditFrame(QPainter &canvas, const QWidget *edit, const ControlFrameState &state,
                    const SkinLook &look);
// Plain push buttons centre their caption; glyph and tool buttons lay out a
// glyph beside it.
enum class ButtonFrameKind { Plain, Glyph, Tool };
void paintButtonFrame(QPainter &canvas, const QWidget *button, ButtonFrameKind kind,
                      const ControlFrameState &state, const SkinLook &look);
void paintPanelFrame(QPainter &canvas, const QWidget *panel, const SkinLook &look);
void paintComboFrame(QPainter &canvas, const QWidget *combo, const ControlFrameState &state,
                     const SkinLook &look);
void paintRadioFrame(QPainter &canvas, const QWidget *radio, const ControlFrameState &state,
                     const SkinLook &look);
void paintGroupBoxFrame(QPainter &canvas, const QWidget *groupBox, const SkinLook &look);
// The platform's 3D frame: `width` rings moving inward, as many as fit, the
// top and left edges in one colour and the bottom and right edges in the other.
void frame3D(QPainter &canvas, Box r, int width, const QColor &topLeft, const QColor &bottomRight);

} // namespace corvane
