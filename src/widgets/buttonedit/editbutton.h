#pragma once

#include <QList>
#include <QPixmap>
#include <QRect>

#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QPalette;

namespace corvane {

enum class EditButtonKind { Ellipsis, Down, Glyph };

class EditButtons;

// How a button is to be drawn at the moment.
struct EditButtonLook
{
    bool hot = false;
    bool pressed = false;
    bool enabled = true;
    bool separatorOnLeft = true; // the edge next to the text area
};

// One built-in button of a ButtonEdit. Changes are reported to the owning
// collection, which lays the box out again.
class EditButton
{
public:
    bool isDefault() const { return m_default; }
    // At most one button of a box is the default: setting it clears the others.
    void setDefault(bool on);
    EditButtonKind kind() const { return m_kind; }
    void setKind(EditButtonKind kind);
    const QPixmap &glyph() const { return m_glyph; }
    void setGlyph(const QPixmap &glyph);
    bool leftAlignment() const { return m_leftAlignment; }
    void setLeftAlignment(bool on);
    bool isVisible() const { return m_visible; }
    void setVisible(bool on);
    int width() const { return m_width; }
    // 0 = automatic.
    void setWidth(int width);
    // The width used for layout: the set width, else the glyph's width plus
    // its edges for a glyph button, else the style's scroll-bar extent.
    int effectiveWidth(int scrollBarExtent) const;
    // A flat face, a one-pixel separator towards the text, and the mark of the kind.
    void paint(QPainter &painter, const QRect &rect, const EditButtonLook &look,
               const QPalette &palette) const;

private:
    friend class EditButtons;
    explicit EditButton(EditButtons &owner) : m_owner(owner) {}

    EditButtons &m_owner;
    bool m_default = false;
    EditButtonKind m_kind = EditButtonKind::Ellipsis;
    QPixmap m_glyph;
    bool m_leftAlignment = false;
    bool m_visible = true;
    int m_width = 0;
};

// The buttons of one box, in order; at most MaxButtons.
class EditButtons
{
public:
    static constexpr int MaxButtons = 8;

    explicit EditButtons(std::function<void()> changed) : m_changed(std::move(changed)) {}
    EditButtons(const EditButtons &) = delete;
    EditButtons &operator=(const EditButtons &) = delete;

    // Throws Failure when the box is full. A lone button becomes the default.
    EditButton &add();
    void remove(int index);
    int count() const { return int(m_items.size()); }
    EditButton &operator[](int index) { return *m_items.at(size_t(index)); }
    const EditButton &operator[](int index) const { return *m_items.at(size_t(index)); }
    // The index of the first visible default button, or -1.
    int firstVisibleDefault() const;

private:
    friend class EditButton;
    void clearDefaultsExcept(const EditButton *keep);
    void defaultLoneButton();
    void notify() const;

    std::vector<std::unique_ptr<EditButton>> m_items;
    std::function<void()> m_changed;
};

struct EditButtonsLayout
{
    QList<QRect> rects; // one per button; empty for hidden ones
    int leftMargin = 0;
    int rightMargin = 0;
};

// Right-aligned buttons stand from the right edge of `inner` inward, left-aligned
// ones from the left edge inward, the last visible button outermost; the text
// area is what the margins leave.
EditButtonsLayout layoutEditButtons(const EditButtons &buttons, const QRect &inner, int scrollBarExtent);

} // namespace corvane
