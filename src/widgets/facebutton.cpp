#include "widgets/facebutton.h"

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
#include <QTimer>

#include <algorithm>

namespace corvane {

namespace {

// Shared by all buttons: one timer watches the one hot button.
QTimer *s_hotTimer = nullptr;
FaceButton *s_hotButton = nullptr;
int s_liveButtonCount = 0;

constexpr int TextFlags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;

} // namespace

FaceButton::FaceButton(QWidget *parent) : QWidget(parent)
{
    setGeometry(0, 0, 25, 25);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    if (s_liveButtonCount++ == 0) {
        s_hotTimer = new QTimer;
        s_hotTimer->setInterval(HotTimerInterval);
        QObject::connect(s_hotTimer, &QTimer::timeout, s_hotTimer, [] {
            if (s_hotButton)
                s_hotButton->HotTimerTick();
        });
    }
    followParentColor();
}

FaceButton::~FaceButton()
{
    ReleaseHotTimer();
    if (--s_liveButtonCount == 0) {
        delete s_hotTimer;
        s_hotTimer = nullptr;
    }
}

int FaceButton::LiveButtonCount()
{
    return s_liveButtonCount;
}

FaceButton *FaceButton::HotButton()
{
    return s_hotButton;
}

QTimer *FaceButton::HotTimer()
{
    return s_hotTimer;
}

QWidget *FaceButton::widgetUnderPointer()
{
    return QApplication::widgetAt(QCursor::pos());
}

void FaceButton::setTransparentMode(TTransparentMode mode)
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
    NotifyGroup();
}

void FaceButton::setColor(TColor color)
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

void FaceButton::setColorFocused(TColor color)
{
    m_colorFocused = color;
    update();
}

void FaceButton::setColorDown(TColor color)
{
    m_colorDown = color;
    update();
}

void FaceButton::setColorBorder(TColor color)
{
    m_colorBorder = color;
    update();
}

void FaceButton::setColorHighLight(TColor color)
{
    m_colorHighLight = color;
    update();
}

void FaceButton::setColorShadow(TColor color)
{
    m_colorShadow = color;
    update();
}

void FaceButton::setAdvColorFocused(TAdvColors amount)
{
    m_advColorFocused = std::min<TAdvColors>(amount, MaxAdvColor);
    UpdateAdvColors();
    update();
}

void FaceButton::setAdvColorDown(TAdvColors amount)
{
    m_advColorDown = std::min<TAdvColors>(amount, MaxAdvColor);
    UpdateAdvColors();
    update();
}

void FaceButton::setAdvColorBorder(TAdvColors amount)
{
    m_advColorBorder = std::min<TAdvColors>(amount, MaxAdvColor);
    UpdateAdvColors();
    update();
}

void FaceButton::setUseAdvColors(bool on)
{
    if (m_useAdvColors == on)
        return;
    m_useAdvColors = on;
    setParentColor(on);
    UpdateAdvColors();
    update();
}

void FaceButton::setGroupIndex(int index)
{
    if (m_groupIndex == index)
        return;
    m_groupIndex = index;
    NotifyGroup();
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
        if (m_state == fbsUp)
            update();
        m_state = fbsLatched;
        NotifyGroup();
    } else {
        m_state = fbsUp;
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
        m_numGlyphs = TNumGlyphs(count > MaxNumGlyphs ? 1 : count);
    }
    update();
}

void FaceButton::setLayout(TButtonLayout layout)
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

void FaceButton::setNumGlyphs(TNumGlyphs count)
{
    count = std::clamp<TNumGlyphs>(count, 1, MaxNumGlyphs);
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

void FaceButton::GroupPressed(int groupIndex, FaceButton *sender)
{
    if (groupIndex != m_groupIndex || sender == this)
        return;
    if (sender->isDown() && m_down) {
        m_down = false;
        m_state = fbsUp;
        update();
    }
    m_allowAllUp = sender->allowAllUp();
}

void FaceButton::NotifyGroup()
{
    if (m_groupIndex == 0 || !parentWidget())
        return;
    const auto siblings = parentWidget()->findChildren<FaceButton *>(Qt::FindDirectChildrenOnly);
    for (FaceButton *button : siblings)
        button->GroupPressed(m_groupIndex, this);
}

void FaceButton::UpdateAdvColors()
{
    if (!m_useAdvColors)
        return;
    const TColor base = resolveColor(m_color, palette());
    m_colorFocused = DeriveAdvColor(base, m_colorFocused, m_advColorFocused, false);
    m_colorDown = DeriveAdvColor(base, m_colorDown, m_advColorDown, true);
    m_colorBorder = DeriveAdvColor(base, m_colorBorder, m_advColorBorder, true);
}

void FaceButton::followParentColor()
{
    const QWidget *parent = parentWidget();
    if (m_parentColor && parent)
        m_color = fromQColor(WidgetBackground(parent));
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
        connect(m_accelerator, &QShortcut::activated, this, &FaceButton::AcceleratorTyped);
    }
    m_accelerator->setKey(key);
}

void FaceButton::AcceleratorTyped()
{
    if (!isEnabled())
        return;
    if (m_groupIndex != 0)
        setDown(true);
    click();
}

void FaceButton::EnterHot()
{
    if (!isEnabled() || m_hot)
        return;
    m_hot = true;
    update();
}

void FaceButton::LeaveHot()
{
    if (!isEnabled() || !m_hot || m_dragging)
        return;
    m_hot = false;
    ReleaseHotTimer();
    update();
}

void FaceButton::ReleaseHotTimer()
{
    if (s_hotButton != this)
        return;
    s_hotTimer->stop();
    s_hotButton = nullptr;
}

void FaceButton::RefreshHot()
{
    if (!isEnabled())
        return;
    m_hot = widgetUnderPointer() == this;
    if (!m_hot)
        ReleaseHotTimer();
    update();
}

void FaceButton::HotTimerTick()
{
    if (widgetUnderPointer() != this)
        LeaveHot();
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
        m_state = fbsPressed;
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
    if (s_hotButton != this && widgetUnderPointer() == this) {
        if (s_hotButton)
            s_hotButton->LeaveHot();
        if (QApplication::activeWindow()) {
            s_hotTimer->stop();
            s_hotButton = this;
            s_hotTimer->start();
            EnterHot();
        }
    }
    if (!m_dragging)
        return;
    const FaceButtonState now = m_down                                ? fbsLatched
                                : inside(event->position().toPoint()) ? fbsPressed
                                                                      : fbsUp;
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
        m_state = fbsUp;
        m_hot = false;
        if (in)
            update();
    } else if (in) {
        setDown(!m_down);
        if (m_down)
            repaint();
    } else {
        if (m_down)
            m_state = fbsLatched;
        repaint();
    }
    if (in)
        click();
    else
        LeaveHot();
    if (self)
        RefreshHot();
}

void FaceButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space) {
        if (m_groupIndex == 0)
            m_state = fbsPressed;
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
                button->AcceleratorTyped();
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
        m_state = fbsUp;
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
    LeaveHot();
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
            m_state = fbsDisabled;
            ReleaseHotTimer();
        }
        RefreshHot();
        update();
        break;
    case QEvent::PaletteChange:
    case QEvent::ParentChange:
        // Advanced colours are always worked out from the parent's colour.
        m_parentColor = m_parentColor || m_useAdvColors;
        followParentColor();
        UpdateAdvColors();
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
    if (m_transparentMode != tmNone)
        update();
}

void FaceButton::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_transparentMode != tmNone)
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
        m_state = fbsDisabled;
        m_dragging = false;
    } else if (m_state == fbsDisabled) {
        m_state = m_down && m_groupIndex != 0 ? fbsLatched : fbsUp;
    }
}

TColor FaceButton::faceColor() const
{
    switch (m_state) {
    case fbsUp:
        return m_hot ? m_colorFocused : m_color;
    case fbsDisabled:
        return m_color;
    case fbsPressed:
        return m_colorDown;
    case fbsLatched:
        return m_hot ? m_colorFocused : m_colorDown;
    }
    return m_color;
}

void FaceButton::paintFrame(QPainter &painter)
{
    const QPalette &pal = palette();
    const QColor border = toQColor(m_colorBorder, pal);
    const QColor light = toQColor(m_colorHighLight, pal);
    const QColor dark = toQColor(m_colorShadow, pal);
    switch (m_state) {
    case fbsUp:
        if (m_hot)
            DrawBevelFrame(painter, rect(), light, dark, 1);
        else
            DrawBevelFrame(painter, rect(), border, border, m_default ? 2 : 1);
        break;
    case fbsDisabled:
        DrawBevelFrame(painter, rect(), border, border, 1);
        break;
    case fbsPressed:
    case fbsLatched:
        DrawBevelFrame(painter, rect(), dark, light, 1);
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
    QImage image = m_glyph.copy(GlyphImageRect(m_glyph.size(), m_numGlyphs, m_state));
    if (image.width() != imageWidth)
        image = image.scaled(imageWidth, m_glyph.height());
    QColor transparent = m_glyph.pixelColor(0, m_glyph.height() - 1);
    if (m_numGlyphs == 1 && m_state == fbsDisabled) {
        const QPalette &pal = palette();
        image = MakeDisabledGlyph(image, Qt::black, toQColor(clBtnFace, pal), toQColor(clBtnHighlight, pal),
                                  toQColor(clBtnShadow, pal), true);
        transparent = image.pixelColor(0, image.height() - 1);
    }
    DrawMaskedImage(painter, m_glyphOrigin, image, transparent);
}

void FaceButton::paintCaption(QPainter &painter)
{
    if (m_caption.isEmpty())
        return;
    const QPalette &pal = palette();
    if (m_state == fbsDisabled) {
        painter.setPen(toQColor(clBtnHighlight, pal));
        painter.drawText(m_captionRect.translated(1, 1), TextFlags, m_caption);
        painter.setPen(toQColor(clBtnShadow, pal));
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
        const QPoint offset = m_state == fbsPressed || m_state == fbsLatched ? QPoint(1, 1) : QPoint(0, 0);
        const QSize captionSize =
            m_caption.isEmpty()
                ? QSize(0, 0)
                : fontMetrics()
                      .boundingRect(QRect(0, 0, width(), 0), TextFlags & ~Qt::AlignCenter, m_caption)
                      .size();
        const QSize glyphSize =
            m_glyph.isNull() ? QSize(0, 0) : QSize(m_glyph.width() / m_numGlyphs, m_glyph.height());
        const GlyphCaptionLayout placed =
            LayoutGlyphAndCaption(rect(), offset, captionSize, m_layout, m_margin, m_spacing, glyphSize);
        m_glyphOrigin = placed.glyphOrigin;
        m_captionRect = placed.captionRect;
        normaliseState();

        const bool fill = m_transparentMode == tmNone || (m_transparentMode == tmNotFocused && m_hot);
        if (fill)
            painter.fillRect(rect(), toQColor(faceColor(), palette()));
        else
            PaintParentBackground(this, painter);
        paintFrame(painter);
        paintGlyph(painter);
        paintCaption(painter);
    }
    QPainter(this).drawPixmap(0, 0, frame);
}

} // namespace corvane
