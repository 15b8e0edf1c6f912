#include "widgets/menuskin/ownerdrawmenustyle.h"

#include "widgets/menuskin/menuitem.h"
#include "widgets/menuskin/menuitemhandler.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStyleOptionMenuItem>

namespace corvane {

namespace {

QRect geometryOf(const QWidget *menu, QAction *item)
{
    if (auto *popup = qobject_cast<const QMenu *>(menu))
        return popup->actionGeometry(item);
    if (auto *bar = qobject_cast<const QMenuBar *>(menu))
        return bar->actionGeometry(item);
    return {};
}

// The style option does not name its action: find it among the menu's
// actions by caption and kind, and while painting (when the layout is
// settled and may be asked for) by its rectangle too.
QAction *actionFor(const QStyleOptionMenuItem *option, const QWidget *menu, bool painting)
{
    if (!menu)
        return nullptr;
    const bool separator = option->menuItemType == QStyleOptionMenuItem::Separator;
    const QString caption = menuitem::splitAtTab(option->text).before;
    QAction *byCaption = nullptr;
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions) {
        if (!action->isVisible() || action->isSeparator() != separator ||
            menuitem::splitAtTab(action->text()).before != caption)
            continue;
        if (painting && geometryOf(menu, action) == option->rect)
            return action;
        if (!byCaption)
            byCaption = action;
    }
    return byCaption;
}

// The handler that draws the menu's items, if any does.
MenuItemHandler *menuHandler(const QWidget *menu)
{
    if (!menu)
        return nullptr;
    const QList<QAction *> actions = menu->actions();
    for (const QAction *action : actions) {
        if (MenuItemHandler *handler = menuitem::drawEvent(action))
            return handler;
    }
    return nullptr;
}

} // namespace

OwnerDrawMenuStyle *OwnerDrawMenuStyle::instance()
{
    static QPointer<OwnerDrawMenuStyle> style;
    if (!style) {
        style = new OwnerDrawMenuStyle;
        style->setParent(qApp);
    }
    return style;
}

bool OwnerDrawMenuStyle::isOwnerDraw(const QWidget *menu)
{
    return menu->style() == instance();
}

void OwnerDrawMenuStyle::setOwnerDraw(QWidget *menu, bool on)
{
    if (on == isOwnerDraw(menu))
        return;
    if (on) {
        QStyle *own = menu->testAttribute(Qt::WA_SetStyle) ? menu->style() : nullptr;
        OwnerDrawMenuStyle *style = instance();
        style->m_ownStyles.insert(menu, own);
        connect(menu, &QObject::destroyed, style, [style, menu] { style->m_ownStyles.remove(menu); });
        menu->setStyle(style);
    } else {
        OwnerDrawMenuStyle *style = instance();
        QStyle *own = style->m_ownStyles.take(menu);
        disconnect(menu, &QObject::destroyed, style, nullptr);
        menu->setStyle(own);
    }
}

void OwnerDrawMenuStyle::refresh(QWidget *menu)
{
    QEvent styleChange(QEvent::StyleChange);
    QCoreApplication::sendEvent(menu, &styleChange);
    menu->update();
}

int OwnerDrawMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                                    const QWidget *widget) const
{
    switch (metric) {
    case PM_MenuPanelWidth:
    case PM_MenuHMargin:
    case PM_MenuVMargin:
    case PM_MenuBarPanelWidth:
    case PM_MenuBarHMargin:
    case PM_MenuBarVMargin:
        if (menuHandler(widget))
            return metric == PM_MenuPanelWidth ? 1 : 0;
        break;
    default:
        break;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

void OwnerDrawMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                       QPainter *painter, const QWidget *widget) const
{
    if (element == PE_FrameMenu) {
        if (MenuItemHandler *handler = menuHandler(widget);
            handler && handler->drawMenuFrame(widget, *painter, option->rect))
            return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void OwnerDrawMenuStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                     const QWidget *widget) const
{
    if (element == CE_MenuBarEmptyArea || element == CE_MenuEmptyArea) {
        if (MenuItemHandler *handler = menuHandler(widget);
            handler && handler->drawEmptyArea(widget, *painter, option->rect))
            return;
    }
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!item || (element != CE_MenuItem && element != CE_MenuBarItem))
        return QProxyStyle::drawControl(element, option, painter, widget);
    QAction *action = actionFor(item, widget, true);
    MenuItemHandler *handler = action ? menuitem::drawEvent(action) : nullptr;
    if (!handler)
        return QProxyStyle::drawControl(element, option, painter, widget);

    // A bar item counts as selected while its menu is dropped down, and while
    // the keyboard is on the bar (after Alt), so the user sees where it is; an
    // item merely under the pointer is not highlighted.
    const bool selected = element == CE_MenuBarItem
                              ? item->state.testFlag(State_Sunken) ||
                                    (item->state.testFlag(State_Selected) && widget && widget->hasFocus())
                              : item->state.testFlag(State_Selected);
    handler->drawItem(action, *painter, item->rect, selected);

    if (element == CE_MenuItem && item->menuItemType == QStyleOptionMenuItem::SubMenu) {
        QStyleOption arrow = *option;
        const int size = item->rect.height() / 2;
        const bool rtl = item->direction == Qt::RightToLeft;
        arrow.rect = QRect(rtl ? item->rect.left() + 4 : item->rect.right() - size - 4,
                           item->rect.top() + (item->rect.height() - size) / 2, size, size);
        QProxyStyle::drawPrimitive(rtl ? PE_IndicatorArrowLeft : PE_IndicatorArrowRight, &arrow, painter,
                                   widget);
    }
}

QSize OwnerDrawMenuStyle::sizeFromContents(ContentsType type, const QStyleOption *option,
                                           const QSize &contentsSize, const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!item || (type != CT_MenuItem && type != CT_MenuBarItem))
        return QProxyStyle::sizeFromContents(type, option, contentsSize, widget);
    QAction *action = actionFor(item, widget, false);
    MenuItemHandler *handler = action ? menuitem::measureEvent(action) : nullptr;
    if (!handler)
        return QProxyStyle::sizeFromContents(type, option, contentsSize, widget);

    int width = contentsSize.width();
    int height = contentsSize.height();
    handler->measureItem(action, width, height);
    if (type == CT_MenuItem) {
        // As owner-drawn menus do elsewhere, a drop-down item gets room for a
        // check mark beyond the width it asks for.
        width += QProxyStyle::pixelMetric(PM_IndicatorWidth, option, widget);
        // QMenu adds its own shortcut column after measuring; the handler's
        // width already holds the shortcut, so that column's share is left out.
        const menuitem::TabParts parts = menuitem::splitAtTab(item->text);
        if (parts.tabbed)
            width -= widget->fontMetrics().horizontalAdvance(parts.after);
    }
    return QSize(std::max(width, 0), height);
}

} // namespace corvane
