#pragma once

#include "widgets/controlframes.h"

#include <QColor>

class QPainter;
class QWidget;

namespace corvane {

struct SkinLook;

// The hook's view of a control at painting time.
struct ControlFrameState
{
    bool hot = false;       // mouse over it, or it has just got the focus
    bool focused = false;   // it has the input focus
    bool mouseDown = false; // left button down on it
    bool spaceDown = false; // space key held on it
    bool singleBorder = true; // it had a border when it was hooked
};

// The colour of the parent's background, which the frames blend into.
QColor parentColour(const QWidget *control);

// Paints the flat frame of the control's kind over what it painted itself.
void paintControlFrame(QPainter &canvas, QWidget *control, ControlKind kind, const ControlFrameState &state,
                       const SkinLook &look);

void paintEditFrame(QPainter &canvas, const QWidget *edit, const ControlFrameState &state, const SkinLook &look);
void paintButtonFrame(QPainter &canvas, const QWidget *button, bool bitButton, const ControlFrameState &state,
                      const SkinLook &look);
void paintPanelFrame(QPainter &canvas, const QWidget *panel, const SkinLook &look);

} // namespace corvane
