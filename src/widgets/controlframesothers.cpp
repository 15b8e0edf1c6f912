#include "widgets/controlframespainters.h"

#include "widgets/facedrawing.h"
#include "widgets/menudrawingtext.h"
#include "widgets/menuskinlook.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QPainter>
#include <QRadioButton>
#include <QStyle>

namespace corvane {

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
        border = w.SelectBorderColor;
    else if (s.focused)
        border = BlendToWhite(w.SelectBorderColor, 60);

    const Box r = Box::fromRect(combo->rect());
    const QColor parent = parentColour(combo);
    frameBox(canvas, r, parent);
    polyline(canvas, parent, {{r.L + 1, r.T + 1}, {r.R - 1, r.T + 1}});
    frameBox(canvas, {r.L + 1, r.T + 1, r.R - 1, r.B - 1}, colour);
    frameBox(canvas, {r.L + 1, r.T + 1, r.R - 1, r.B}, border);

    // The drop-down button on the far side.
    const bool rightToLeft = combo->layoutDirection() == Qt::RightToLeft;
    const int width = thumbWidth(combo) + 1;
    Box button = rightToLeft ? Box{r.L + 2, r.T + 2, r.L + 2 + width, r.B - 2}
                             : Box{r.R - 2 - width, r.T + 2, r.R - 2, r.B - 2};
    QColor fill = SkinColor(SystemColor::BtnFace).resolved();
    if (droppedDown)
        fill = w.BoxFillSelected;
    else if (s.hot)
        fill = w.SelectColor;
    else if (s.focused)
        fill = w.BoxFill;
    fillBox(canvas, button, fill);
    const Box strip = rightToLeft ? Box{button.R - 5, button.T, button.R, button.B}
                                  : Box{button.L, button.T, button.L + 5, button.B};
    fillBox(canvas, strip, colour);
    const int edgeX = rightToLeft ? strip.L : strip.R;
    polyline(canvas, border, {{edgeX, button.T}, {edgeX, button.B}});
    if (rightToLeft)
        button.R = strip.L;
    else
        button.L = strip.R;

    const QColor arrow = droppedDown || disabled ? QColor(Qt::white) : QColor(Qt::black);
    const int centre = button.L + button.width() / 2;
    for (int row = 0; row < 3; ++row) {
        const int half = 2 - row;
        const int y = r.T + 10 + row;
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
    const int top = client.T + 4 + (client.height() - 8 - size) / 2;
    // The mark stands where the platform puts it: at the start of the
    // reading direction.
    const bool markRight = radio->layoutDirection() == Qt::RightToLeft;
    const int left = markRight ? client.R - size : client.L;
    const Box square = {left, top, left + size, top + size};
    fillBox(canvas, square, WidgetBackground(radio));

    const Box circle = {square.L + 2, square.T + 2, square.R - 2, square.B - 2};
    const QColor outline = s.hot ? w.SelectBorderColor : SkinColor(SystemColor::BtnShadow).resolved();
    const QColor fill = s.hot || s.focused ? w.SelectColor : SkinColor(SystemColor::Window).resolved();
    ellipseBox(canvas, circle, outline, fill);
    if (radio->isChecked()) {
        const QColor dot =
            radio->isEnabled() ? SkinColor(SystemColor::Highlight).resolved() : w.DisabledColor;
        ellipseBox(canvas, {circle.L + 2, circle.T + 2, circle.R - 2, circle.B - 2}, dot, dot);
    }
}

void paintGroupBoxFrame(QPainter &canvas, const QWidget *widget, const SkinLook &look)
{
    const auto *group = qobject_cast<const QGroupBox *>(widget);
    if (!group)
        return;
    const QColor colour = WidgetBackground(group);
    const QFontMetrics metrics(group->font());
    const int th = metrics.height();
    Box frame = Box::fromRect(group->rect());
    frame = {frame.L + 1, frame.T + th / 2, frame.R - 1, frame.B - 1};
    frameBox(canvas, frame, colour);
    const QColor light = BlendToWhite(colour, 60);
    const QColor dark = ShadeDown(colour, 60);
    frame3D(canvas, frame, 1, group->isFlat() ? dark : light, dark);

    if (group->title().isEmpty())
        return;
    // The caption stands on the frame's top line, which shows on either side.
    const int tw = metrics.horizontalAdvance(group->title());
    const bool rightToLeft = group->layoutDirection() == Qt::RightToLeft;
    const int left = rightToLeft ? frame.R - 9 - tw : frame.L + 9;
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
