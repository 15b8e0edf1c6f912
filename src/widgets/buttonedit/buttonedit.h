#pragma once

#include "widgets/buttonedit/editbutton.h"

#include <QKeyCombination>
#include <QLineEdit>

namespace corvane {

// A single-line text box with push buttons inside its frame. The text area is
// what the buttons leave. A new box holds one button, its default.
class ButtonEdit : public QLineEdit
{
    Q_OBJECT

public:
    static constexpr QKeyCombination DefaultClickKey{Qt::ControlModifier, Qt::Key_Return};

    explicit ButtonEdit(QWidget *parent = nullptr);

    EditButtons &buttons() { return m_buttons; }
    const EditButtons &buttons() const { return m_buttons; }
    QKeyCombination clickKey() const { return m_clickKey; }
    void setClickKey(QKeyCombination key) { m_clickKey = key; }

    QRect buttonRect(int index) const { return m_layout.rects.value(index); }
    int pressedButton() const { return m_pressed; }
    int buttonAt(const QPoint &pos) const;

Q_SIGNALS:
    // A button was clicked: its index among all buttons, hidden ones included.
    void buttonClick(int index);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // The press ends without a click when the mouse is taken away from the box.
    void cancelPress();
    void relayout();
    bool isClickKey(const QKeyEvent *event) const;
    void setHover(int index);
    void paintButton(QPainter &painter, int index) const;

    EditButtons m_buttons;
    EditButtonsLayout m_layout;
    QKeyCombination m_clickKey = DefaultClickKey;
    int m_pressed = -1;
    int m_hover = -1;
};

} // namespace corvane
