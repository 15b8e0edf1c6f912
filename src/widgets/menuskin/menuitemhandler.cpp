#include "widgets/menuskin/menuitemhandler.h"

#include <QAction>
#include <QPointer>

namespace corvane {

bool MenuItemHandler::drawMenuFrame(const QWidget *, QPainter &, const QRect &)
{
    return false;
}

bool MenuItemHandler::drawEmptyArea(const QWidget *, QPainter &, const QRect &)
{
    return false;
}

} // namespace corvane

namespace corvane::menuitem {

namespace {

// Kept as a child of the QAction, so it goes with it.
class ItemHandlers : public QObject
{
public:
    using QObject::QObject;
    QPointer<MenuItemHandler> draw;
    QPointer<MenuItemHandler> measure;
};

ItemHandlers *handlersOf(const QAction *item)
{
    return item->findChild<ItemHandlers *>(QString(), Qt::FindDirectChildrenOnly);
}

ItemHandlers &ensureHandlers(QAction *item)
{
    ItemHandlers *handlers = handlersOf(item);
    return handlers ? *handlers : *new ItemHandlers(item);
}

} // namespace

MenuItemHandler *drawEvent(const QAction *item)
{
    const ItemHandlers *handlers = handlersOf(item);
    return handlers ? handlers->draw.data() : nullptr;
}

MenuItemHandler *measureEvent(const QAction *item)
{
    const ItemHandlers *handlers = handlersOf(item);
    return handlers ? handlers->measure.data() : nullptr;
}

void setDrawEvent(QAction *item, MenuItemHandler *handler)
{
    ensureHandlers(item).draw = handler;
}

void setMeasureEvent(QAction *item, MenuItemHandler *handler)
{
    ensureHandlers(item).measure = handler;
}

} // namespace corvane::menuitem
