#pragma once

#include "widgets/controlframes/controlkind.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace corvane {

class MenuSkin;

// The skin's hook on one control: it watches the control's events, lets the
// control paint itself and then paints the flat frame over it. An event
// filter sees every event first, and for a paint event it runs the control's
// own handling before painting.
// Once the skin is inactive the next event gives the control back its own
// look and ends the hook.
class ControlHook : public QObject
{
    Q_OBJECT
public:
    ControlHook(MenuSkin &skin, QWidget *control, ControlKind kind);
    ~ControlHook() override;

    QWidget *control() const { return m_control; }
    void setKind(ControlKind kind);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool track(QEvent *event);
    void paintFrame();
    void release();
    void switchOffOwnFrame();
    void restoreOwnFrame();

    MenuSkin &m_skin;
    QPointer<QWidget> m_control;
    ControlKind m_kind;
    // The control's own frame when it was hooked: a line edit's frame flag,
    // or a frame's style and width.
    bool m_hadFrame = true;
    int m_frameStyle = 0;
    int m_lineWidth = 0;
    bool m_hot = false;
    bool m_mouseDown = false;
    bool m_spaceDown = false;
};

} // namespace corvane
