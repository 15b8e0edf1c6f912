#pragma once

#include "widgets/menudrawingcanvas.h"

#include <QFont>
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

} // namespace corvane
