#include "widgets/buttonedit/buttonedit.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace corvane {

ButtonEdit::ButtonEdit(QWidget *parent) : QLineEdit(parent), m_buttons([this] { relayout(); })
{
    setMouseTracking(true);
    m_buttons.add();
}

int ButtonEdit::buttonAt(const QPoint &pos) const
{
    for (int i = 0; i < m_buttons.count(); ++i) {
        if (m_buttons[i].isVisible() && m_layout.rects.value(i).contains(pos))
            return i;
    }
    return -1;
}

void ButtonEdit::relayout()
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const int frame = hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this) : 0;
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    m_layout = layoutEditButtons(m_buttons, rect().adjusted(frame, frame, -frame, -frame), extent);
    setTextMargins(m_layout.leftMargin, 0, m_layout.rightMargin, 0);
    if (m_pressed >= m_buttons.count())
        m_pressed = -1;
    if (m_hover >= m_buttons.count())
        m_hover = -1;
    update();
}

bool ButtonEdit::isClickKey(const QKeyEvent *event) const
{
    // Both Enter keys count, as the one Enter of the shortcut.
    const Qt::Key key = event->key() == Qt::Key_Enter ? Qt::Key_Return : Qt::Key(event->key());
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    return QKeyCombination(modifiers, key) == m_clickKey;
}

bool ButtonEdit::event(QEvent *event)
{
    // Keep the click key from being taken as a window shortcut elsewhere.
    if (event->type() == QEvent::ShortcutOverride && m_buttons.count() > 0 &&
        isClickKey(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void ButtonEdit::keyPressEvent(QKeyEvent *event)
{
    if (m_buttons.count() == 0 || !isClickKey(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // The key is consumed whole: nothing is typed.
    event->accept();
    const int index = m_buttons.firstVisibleDefault();
    if (index >= 0)
        Q_EMIT buttonClick(index);
}

void ButtonEdit::mousePressEvent(QMouseEvent *event)
{
    const int index = event->button() == Qt::LeftButton ? buttonAt(event->position().toPoint()) : -1;
    if (index < 0) {
        QLineEdit::mousePressEvent(event);
        return;
    }
    // Qt grabs the mouse for the widget until the release.
    m_pressed = index;
    update();
    setFocus(Qt::MouseFocusReason);
}

void ButtonEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (buttonAt(event->position().toPoint()) >= 0)
        mousePressEvent(event);
    else
        QLineEdit::mouseDoubleClickEvent(event);
}

void ButtonEdit::mouseMoveEvent(QMouseEvent *event)
{
    const int index = buttonAt(event->position().toPoint());
    setHover(index);
    if (m_pressed >= 0)
        return;
    if (index >= 0)
        setCursor(Qt::ArrowCursor);
    else
        setCursor(Qt::IBeamCursor);
    QLineEdit::mouseMoveEvent(event);
}

void ButtonEdit::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_pressed < 0 || event->button() != Qt::LeftButton) {
        QLineEdit::mouseReleaseEvent(event);
        return;
    }
    const int pressed = m_pressed;
    m_pressed = -1;
    update();
    if (buttonAt(event->position().toPoint()) == pressed)
        Q_EMIT buttonClick(pressed);
}

void ButtonEdit::focusOutEvent(QFocusEvent *event)
{
    cancelPress();
    QLineEdit::focusOutEvent(event);
}

void ButtonEdit::hideEvent(QHideEvent *event)
{
    cancelPress();
    QLineEdit::hideEvent(event);
}

void ButtonEdit::cancelPress()
{
    if (m_pressed < 0)
        return;
    m_pressed = -1;
    update();
}

void ButtonEdit::leaveEvent(QEvent *event)
{
    setHover(-1);
    QLineEdit::leaveEvent(event);
}

void ButtonEdit::setHover(int index)
{
    if (index == m_hover)
        return;
    m_hover = index;
    update();
}

void ButtonEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    relayout();
}

void ButtonEdit::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::StyleChange)
        relayout();
}

void ButtonEdit::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    for (int i = 0; i < m_buttons.count(); ++i) {
        if (m_buttons[i].isVisible())
            paintButton(painter, i);
    }
}

void ButtonEdit::paintButton(QPainter &painter, int index) const
{
    EditButtonLook look;
    look.pressed = index == m_pressed && index == m_hover;
    look.hot = index == m_hover;
    look.enabled = isEnabled();
    look.separatorOnLeft = !m_buttons[index].leftAlignment();
    m_buttons[index].paint(painter, m_layout.rects.value(index), look, palette());
}

} // namespace corvane
