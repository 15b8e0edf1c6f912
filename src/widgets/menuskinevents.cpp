#include "widgets/menuskinevents.h"

#include <QAction>
#include <QPointer>
#include <QVariant>

namespace corvane {

bool MenuItemHandler::MenuDrawFrame(const QWidget *, QPainter &, const QRect &)
{
    return false;
}

bool MenuItemHandler::MenuDrawEmptyArea(const QWidget *, QPainter &, const QRect &)
{
    return false;
}

} // namespace corvane

namespace corvane::menuitem {

namespace {

const char *const drawProperty = "OnDrawItem";
const char *const measureProperty = "OnMeasureItem";

MenuItemHandler *handler(const QAction *item, const char *name)
{
    return qobject_cast<MenuItemHandler *>(item->property(name).value<QPointer<QObject>>().data());
}

void setHandler(QAction *item, const char *name, MenuItemHandler *h)
{
    item->setProperty(name, h ? QVariant::fromValue(QPointer<QObject>(h)) : QVariant());
}

} // namespace

MenuItemHandler *drawEvent(const QAction *item)
{
    return handler(item, drawProperty);
}

MenuItemHandler *measureEvent(const QAction *item)
{
    return handler(item, measureProperty);
}

void setDrawEvent(QAction *item, MenuItemHandler *h)
{
    setHandler(item, drawProperty, h);
}

void setMeasureEvent(QAction *item, MenuItemHandler *h)
{
    setHandler(item, measureProperty, h);
}

} // namespace corvane::menuitem
