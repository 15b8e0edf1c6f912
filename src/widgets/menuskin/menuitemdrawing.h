#pragma once

#include "widgets/drawing/canvas.h"

#include <QImage>
#include <QSize>
#include <QString>

class QPainter;

namespace corvane {

struct SkinLook;

// One menu item as the skin draws it.
struct MenuItemView
{
    QString caption; // "-" for a separator
    QString shortcut;
    QImage picture; // a per-drawing copy; null for none
    bool bar = false;
    bool enabled = true;
    bool checked = false;
    bool radio = false;
    bool selected = false;
    bool rightToLeft = false;
};

// Draws the item into the rectangle the menu gives it.
void drawMenuItem(QPainter &canvas, const QRect &rect, const MenuItemView &item, const SkinLook &look);

// The size the item asks for: `asked` raised to what the caption, shortcut
// and picture need (a separator asks for a height of 4).
QSize measureMenuItem(const MenuItemView &item, QSize pictureSize, QSize asked, const SkinLook &look);

struct CheckState
{
    bool radio = false;
    bool hasPicture = false;
    bool enabled = true;
    bool selected = false;
};

// The check mark of a checked item, into its icon box.
void drawCheckMark(QPainter &canvas, const Box &box, const CheckState &state, const SkinLook &look);

// The highlight of a selected menu-bar item: a box open at the bottom, where
// the drop-down menu joins it, with a soft shadow at its right.
void drawBarHighlight(QPainter &canvas, const Box &item, bool rightToLeft, const SkinLook &look);

// One-pixel stripes from the icon column's colour towards white.
void drawGradient(QPainter &canvas, const Box &item, bool rightToLeft, const SkinLook &look);

// The flat frame of a pop-up menu window over its outer rectangle: a
// one-pixel frame, the ring inside it in the menu's colours, and a two-pixel
// shadow at the right and bottom.
void drawPopupFrame(QPainter &canvas, const Box &window, bool rightToLeft, const SkinLook &look);

} // namespace corvane
