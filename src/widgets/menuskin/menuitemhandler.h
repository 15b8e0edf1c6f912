#pragma once

#include <QObject>

class QAction;
class QPainter;
class QRect;
class QWidget;

namespace corvane {

// The measure and draw events of owner-drawn menu items. A menu in owner-draw
// mode (see OwnerDrawMenuStyle) asks an item's handlers for its size and its
// drawing; items without them keep the style's own.
class MenuItemHandler : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // width and height come in as the menu's own idea of the item's content.
    virtual void measureItem(QAction *item, int &width, int &height) = 0;
    virtual void drawItem(QAction *item, QPainter &canvas, const QRect &rect, bool selected) = 0;

    // What surrounds the items of an owner-drawn menu: a drop-down menu's
    // frame, and the stretch of a menu bar or drop-down menu that no item
    // covers. Returning false leaves it to the menu's own style.
    virtual bool drawMenuFrame(const QWidget *menu, QPainter &canvas, const QRect &rect);
    virtual bool drawEmptyArea(const QWidget *menu, QPainter &canvas, const QRect &rect);
};

// The handlers an item was given; they live with the QAction and hold guarded
// pointers, so a destroyed handler reads as none.
namespace menuitem {

MenuItemHandler *drawEvent(const QAction *item);
MenuItemHandler *measureEvent(const QAction *item);
void setDrawEvent(QAction *item, MenuItemHandler *handler);
void setMeasureEvent(QAction *item, MenuItemHandler *handler);

} // namespace menuitem
} // namespace corvane
