#pragma once

#include "widgets/menudrawingcanvas.h"

#include <QImage>

class QPainter;
class QPixmap;

namespace corvane {

struct SkinLook;

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
