#include "widgets/controlframes/controlhook.h"

#include "widgets/controlframes/framepainters.h"
#include "widgets/menuskin/menuskin.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

namespace corvane {

ControlHook::ControlHook(MenuSkin &skin, QWidget *control, ControlKind kind)
    : QObject(&skin), m_skin(skin), m_control(control), m_kind(kind)
{
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        m_hadFrame = edit->hasFrame();
    } else if (auto *frame = qobject_cast<QFrame *>(control)) {
        m_hadFrame = frame->frameShape() != QFrame::NoFrame;
        m_frameStyle = frame->frameStyle();
        m_lineWidth = frame->lineWidth();
    }
    m_hot = control->underMouse();
    control->installEventFilter(this);
    connect(control, &QObject::destroyed, this, [this](QObject *gone) {
        m_skin.m_hooks.remove(static_cast<QWidget *>(gone));
        deleteLater();
    });
}

ControlHook::~ControlHook()
{
    if (m_control) {
        m_control->removeEventFilter(this);
        restoreOwnFrame();
    }
}

void ControlHook::setKind(ControlKind kind)
{
    m_kind = kind;
    if (m_control)
        m_control->update();
}

void ControlHook::release()
{
    m_skin.m_hooks.remove(m_control);
    if (m_control) {
        m_control->removeEventFilter(this);
        restoreOwnFrame();
        m_control->update();
    }
    m_control = nullptr;
    deleteLater();
}

bool ControlHook::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_control)
        return false;
    if (!m_skin.isActive()) {
        release();
        return false;
    }
    if (event->type() == QEvent::Paint) {
        // The control's own painting first, then the frame over it; a tool
        // button is painted by the skin alone.
        if (m_kind != ControlKind::ToolButton)
            static_cast<QObject *>(m_control.data())->event(event);
        paintFrame();
        return true;
    }
    if (track(event))
        m_control->update();
    return false;
}

namespace {

// Qt hands an event the control ignored on to its parent; only the control's
// own mouse and key events count for its state.
bool reachedFromChild(const QWidget *control, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        return control->childAt(static_cast<QMouseEvent *>(event)->position().toPoint()) != nullptr;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return !control->hasFocus();
    default:
        return false;
    }
}

} // namespace

// Follows the state the frames show; true when the frame must be repainted.
bool ControlHook::track(QEvent *event)
{
    if (reachedFromChild(m_control, event))
        return false;
    switch (event->type()) {
    case QEvent::FocusIn:
        m_hot = true;
        return true;
    case QEvent::FocusOut:
        m_hot = false;
        return true;
    case QEvent::Enter:
    case QEvent::Leave:
        if (!m_control->isEnabled())
            return false;
        m_hot = event->type() == QEvent::Enter;
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: // a second click presses the button again
        if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
            return false;
        m_mouseDown = true;
        return true;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
            return false;
        m_mouseDown = false;
        return true;
    case QEvent::MouseMove: {
        // While the button is held Qt delays leave and enter until release,
        // so follow the mouse here: a pressed edge only while over the control.
        if (!m_mouseDown)
            return false;
        const bool over = m_control->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint());
        const bool changed = over != m_hot;
        m_hot = over;
        return changed;
    }
    case QEvent::KeyPress: {
        if (static_cast<QKeyEvent *>(event)->key() != Qt::Key_Space)
            return false;
        // Key repeat while held asks for no further painting.
        const bool first = !m_spaceDown;
        m_spaceDown = true;
        return first;
    }
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Space || key->isAutoRepeat())
            return false;
        m_spaceDown = false;
        return true;
    }
    case QEvent::EnabledChange:
    case QEvent::PaletteChange:
    case QEvent::ParentChange:
        return true;
    default:
        return false;
    }
}

void ControlHook::paintFrame()
{
    if (isEditKind(m_kind))
        switchOffOwnFrame();
    QPainter canvas(m_control);
    ControlFrameState state;
    state.hot = m_hot;
    state.focused = m_control->hasFocus();
    state.mouseDown = m_mouseDown;
    state.spaceDown = m_spaceDown;
    state.singleBorder = m_hadFrame;
    paintControlFrame(canvas, m_control, m_kind, state, m_skin.look(m_control));
}

// The flat frame replaces an edit box's sunken one: a line edit loses its
// frame (the flat one is painted on its outermost pixels), a memo with a
// border keeps a plain one-pixel one.
void ControlHook::switchOffOwnFrame()
{
    if (auto *edit = qobject_cast<QLineEdit *>(m_control.data())) {
        if (edit->hasFrame())
            edit->setFrame(false);
    } else if (auto *frame = qobject_cast<QFrame *>(m_control.data()); frame && m_hadFrame) {
        if (frame->frameStyle() != (QFrame::Box | QFrame::Plain) || frame->lineWidth() != 1) {
            frame->setFrameStyle(QFrame::Box | QFrame::Plain);
            frame->setLineWidth(1);
        }
    }
}

void ControlHook::restoreOwnFrame()
{
    if (!isEditKind(m_kind))
        return;
    if (auto *edit = qobject_cast<QLineEdit *>(m_control.data())) {
        edit->setFrame(m_hadFrame);
    } else if (auto *frame = qobject_cast<QFrame *>(m_control.data())) {
        frame->setFrameStyle(m_frameStyle);
        frame->setLineWidth(m_lineWidth);
    }
}

} // namespace corvane
