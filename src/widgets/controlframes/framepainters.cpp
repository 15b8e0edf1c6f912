#include "widgets/controlframes/framepainters.h"

#include "widgets/drawing/canvas.h"
#include "widgets/drawing/glyphcaptionlayout.h"
#include "widgets/menuskin/itempainting.h"
#include "widgets/menuskin/skinlook.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace corvane {

void frame3D(QPainter &canvas, Box r, int width, const QColor &topLeft, const QColor &bottomRight)
{
    // Each ring needs two columns and two rows of its own; the bevel would
    // also paint a lone middle line.
    const int rings = std::min({width, r.width() / 2, r.height() / 2});
    drawBevelFrame(canvas, r.rect(), topLeft, bottomRight, rings);
}

QColor parentColour(const QWidget *control)
{
    const QWidget *parent = control->parentWidget();
    if (!parent)
        return control->palette().color(QPalette::Window);
    return widgetBackground(parent);
}

void paintControlFrame(QPainter &canvas, QWidget *control, ControlKind kind, const ControlFrameState &state,
                       const SkinLook &look)
{
    switch (kind) {
    case ControlKind::ComboBox:
        paintComboFrame(canvas, control, state, look);
        break;
    case ControlKind::Edit:
    case ControlKind::MaskedEdit:
    case ControlKind::MultiLineEdit:
        paintEditFrame(canvas, control, state, look);
        break;
    case ControlKind::RadioButton:
        paintRadioFrame(canvas, control, state, look);
        break;
    case ControlKind::GlyphButton:
        paintButtonFrame(canvas, control, ButtonFrameKind::Glyph, state, look);
        break;
    case ControlKind::Button:
        paintButtonFrame(canvas, control, ButtonFrameKind::Plain, state, look);
        break;
    case ControlKind::ToolButton:
        if (control->isVisible())
            paintButtonFrame(canvas, control, ButtonFrameKind::Tool, state, look);
        break;
    case ControlKind::Panel:
        paintPanelFrame(canvas, control, look);
        break;
    case ControlKind::GroupBox:
        paintGroupBoxFrame(canvas, control, look);
        break;
    case ControlKind::None:
        break;
    }
}

void paintEditFrame(QPainter &canvas, const QWidget *edit, const ControlFrameState &s, const SkinLook &look)
{
    QColor frame;
    if (s.hot || s.focused)
        frame = blendToWhite(look.colors.selectBorderColor, s.singleBorder ? 60 : 80);
    else
        frame = s.singleBorder ? shadeDown(parentColour(edit), 60) : parentColour(edit);
    frameBox(canvas, Box::fromRect(edit->rect()), frame);
}

void paintPanelFrame(QPainter &canvas, const QWidget *panel, const SkinLook &)
{
    const auto *frame = qobject_cast<const QFrame *>(panel);
    if (!frame || frame->frameShape() == QFrame::NoFrame)
        return;
    const QColor colour = widgetBackground(panel);
    const QColor dark = shadeDown(colour, 60);
    const QColor light = blendToWhite(colour, 60);
    const bool lowered = frame->frameShadow() == QFrame::Sunken;
    frame3D(canvas, Box::fromRect(panel->rect()), frame->lineWidth(), lowered ? dark : light,
            lowered ? light : dark);
}

namespace {

struct ButtonPlaces
{
    Box glyph;
    Box text;
};

// A glyph button's glyph and caption, 4 pixels apart, the glyph at the
// left or (`glyphRight`) at the right. The caption's band runs the button's
// whole height; the caption drawing centres it across.
ButtonPlaces glyphButtonPlaces(const QAbstractButton &button, QSize glyphSize, QSize captionSize,
                               bool glyphRight)
{
    GlyphCaptionRequest request;
    request.area = button.rect();
    request.glyph = glyphSize;
    request.caption = captionSize;
    request.position = glyphRight ? GlyphPosition::Right : GlyphPosition::Left;
    request.spacing = button.text().trimmed().isEmpty() ? 0 : 4;
    request.rounding = Rounding::Down;
    const GlyphCaptionPlaces places = layoutGlyphAndCaption(request);
    const QPoint glyph = places.glyph;
    const int textLeft = places.caption.left();
    return {{glyph.x(), glyph.y(), glyph.x() + glyphSize.width(), glyph.y() + glyphSize.height()},
            {textLeft, 0, textLeft + captionSize.width(), button.height()}};
}

// The glyph as an opaque picture on the button face, for the icon drawing.
QImage glyphPicture(const QAbstractButton &button, const QColor &face)
{
    if (button.icon().isNull())
        return {};
    const QPixmap pixmap = button.icon().pixmap(button.iconSize());
    return opaquePicture(pixmap, pixmap.size(), face);
}

} // namespace

void paintButtonFrame(QPainter &canvas, const QWidget *widget, ButtonFrameKind frameKind,
                      const ControlFrameState &s, const SkinLook &look)
{
    const auto *button = qobject_cast<const QAbstractButton *>(widget);
    if (!button)
        return;
    const WorkingColors &w = look.colors;
    const bool toolButton = frameKind == ButtonFrameKind::Tool;
    // A tool button shows its checked state pressed; a flat one (auto-raise)
    // shows its frame only when hot or down.
    const bool down = toolButton && button->isChecked();
    const auto *tool = qobject_cast<const QToolButton *>(button);
    const bool framed = !(tool && tool->autoRaise()) || s.hot || down;

    const bool lit = s.hot || s.spaceDown;
    QColor face = lit ? blendToWhite(SystemColor::BtnFace, 60) : w.iconBackColor;
    if (down)
        face = s.hot ? w.boxFillSelected : w.boxFill;
    const QColor edge = lit || s.focused ? blendToWhite(w.selectBorderColor, 60)
                                         : SkinColor(SystemColor::BtnShadow).resolved();

    const Box r = Box::fromRect(button->rect());
    fillBox(canvas, r, parentColour(button));
    if (framed) {
        roundedBox(canvas, r, 4, blendToWhite(edge, 30), face);
        if (button->isEnabled()) {
            const QColor line = shadeDown(edge, 50);
            if ((s.mouseDown && s.hot) || s.spaceDown || down)
                polyline(
                    canvas, line,
                    {{r.left, r.bottom - 2}, {r.left, r.top + 1}, {r.left + 1, r.top}, {r.right - 1, r.top}});
            else
                polyline(canvas, line,
                         {{r.right - 1, r.top + 1},
                          {r.right - 1, r.bottom - 2},
                          {r.right - 2, r.bottom - 1},
                          {r.left, r.bottom - 1}});
        }
    }

    const bool rightToLeft = button->layoutDirection() == Qt::RightToLeft;
    const QFontMetrics metrics(button->font());
    const int tw = metrics.horizontalAdvance(button->text());
    const int th = metrics.height();
    Box text = {(r.width() - tw) / 2, r.top, r.right, r.bottom};
    if (frameKind != ButtonFrameKind::Plain) {
        const QImage glyph = glyphPicture(*button, face);
        // A tool button puts its glyph first in reading order.
        const ButtonPlaces places =
            glyphButtonPlaces(*button, glyph.size(), QSize(tw, th), toolButton && rightToLeft);
        text = places.text;
        IconState icon;
        icon.menuItem = false;
        icon.enabled = button->isEnabled();
        icon.pressed = s.focused;
        icon.selected = s.hot;
        drawSkinIcon(canvas, places.glyph, glyph, icon, look);
    }

    ItemText caption;
    caption.text = button->text();
    caption.font = button->font();
    caption.fontColor = button->palette().color(QPalette::ButtonText);
    caption.background = face;
    caption.rightToLeft = rightToLeft;
    const auto *push = qobject_cast<const QPushButton *>(button);
    caption.isDefault = push && push->isDefault();
    caption.enabled = button->isEnabled();
    drawItemText(canvas, text, caption, look);
}

namespace {

// The width of a scroll bar's thumb, which sizes the combo button and the
// radio mark.
int thumbWidth(const QWidget *control)
{
    return control->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, control);
}

} // namespace

void paintComboFrame(QPainter &canvas, const QWidget *widget, const ControlFrameState &s,
                     const SkinLook &look)
{
    const auto *combo = qobject_cast<const QComboBox *>(widget);
    if (!combo)
        return;
    const WorkingColors &w = look.colors;
    const QColor colour = combo->palette().color(QPalette::Base);
    const bool droppedDown = combo->view() && combo->view()->isVisible();
    const bool disabled = !combo->isEnabled();
    QColor border = colour;
    if (s.hot)
        border = w.selectBorderColor;
    else if (s.focused)
        border = blendToWhite(w.selectBorderColor, 60);

    const Box r = Box::fromRect(combo->rect());
    const QColor parent = parentColour(combo);
    frameBox(canvas, r, parent);
    polyline(canvas, parent, {{r.left + 1, r.top + 1}, {r.right - 1, r.top + 1}});
    frameBox(canvas, {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, colour);
    frameBox(canvas, {r.left + 1, r.top + 1, r.right - 1, r.bottom}, border);

    // The drop-down button on the far side.
    const bool rightToLeft = combo->layoutDirection() == Qt::RightToLeft;
    const int width = thumbWidth(combo) + 1;
    Box button = rightToLeft ? Box{r.left + 2, r.top + 2, r.left + 2 + width, r.bottom - 2}
                             : Box{r.right - 2 - width, r.top + 2, r.right - 2, r.bottom - 2};
    QColor fill = SkinColor(SystemColor::BtnFace).resolved();
    if (droppedDown)
        fill = w.boxFillSelected;
    else if (s.hot)
        fill = w.selectColor;
    else if (s.focused)
        fill = w.boxFill;
    fillBox(canvas, button, fill);
    const Box strip = rightToLeft ? Box{button.right - 5, button.top, button.right, button.bottom}
                                  : Box{button.left, button.top, button.left + 5, button.bottom};
    fillBox(canvas, strip, colour);
    const int edgeX = rightToLeft ? strip.left : strip.right;
    polyline(canvas, border, {{edgeX, button.top}, {edgeX, button.bottom}});
    if (rightToLeft)
        button.right = strip.left;
    else
        button.left = strip.right;

    const QColor arrow = droppedDown || disabled ? QColor(Qt::white) : QColor(Qt::black);
    const int centre = button.left + button.width() / 2;
    for (int row = 0; row < 3; ++row) {
        const int half = 2 - row;
        const int y = r.top + 10 + row;
        polyline(canvas, arrow, {{centre - half, y}, {centre + half + 1, y}});
    }
}

void paintRadioFrame(QPainter &canvas, const QWidget *widget, const ControlFrameState &s,
                     const SkinLook &look)
{
    const auto *radio = qobject_cast<const QRadioButton *>(widget);
    if (!radio)
        return;
    const WorkingColors &w = look.colors;
    const int size = thumbWidth(radio);
    const Box client = Box::fromRect(radio->rect());
    const int top = client.top + 4 + (client.height() - 8 - size) / 2;
    // The mark stands where the platform puts it: at the start of the
    // reading direction.
    const bool markRight = radio->layoutDirection() == Qt::RightToLeft;
    const int left = markRight ? client.right - size : client.left;
    const Box square = {left, top, left + size, top + size};
    fillBox(canvas, square, widgetBackground(radio));

    const Box circle = {square.left + 2, square.top + 2, square.right - 2, square.bottom - 2};
    const QColor outline = s.hot ? w.selectBorderColor : SkinColor(SystemColor::BtnShadow).resolved();
    const QColor fill = s.hot || s.focused ? w.selectColor : SkinColor(SystemColor::Window).resolved();
    ellipseBox(canvas, circle, outline, fill);
    if (radio->isChecked()) {
        const QColor dot =
            radio->isEnabled() ? SkinColor(SystemColor::Highlight).resolved() : w.disabledColor;
        ellipseBox(canvas, {circle.left + 2, circle.top + 2, circle.right - 2, circle.bottom - 2}, dot, dot);
    }
}

void paintGroupBoxFrame(QPainter &canvas, const QWidget *widget, const SkinLook &look)
{
    const auto *group = qobject_cast<const QGroupBox *>(widget);
    if (!group)
        return;
    const QColor colour = widgetBackground(group);
    const QFontMetrics metrics(group->font());
    const int th = metrics.height();
    Box frame = Box::fromRect(group->rect());
    frame = {frame.left + 1, frame.top + th / 2, frame.right - 1, frame.bottom - 1};
    frameBox(canvas, frame, colour);
    const QColor light = blendToWhite(colour, 60);
    const QColor dark = shadeDown(colour, 60);
    frame3D(canvas, frame, 1, group->isFlat() ? dark : light, dark);

    if (group->title().isEmpty())
        return;
    // The caption stands on the frame's top line, which shows on either side.
    const int tw = metrics.horizontalAdvance(group->title());
    const bool rightToLeft = group->layoutDirection() == Qt::RightToLeft;
    const int left = rightToLeft ? frame.right - 9 - tw : frame.left + 9;
    const Box caption = {left, 0, left + tw, th};
    fillBox(canvas, caption, parentColour(group));
    ItemText text;
    text.text = group->title();
    text.font = group->font();
    text.fontColor = group->palette().color(QPalette::WindowText);
    text.background = parentColour(group);
    text.rightToLeft = rightToLeft;
    text.enabled = group->isEnabled();
    drawItemText(canvas, caption, text, look);
}

} // namespace corvane
