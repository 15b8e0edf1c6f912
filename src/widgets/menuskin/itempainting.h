#pragma once

#include "widgets/drawing/canvas.h"

#include <QFont>
#include <QImage>
#include <QString>

class QPainter;

namespace corvane {

struct SkinLook;

// One caption to draw, for a menu item or a control.
struct ItemText
{
    QString text;     // "&" marks the access key
    QString shortcut; // drawn at the far end; empty for none
    QFont font;
    QColor fontColor;
    QColor background; // what the text stands on (the shades of a default item come from it)
    bool rightToLeft = false;
    bool bar = false;
    bool isDefault = false;
    bool enabled = true;
    bool selected = false;
};

void drawItemText(QPainter &canvas, Box rect, const ItemText &item, const SkinLook &look);

// Width of a caption as drawn: the "&" that marks the access key takes no room.
int captionWidth(const QFontMetrics &metrics, const QString &text);

// How the icon of a menu item or a button is shown.
struct IconState
{
    bool menuItem = true;
    bool rightToLeft = false;
    bool bar = false;
    bool checked = false;
    bool enabled = true;
    bool pressed = false; // always false for menus
    bool selected = false;
};

// Draws the picture (a per-drawing copy, converted in place) into the icon
// column: faded when idle, grayed when disabled, lifted with a shadow when
// selected. Its bottom-left pixel's colour is transparent.
void drawSkinIcon(QPainter &canvas, const Box &column, QImage picture, const IconState &state,
                  const SkinLook &look);

// `source` drawn on a picture of `size` filled with `background`. It is
// opaque, as drawSkinIcon leaves pixels out by colour, not by alpha.
QImage opaquePicture(const QPixmap &source, const QSize &size, const QColor &background);

} // namespace corvane
