#pragma once

#include "widgets/menudrawingcanvas.h"

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

} // namespace corvane
