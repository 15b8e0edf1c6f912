#include "widgets/controlframespainters.h"

#include "widgets/facedrawing.h"
#include "widgets/menudrawingicon.h"
#include "widgets/menudrawingtext.h"
#include "widgets/menuskinlook.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

namespace corvane {

namespace {

struct ButtonLayout
{
    Box glyph;
    Box text;
};

// The bit button's glyph and caption places. `Layout` (a TButtonLayout) and
// `Spacing` may be set as properties of the button; a button's defaults are
// glyph left and 4.
// A speed button mirrors the glyph side for right-to-left reading.
ButtonLayout bitButtonLayout(const QAbstractButton &button, QSize glyphSize, int tw, int th, bool mirror)
{
    const QVariant layoutProperty = button.property("Layout");
    int layout = layoutProperty.isValid() ? layoutProperty.toInt() : blGlyphLeft;
    if (mirror && layout == blGlyphLeft)
        layout = blGlyphRight;
    else if (mirror && layout == blGlyphRight)
        layout = blGlyphLeft;
    const QVariant spacingProperty = button.property("Spacing");
    int sp = spacingProperty.isValid() ? spacingProperty.toInt() : 4;
    if (button.text().trimmed().isEmpty())
        sp = 0;
    const int cw = button.width();
    const int ch = button.height();
    const int gw = glyphSize.width();
    const int gh = glyphSize.height();
    ButtonLayout l;
    switch (layout) {
    case blGlyphRight: {
        const int m = (cw + gw + sp + tw) / 2;
        const int gy = (ch - gh) / 2;
        l.glyph = {m - gw, gy, m, gy + gh};
        l.text = {m - sp - gw - tw, 0, m - sp - gw, ch};
        break;
    }
    case blGlyphTop: {
        const int gx = (cw - gw) / 2;
        const int gy = (ch - th - gh - sp) / 2;
        l.glyph = {gx, gy, gx + gw, gy + gh};
        const int tx = (cw - tw) / 2;
        l.text = {tx, gy + gh + sp, tx + tw, gy + gh + sp + th};
        break;
    }
    case blGlyphBottom: {
        const int gx = (cw - gw) / 2;
        const int m = (ch + th + gh + sp) / 2;
        l.glyph = {gx, m - gh, gx + gw, m};
        const int tx = (cw - tw) / 2;
        l.text = {tx, m - sp - gh - th, tx + tw, m - sp - gh};
        break;
    }
    default: {
        const int gx = (cw - gw - sp - tw) / 2;
        const int gy = (ch - gh) / 2;
        l.glyph = {gx, gy, gx + gw, gy + gh};
        l.text = {gx + gw + sp, 0, gx + gw + sp + tw, ch};
        break;
    }
    }
    return l;
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
    const bool speed = frameKind == ButtonFrameKind::Speed;
    // A speed button's `Down` is its checked state; a flat one (auto-raise)
    // shows its frame only when hot or down.
    const bool down = speed && button->isChecked();
    const auto *tool = qobject_cast<const QToolButton *>(button);
    const bool framed = !(tool && tool->autoRaise()) || s.hot || down;

    const bool lit = s.hot || s.spaceDown;
    QColor face = lit ? BlendToWhite(SystemColor::BtnFace, 60) : w.IconBackColor;
    if (down)
        face = s.hot ? w.BoxFillSelected : w.BoxFill;
    const QColor edge = lit || s.focused ? BlendToWhite(w.SelectBorderColor, 60)
                                         : SkinColor(SystemColor::BtnShadow).resolved();

    const Box r = Box::fromRect(button->rect());
    fillBox(canvas, r, parentColour(button));
    if (framed) {
        roundedBox(canvas, r, 4, BlendToWhite(edge, 30), face);
        if (button->isEnabled()) {
            const QColor line = ShadeDown(edge, 50);
            if ((s.mouseDown && s.hot) || s.spaceDown || down)
                polyline(canvas, line, {{r.L, r.B - 2}, {r.L, r.T + 1}, {r.L + 1, r.T}, {r.R - 1, r.T}});
            else
                polyline(canvas, line,
                         {{r.R - 1, r.T + 1}, {r.R - 1, r.B - 2}, {r.R - 2, r.B - 1}, {r.L, r.B - 1}});
        }
    }

    const bool rightToLeft = button->layoutDirection() == Qt::RightToLeft;
    const QFontMetrics metrics(button->font());
    const int tw = metrics.horizontalAdvance(button->text());
    const int th = metrics.height();
    Box text = {(r.width() - tw) / 2, r.T, r.R, r.B};
    if (frameKind != ButtonFrameKind::Plain) {
        const QImage glyph = glyphPicture(*button, face);
        const ButtonLayout layout = bitButtonLayout(*button, glyph.size(), tw, th, speed && rightToLeft);
        text = layout.text;
        IconState icon;
        icon.menuItem = false;
        icon.enabled = button->isEnabled();
        icon.pressed = s.focused;
        icon.selected = s.hot;
        drawSkinIcon(canvas, layout.glyph, glyph, icon, look);
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

} // namespace corvane
