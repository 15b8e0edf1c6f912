#include "widgets/buttonedit/editbutton.h"

#include "platform/failure.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace corvane {

namespace {

constexpr int GlyphEdges = 2;
constexpr int DotSize = 2;
constexpr int DotGap = 2;
constexpr int ArrowWidth = 7;

void paintEllipsis(QPainter &painter, const QRect &rect, const QColor &color)
{
    const int total = 3 * DotSize + 2 * DotGap;
    const int x = rect.left() + (rect.width() - total) / 2;
    const int y = rect.top() + (rect.height() - DotSize) / 2;
    for (int i = 0; i < 3; ++i)
        painter.fillRect(x + i * (DotSize + DotGap), y, DotSize, DotSize, color);
}

void paintDownArrow(QPainter &painter, const QRect &rect, const QColor &color)
{
    const int x = rect.left() + (rect.width() - ArrowWidth) / 2;
    const int y = rect.top() + (rect.height() - (ArrowWidth + 1) / 2) / 2;
    for (int row = 0; row * 2 < ArrowWidth; ++row)
        painter.fillRect(x + row, y + row, ArrowWidth - 2 * row, 1, color);
}

} // namespace

void EditButton::setDefault(bool on)
{
    m_default = on;
    if (on)
        m_owner.clearDefaultsExcept(this);
    m_owner.notify();
}

void EditButton::setKind(EditButtonKind kind)
{
    m_kind = kind;
    m_owner.notify();
}

void EditButton::setGlyph(const QPixmap &glyph)
{
    m_glyph = glyph;
    m_owner.notify();
}

void EditButton::setLeftAlignment(bool on)
{
    m_leftAlignment = on;
    m_owner.notify();
}

void EditButton::setVisible(bool on)
{
    m_visible = on;
    m_owner.notify();
}

void EditButton::setWidth(int width)
{
    m_width = std::max(width, 0);
    m_owner.notify();
}

int EditButton::effectiveWidth(int scrollBarExtent) const
{
    if (m_width > 0)
        return m_width;
    if (m_kind == EditButtonKind::Glyph && !m_glyph.isNull())
        return int(m_glyph.width() / m_glyph.devicePixelRatio()) + GlyphEdges;
    return scrollBarExtent;
}

void EditButton::paint(QPainter &painter, const QRect &rect, const EditButtonLook &look,
                       const QPalette &palette) const
{
    if (rect.isEmpty())
        return;
    QColor face = palette.color(QPalette::Button);
    if (look.pressed)
        face = face.darker(115);
    else if (look.hot)
        face = face.lighter(108);
    painter.fillRect(rect, face);
    const int edge = look.separatorOnLeft ? rect.left() : rect.right();
    painter.fillRect(edge, rect.top(), 1, rect.height(), palette.color(QPalette::Mid));

    const QRect content = look.pressed ? rect.translated(1, 1) : rect;
    const QColor mark =
        palette.color(look.enabled ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText);
    switch (m_kind) {
    case EditButtonKind::Ellipsis:
        paintEllipsis(painter, content, mark);
        break;
    case EditButtonKind::Down:
        paintDownArrow(painter, content, mark);
        break;
    case EditButtonKind::Glyph:
        if (!m_glyph.isNull()) {
            const QSize size = m_glyph.deviceIndependentSize().toSize();
            painter.drawPixmap(
                QRect(QPoint(), size).translated(content.center() - QRect(QPoint(), size).center()), m_glyph);
        }
        break;
    }
}

EditButton &EditButtons::add()
{
    if (count() >= MaxButtons)
        throw Failure(QStringLiteral("Too many buttons ( >= %1)").arg(MaxButtons));
    m_items.push_back(std::unique_ptr<EditButton>(new EditButton(*this)));
    defaultLoneButton();
    notify();
    return *m_items.back();
}

void EditButtons::remove(int index)
{
    if (index < 0 || index >= count())
        return;
    m_items.erase(m_items.begin() + index);
    defaultLoneButton();
    notify();
}

int EditButtons::firstVisibleDefault() const
{
    for (int i = 0; i < count(); ++i) {
        if (m_items[size_t(i)]->isVisible() && m_items[size_t(i)]->isDefault())
            return i;
    }
    return -1;
}

void EditButtons::clearDefaultsExcept(const EditButton *keep)
{
    for (const auto &item : m_items) {
        if (item.get() != keep)
            item->m_default = false;
    }
}

void EditButtons::defaultLoneButton()
{
    if (count() == 1)
        m_items.front()->m_default = true;
}

void EditButtons::notify() const
{
    if (m_changed)
        m_changed();
}

EditButtonsLayout layoutEditButtons(const EditButtons &buttons, const QRect &inner, int scrollBarExtent)
{
    EditButtonsLayout layout;
    layout.rects.resize(buttons.count());
    for (int i = buttons.count() - 1; i >= 0; --i) {
        const EditButton &button = buttons[i];
        if (!button.isVisible())
            continue;
        const int width = button.effectiveWidth(scrollBarExtent);
        if (button.leftAlignment()) {
            layout.rects[i] = QRect(inner.left() + layout.leftMargin, inner.top(), width, inner.height());
            layout.leftMargin += width;
        } else {
            layout.rightMargin += width;
            layout.rects[i] =
                QRect(inner.left() + inner.width() - layout.rightMargin, inner.top(), width, inner.height());
        }
    }
    return layout;
}

} // namespace corvane
