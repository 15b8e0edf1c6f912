#include "widgets/facebutton/facebutton.h"

#include "widgets/drawing/canvas.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QShortcut>
#include <QTimerEvent>

#include <algorithm>

namespace corvane {

namespace {

// The topmost widget under the pointer, disabled ones included.
QWidget *widgetUnderPointer()
{
    return QApplication::widgetAt(QCursor::pos());
}

// Every button of the program, in all its windows.
QList<FaceButton *> allButtons()
{
    QList<FaceButton *> buttons;
    const auto widgets = QApplication::allWidgets();
    for (QWidget *widget : widgets)
        if (auto *button = qobject_cast<FaceButton *>(widget))
            buttons.append(button);
    return buttons;
}

constexpr int HotTimerInterval = 100;
constexpr int TextFlags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;

} // namespace

FaceButton::FaceButton(QWidget *parent) : QWidget(parent)
{
    setGeometry(0, 0, 25, 25);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    followParentColor();
}

void FaceButton::setTransparentMode(TransparentMode mode)
{
    m_transparentMode = mode;
    update();
}

void FaceButton::setDefault(bool on)
{
    m_default = on;
    update();
}

void FaceButton::setAllowAllUp(bool on)
{
    if (m_allowAllUp == on)
        return;
    m_allowAllUp = on;
    notifyGroup();
}

void FaceButton::setColor(const QColor &color)
{
    m_color = color;
    m_parentColor = false;
    update();
}

void FaceButton::setParentColor(bool on)
{
    m_parentColor = on;
    followParentColor();
    update();
}

void FaceButton::setColorFocused(const QColor &color)
{
    m_colorFocused = color;
    update();
}

void FaceButton::setColorDown(const QColor &color)
{
    m_colorDown = color;
    update();
}

void FaceButton::setColorBorder(const QColor &color)
{
    m_colorBorder = color;
    update();
}

void FaceButton::setColorHighLight(const QColor &color)
{
    m_colorHighLight = color;
    update();
}

void FaceButton::setColorShadow(const QColor &color)
{
    m_colorShadow = color;
    update();
}

void FaceButton::setAdvColorFocused(int amount)
{
    m_advColorFocused = std::min<int>(amount, MaxAdvColor);
    updateAdvColors();
    update();
}

void FaceButton::setAdvColorDown(int amount)
{
    m_advColorDown = std::min<int>(amount, MaxAdvColor);
    updateAdvColors();
    update();
}

void FaceButton::setAdvColorBorder(int amount)
{
    m_advColorBorder = std::min<int>(amount, MaxAdvColor);
    updateAdvColors();
    update();
}

void FaceButton::setUseAdvColors(bool on)
{
    if (m_useAdvColors == on)
        return;
    m_useAdvColors = on;
    setParentColor(on);
    updateAdvColors();
    update();
}

void FaceButton::setGroupIndex(int index)
{
    if (m_groupIndex == index)
        return;
    m_groupIndex = index;
    notifyGroup();
}

void FaceButton::setDown(bool down)
{
    if (m_groupIndex == 0)
        down = false;
    // A latched button is released by another group member, not directly,
    // unless the group allows all buttons up.
    if (down == m_down || (m_down && !m_allowAllUp))
        return;
    m_down = down;
    if (down) {
        if (m_state == FaceButtonState::Up)
            update();
        m_state = FaceButtonState::Latched;
        notifyGroup();
    } else {
        m_state = FaceButtonState::Up;
        repaint();
    }
}

void FaceButton::setCaption(const QString &caption)
{
    m_caption = caption;
    updateAccelerator();
    update();
}

void FaceButton::setGlyph(const QImage &glyph)
{
    m_glyph = glyph;
    if (!m_glyph.isNull() && m_glyph.width() % m_glyph.height() == 0) {
        const int count = m_glyph.width() / m_glyph.height();
        m_numGlyphs = int(count > MaxGlyphs ? 1 : count);
    }
    update();
}

void FaceButton::setLayout(GlyphPosition layout)
{
    if (m_layout == layout)
        return;
    m_layout = layout;
    update();
}

void FaceButton::setMargin(int margin)
{
    if (m_margin == margin || margin < -1)
        return;
    m_margin = margin;
    update();
}

void FaceButton::setNumGlyphs(int count)
{
    count = std::clamp<int>(count, 1, MaxGlyphs);
    if (m_numGlyphs == count)
        return;
    m_numGlyphs = count;
    update();
}

void FaceButton::setSpacing(int spacing)
{
    if (m_spacing == spacing)
        return;
    m_spacing = spacing;
    update();
}

void FaceButton::setTabStop(bool on)
{
    setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

void FaceButton::setPopupMenu(QMenu *menu)
{
    m_popupMenu = menu;
}

void FaceButton::click()
{
    // Like a form's modal result: whatever the dialog holds after the click
    // handler ran ends a modal showing, unless it is 0.
    QPointer<FaceButton> self(this);
    QPointer<QDialog> dialog = parentWidget() ? qobject_cast<QDialog *>(window()) : nullptr;
    if (dialog)
        dialog->setResult(m_modalResult);
    Q_EMIT clicked();
    if (self && dialog && dialog->isVisible() && dialog->isModal() && dialog->result() != 0)
        dialog->done(dialog->result());
}

void FaceButton::groupPressed(int groupIndex, FaceButton *sender)
{
    if (groupIndex != m_groupIndex || sender == this)
        return;
    if (sender->isDown() && m_down) {
        m_down = false;
        m_state = FaceButtonState::Up;
        update();
    }
    m_allowAllUp = sender->allowAllUp();
}

void FaceButton::notifyGroup()
{
    if (m_groupIndex == 0 || !parentWidget())
        return;
    const auto siblings = parentWidget()->findChildren<FaceButton *>(Qt::FindDirectChildrenOnly);
    for (FaceButton *button : siblings)
        button->groupPressed(m_groupIndex, this);
}

void FaceButton::updateAdvColors()
{
    if (!m_useAdvColors)
        return;
    m_colorFocused = deriveAdvColor(m_color, m_colorFocused, m_advColorFocused, false);
    m_colorDown = deriveAdvColor(m_color, m_colorDown, m_advColorDown, true);
    m_colorBorder = deriveAdvColor(m_color, m_colorBorder, m_advColorBorder, true);
}

void FaceButton::followParentColor()
{
    const QWidget *parent = parentWidget();
    if (m_parentColor && parent)
        m_color = widgetBackground(parent);
}

void FaceButton::updateAccelerator()
{
    const QKeySequence key = QKeySequence::mnemonic(m_caption);
    if (key.isEmpty()) {
        delete m_accelerator;
        m_accelerator = nullptr;
        return;
    }
    if (!m_accelerator) {
        m_accelerator = new QShortcut(this);
        m_accelerator->setContext(Qt::WindowShortcut);
        connect(m_accelerator, &QShortcut::activated, this, &FaceButton::acceleratorTyped);
    }
    m_accelerator->setKey(key);
}

void FaceButton::acceleratorTyped()
{
    if (!isEnabled())
        return;
    if (m_groupIndex != 0)
        setDown(true);
    click();
}

void FaceButton::enterHot()
{
    if (!isEnabled() || m_hot)
        return;
    m_hot = true;
    update();
}

void FaceButton::leaveHot()
{
    if (!isEnabled() || !m_hot || m_dragging)
        return;
    m_hot = false;
    m_hotTimer.stop();
    update();
}

void FaceButton::watchPointer()
{
    // One button at a time is hot under the pointer: the one that was cools
    // now instead of at its next tick, and stops watching the pointer even
    // when a drag keeps it hot.
    const auto buttons = allButtons();
    for (FaceButton *button : buttons)
        if (button != this && button->m_hotTimer.isActive())
            button->leaveHot();
    if (!QApplication::activeWindow())
        return;
    for (FaceButton *button : buttons)
        button->m_hotTimer.stop();
    m_hotTimer.start(HotTimerInterval, this);
    enterHot();
}

void FaceButton::refreshHot()
{
    if (!isEnabled())
        return;
    m_hot = widgetUnderPointer() == this;
    if (!m_hot)
        m_hotTimer.stop();
    update();
}

void FaceButton::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_hotTimer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    if (widgetUnderPointer() != this)
        leaveHot();
}

bool FaceButton::inside(const QPoint &pos) const
{
    return pos.x() >= 0 && pos.x() < width() && pos.y() >= 0 && pos.y() < height();
}

void FaceButton::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT mouseDown(event->button(), event->modifiers(), event->position().toPoint());
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    if (!m_down) {
        m_state = FaceButtonState::Pressed;
        update();
    }
    m_dragging = true;
    setFocus(Qt::MouseFocusReason);
}

void FaceButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Qt delivers the second press of a double click as this event.
    QPointer<FaceButton> self(this);
    mousePressEvent(event);
    if (self && m_down)
        Q_EMIT doubleClicked();
}

void FaceButton::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT mouseMove(event->modifiers(), event->position().toPoint());
    if (!m_hotTimer.isActive() && widgetUnderPointer() == this)
        watchPointer();
    if (!m_dragging)
        return;
    const FaceButtonState now = m_down                                ? FaceButtonState::Latched
                                : inside(event->position().toPoint()) ? FaceButtonState::Pressed
                                                                      : FaceButtonState::Up;
    if (now != m_state) {
        m_state = now;
        update();
    }
}

void FaceButton::mouseReleaseEvent(QMouseEvent *event)
{
    QPointer<FaceButton> self(this);
    Q_EMIT mouseUp(event->button(), event->modifiers(), event->position().toPoint());
    if (!self || !m_dragging)
        return;
    m_dragging = false;
    const bool in = inside(event->position().toPoint());
    if (m_groupIndex == 0) {
        m_state = FaceButtonState::Up;
        m_hot = false;
        if (in)
            update();
    } else if (in) {
        setDown(!m_down);
        if (m_down)
            repaint();
    } else {
        if (m_down)
            m_state = FaceButtonState::Latched;
        repaint();
    }
    if (in)
        click();
    else
        leaveHot();
    if (self)
        refreshHot();
}

void FaceButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space) {
        if (m_groupIndex == 0)
            m_state = FaceButtonState::Pressed;
        else
            setDown(true);
        update();
        return;
    }
    // A plain character typed while a button has the focus acts as an accelerator.
    if (event->modifiers() == Qt::NoModifier && !event->text().isEmpty()) {
        const auto buttons = window()->findChildren<FaceButton *>();
        for (FaceButton *button : buttons) {
            const QShortcut *accelerator = button->m_accelerator;
            if (accelerator && accelerator->key()[0].key() == event->key() && button->isEnabled() &&
                button->isVisible()) {
                button->acceleratorTyped();
                return;
            }
        }
    }
    QWidget::keyPressEvent(event);
}

void FaceButton::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Space) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    if (event->isAutoRepeat())
        return;
    QPointer<FaceButton> self(this);
    if (m_groupIndex == 0)
        m_state = FaceButtonState::Up;
    else
        setDown(false);
    click();
    if (self)
        update();
}

void FaceButton::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (!isEnabled())
        return;
    m_hot = true;
    update();
}

void FaceButton::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    leaveHot();
}

void FaceButton::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    Q_EMIT mouseEnter();
}

void FaceButton::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    Q_EMIT mouseLeave();
}

void FaceButton::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!isEnabled()) {
            m_hot = false;
            m_state = FaceButtonState::Disabled;
            m_hotTimer.stop();
        }
        refreshHot();
        update();
        break;
    case QEvent::PaletteChange:
    case QEvent::ParentChange:
        // Advanced colours are always worked out from the parent's colour.
        m_parentColor = m_parentColor || m_useAdvColors;
        followParentColor();
        updateAdvColors();
        update();
        break;
    case QEvent::FontChange:
        update();
        break;
    default:
        break;
    }
}

void FaceButton::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (m_transparentMode != TransparentMode::None)
        update();
}

void FaceButton::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_transparentMode != TransparentMode::None)
        update();
}

void FaceButton::contextMenuEvent(QContextMenuEvent *event)
{
    if (m_popupMenu)
        m_popupMenu->exec(event->globalPos());
    else
        QWidget::contextMenuEvent(event);
}

void FaceButton::normaliseState()
{
    if (!isEnabled()) {
        m_state = FaceButtonState::Disabled;
        m_dragging = false;
    } else if (m_state == FaceButtonState::Disabled) {
        m_state = m_down && m_groupIndex != 0 ? FaceButtonState::Latched : FaceButtonState::Up;
    }
}

QColor FaceButton::faceColor() const
{
    switch (m_state) {
    case FaceButtonState::Up:
        return m_hot ? m_colorFocused : m_color;
    case FaceButtonState::Disabled:
        return m_color;
    case FaceButtonState::Pressed:
        return m_colorDown;
    case FaceButtonState::Latched:
        return m_hot ? m_colorFocused : m_colorDown;
    }
    return m_color;
}

void FaceButton::paintFrame(QPainter &painter)
{
    const QColor &border = m_colorBorder;
    const QColor &light = m_colorHighLight;
    const QColor &dark = m_colorShadow;
    switch (m_state) {
    case FaceButtonState::Up:
        if (m_hot)
            drawBevelFrame(painter, rect(), light, dark, 1);
        else
            drawBevelFrame(painter, rect(), border, border, m_default ? 2 : 1);
        break;
    case FaceButtonState::Disabled:
        drawBevelFrame(painter, rect(), border, border, 1);
        break;
    case FaceButtonState::Pressed:
    case FaceButtonState::Latched:
        drawBevelFrame(painter, rect(), dark, light, 1);
        break;
    }
}

void FaceButton::paintGlyph(QPainter &painter)
{
    if (m_glyph.isNull())
        return;
    const int imageWidth = m_glyph.width() / m_numGlyphs;
    if (imageWidth <= 0)
        return;
    QImage image = m_glyph.copy(glyphImageRect(m_glyph.size(), m_numGlyphs, m_state));
    if (image.width() != imageWidth)
        image = image.scaled(imageWidth, m_glyph.height());
    QColor transparent = m_glyph.pixelColor(0, m_glyph.height() - 1);
    if (m_numGlyphs == 1 && m_state == FaceButtonState::Disabled) {
        const QPalette &pal = palette();
        image = disabledGlyph(image, Qt::black, pal.color(QPalette::Button), pal.color(QPalette::Light),
                              pal.color(QPalette::Dark), true);
        transparent = image.pixelColor(0, image.height() - 1);
    }
    drawMaskedImage(painter, m_glyphOrigin, image, transparent);
}

void FaceButton::paintCaption(QPainter &painter)
{
    if (m_caption.isEmpty())
        return;
    const QPalette &pal = palette();
    if (m_state == FaceButtonState::Disabled) {
        painter.setPen(pal.color(QPalette::Light));
        painter.drawText(m_captionRect.translated(1, 1), TextFlags, m_caption);
        painter.setPen(pal.color(QPalette::Dark));
        painter.drawText(m_captionRect, TextFlags, m_caption);
    } else {
        painter.setPen(pal.color(QPalette::WindowText));
        painter.drawText(m_captionRect, TextFlags, m_caption);
    }
}

void FaceButton::paintEvent(QPaintEvent *)
{
    // The whole picture is composed off-screen and copied in one step: no flicker.
    const qreal ratio = devicePixelRatioF();
    QPixmap frame(size() * ratio);
    frame.setDevicePixelRatio(ratio);
    {
        QPainter painter(&frame);
        painter.setFont(font());
        const QPoint offset = m_state == FaceButtonState::Pressed || m_state == FaceButtonState::Latched
                                  ? QPoint(1, 1)
                                  : QPoint(0, 0);
        const QSize captionSize =
            m_caption.isEmpty()
                ? QSize(0, 0)
                : fontMetrics()
                      .boundingRect(QRect(0, 0, width(), 0), TextFlags & ~Qt::AlignCenter, m_caption)
                      .size();
        const QSize glyphSize =
            m_glyph.isNull() ? QSize(0, 0) : QSize(m_glyph.width() / m_numGlyphs, m_glyph.height());
        GlyphCaptionRequest request;
        request.area = rect().translated(offset);
        request.glyph = glyphSize;
        request.caption = captionSize;
        request.position = m_layout;
        request.margin = m_margin;
        request.spacing = captionSize.width() == 0 || glyphSize.width() == 0 ? 0 : m_spacing;
        const GlyphCaptionPlaces placed = layoutGlyphAndCaption(request);
        m_glyphOrigin = placed.glyph;
        m_captionRect = placed.caption;
        normaliseState();

        const bool fill = m_transparentMode == TransparentMode::None ||
                          (m_transparentMode == TransparentMode::NotFocused && m_hot);
        if (fill)
            painter.fillRect(rect(), faceColor());
        else
            paintParentBackground(this, painter);
        paintFrame(painter);
        paintGlyph(painter);
        paintCaption(painter);
    }
    QPainter(this).drawPixmap(0, 0, frame);
}

} // namespace corvane
