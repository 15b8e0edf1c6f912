#include "widgets/menuskin.h"

#include "widgets/menuskinitem.h"
#include "widgets/menuskinstyle.h"

#include <QAction>
#include <QActionEvent>
#include <QMenu>
#include <QMenuBar>

namespace corvane {

namespace {

// A menu belongs to the form when the widget it hangs on is on the form's
// window; dialogs parented to the form have menus of their own.
bool onForm(const QWidget *menu, const QWidget *form)
{
    const QWidget *anchor = qobject_cast<const QMenu *>(menu) ? menu->parentWidget() : menu;
    return !anchor || anchor->window() == form->window();
}

// The pop-up menus of a form: its menus that are no other menu's sub-menu.
QList<QMenu *> popupMenus(const QWidget *form)
{
    QSet<const QMenu *> subMenus;
    const QList<QWidget *> widgets = form->findChildren<QWidget *>();
    for (const QWidget *widget : widgets) {
        if (!qobject_cast<const QMenu *>(widget) && !qobject_cast<const QMenuBar *>(widget))
            continue;
        const QList<QAction *> actions = widget->actions();
        for (const QAction *action : actions) {
            if (const QMenu *sub = action->menu())
                subMenus.insert(sub);
        }
    }
    QList<QMenu *> roots;
    const QList<QMenu *> menus = form->findChildren<QMenu *>();
    for (QMenu *menu : menus) {
        if (!subMenus.contains(menu) && onForm(menu, form))
            roots.append(menu);
    }
    return roots;
}

template <typename T> void remember(QList<QPointer<T>> &list, T *object)
{
    if (!list.contains(object))
        list.append(object);
}

} // namespace

void MenuSkin::applyHooks(bool refresh)
{
    if (!m_owner)
        return;
    QSet<const QWidget *> seen;
    if (m_controls & skMainMenu) {
        const QList<QMenuBar *> bars = m_owner->findChildren<QMenuBar *>();
        for (QMenuBar *bar : bars) {
            if (!hasSkipTag(bar) && onForm(bar, m_owner))
                hookMenu(bar, seen);
        }
    }
    if (m_controls & skPopupMenu) {
        const QList<QMenu *> menus = popupMenus(m_owner);
        for (QMenu *menu : menus)
            hookMenu(menu, seen);
    }
    hookControls(refresh);
    if (refresh) {
        for (const QPointer<QWidget> &menu : std::as_const(m_ownerDrawMenus)) {
            if (menu)
                OwnerDrawMenuStyle::refresh(menu);
        }
    }
}

void MenuSkin::removeHooks(bool refresh)
{
    unhookMenus();
    releaseControlHooks(refresh);
}

void MenuSkin::hookMenu(QWidget *menu, QSet<const QWidget *> &seen)
{
    if (seen.contains(menu))
        return;
    seen.insert(menu);
    OwnerDrawMenuStyle::setOwnerDraw(menu, true);
    menu->installEventFilter(this);
    remember(m_ownerDrawMenus, menu);
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions)
        hookItemTree(action, seen);
}

void MenuSkin::hookItemTree(QAction *item, QSet<const QWidget *> &seen)
{
    hookItem(item);
    if (QMenu *sub = item->menu())
        hookMenu(sub, seen);
}

void MenuSkin::hookItem(QAction *item)
{
    if (hasSkipTag(item) || hasSkipTag(item->menu()))
        return;
    if (!menuitem::drawEvent(item) || m_overrideOwnerDraw)
        menuitem::setDrawEvent(item, this);
    if (!menuitem::measureEvent(item) || m_overrideOwnerDraw)
        menuitem::setMeasureEvent(item, this);
    remember(m_hookedItems, item);
}

void MenuSkin::unhookMenus()
{
    for (const QPointer<QAction> &item : std::as_const(m_hookedItems)) {
        if (!item)
            continue;
        if (menuitem::drawEvent(item) == this)
            menuitem::setDrawEvent(item, nullptr);
        if (menuitem::measureEvent(item) == this)
            menuitem::setMeasureEvent(item, nullptr);
    }
    for (const QPointer<QWidget> &menu : std::as_const(m_ownerDrawMenus)) {
        if (!menu)
            continue;
        menu->removeEventFilter(this);
        OwnerDrawMenuStyle::setOwnerDraw(menu, false);
    }
    m_hookedItems.clear();
    m_ownerDrawMenus.clear();
}

void MenuSkin::redrawMenuBar()
{
    if (!m_owner)
        return;
    const QList<QMenuBar *> bars = m_owner->findChildren<QMenuBar *>();
    for (QMenuBar *bar : bars)
        OwnerDrawMenuStyle::refresh(bar);
}

bool MenuSkin::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ChildAdded && watched == m_owner)
        rehookAfterInsert(static_cast<QChildEvent *>(event)->child());
    else if (event->type() == QEvent::ActionAdded)
        rehookAfterInsert(static_cast<QActionEvent *>(event)->action());
    return MenuItemHandler::eventFilter(watched, event);
}

// A child is not fully built when it is announced, so what it is can only be
// told later; the queued check also folds a burst of inserts into one pass.
void MenuSkin::rehookAfterInsert(QObject *inserted)
{
    if (!m_active || !m_autoDetect)
        return;
    m_inserted.append(inserted);
    if (m_rehookPending)
        return;
    m_rehookPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_rehookPending = false;
            bool menuItem = false;
            for (const QPointer<QObject> &object : std::as_const(m_inserted))
                menuItem = menuItem || qobject_cast<QAction *>(object) || qobject_cast<QMenu *>(object);
            m_inserted.clear();
            if (menuItem && m_active && m_autoDetect)
                applyHooks(true);
        },
        Qt::QueuedConnection);
}

} // namespace corvane
