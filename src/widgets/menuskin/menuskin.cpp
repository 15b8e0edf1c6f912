#include "widgets/menuskin/menuskin.h"

#include "widgets/controlframes/controlhook.h"
#include "widgets/imagelist.h"
#include "widgets/menuskin/menuitem.h"
#include "widgets/menuskin/menuitemdrawing.h"
#include "widgets/menuskin/ownerdrawmenustyle.h"

#include <QAction>
#include <QActionEvent>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPaintDevice>
#include <QPainter>

namespace corvane {

MenuSkin::MenuSkin(QWidget *owner)
    : MenuItemHandler(owner), m_owner(owner), m_font(QApplication::font("QMenu"))
{
    if (owner)
        owner->installEventFilter(this);
}

MenuSkin::~MenuSkin()
{
    removeHooks(false);
}

void MenuSkin::setFont(const QFont &font)
{
    m_font = font;
    redrawMenuBar();
}

void MenuSkin::setMenuBarColor(const SkinColor &c)
{
    m_colors.menuBarColor = c;
    redrawMenuBar();
}

void MenuSkin::setUseSystemColors(bool on)
{
    m_useSystemColors = on;
    redrawMenuBar();
}

void MenuSkin::setOverrideOwnerDraw(bool on)
{
    m_overrideOwnerDraw = on;
    if (m_active)
        applyHooks(true);
}

template <typename Set> void MenuSkin::setHookedSet(Set &set, Set value)
{
    if (value == set)
        return;
    if (m_active)
        removeHooks(true);
    set = value;
    if (m_active)
        applyHooks(true);
}

void MenuSkin::setSkinContainers(SkinContainers value)
{
    setHookedSet(m_containers, value);
}

void MenuSkin::setSkinControls(SkinControls value)
{
    setHookedSet(m_controls, value);
}

void MenuSkin::setActive(bool on)
{
    if (on == m_active)
        return;
    m_active = on;
    if (on)
        applyHooks(true);
    else
        removeHooks(true);
    redrawMenuBar();
}

void MenuSkin::setMenuImages(QWidget *menu, ImageList *images)
{
    m_menuImages.insert(menu, images);
    connect(menu, &QObject::destroyed, this, [this, menu] { m_menuImages.remove(menu); });
}

void MenuSkin::keepOwnLook(QObject *object)
{
    if (!keepsOwnLook(object))
        m_ownLook.append(object);
}

bool MenuSkin::keepsOwnLook(const QObject *object) const
{
    return object && std::any_of(m_ownLook.begin(), m_ownLook.end(),
                                 [object](const QPointer<QObject> &kept) { return kept == object; });
}

void MenuSkin::setGlyphButton(QWidget *button)
{
    if (!m_glyphButtons.contains(button))
        m_glyphButtons.append(button);
    if (ControlHook *hook = m_hooks.value(button))
        hook->setKind(kindOf(button));
}

ControlKind MenuSkin::kindOf(const QWidget *control) const
{
    const bool glyphButton = std::any_of(m_glyphButtons.begin(), m_glyphButtons.end(),
                                         [control](const QPointer<QWidget> &b) { return b == control; });
    return controlKind(control, glyphButton);
}

// Walks up from the item through the sub-menu items to the first menu that
// was given an image list; `seen` stops a menu that contains itself.
ImageList *MenuSkin::imagesAbove(const QAction *item, QSet<const QAction *> &seen) const
{
    if (!item || seen.contains(item))
        return nullptr;
    seen.insert(item);
    for (QWidget *menu : menuitem::menusOf(item)) {
        if (ImageList *list = m_menuImages.value(menu))
            return list;
        if (auto *popup = qobject_cast<QMenu *>(menu)) {
            if (ImageList *list = imagesAbove(popup->menuAction(), seen))
                return list;
        }
    }
    return nullptr;
}

ImageList *MenuSkin::imagesOf(const QAction *item) const
{
    QSet<const QAction *> seen;
    return imagesAbove(item, seen);
}

SkinLook MenuSkin::settingsLook() const
{
    SkinLook l;
    l.font = m_font;
    l.fontColor = m_fontColor.resolved();
    l.menuBarSetting = m_colors.menuBarColor;
    l.iconWidth = m_iconWidth;
    l.dimLevel = m_dimLevel;
    l.grayLevel = m_grayLevel;
    l.drawSelect = m_drawSelect;
    l.gradient = m_gradient;
    l.flatMenu = m_flatMenu;
    l.useSystemColors = m_useSystemColors;
    return l;
}

SkinLook MenuSkin::look(const QPaintDevice *device)
{
    const bool deepColor = !device || device->depth() >= 16;
    if (m_useSystemColors) {
        m_font = QApplication::font("QMenu");
        m_fontColor = SystemColor::MenuText;
    }
    SkinLook l = settingsLook();
    l.colors = computeWorkingColors(m_colors, m_useSystemColors, deepColor);
    return l;
}

void MenuSkin::measureItem(QAction *item, int &width, int &height)
{
    if (!m_active || !item)
        return;
    MenuItemView view;
    view.caption = menuitem::caption(item);
    view.shortcut = menuitem::shortcutText(item);
    view.bar = menuitem::isBarItem(item);
    const QSize size = measureMenuItem(view, menuitem::pictureSize(item, imagesOf(item)),
                                       QSize(width, height), settingsLook());
    width = size.width();
    height = size.height();
}

void MenuSkin::drawItem(QAction *item, QPainter &canvas, const QRect &rect, bool selected)
{
    if (!m_active || !item)
        return;
    const SkinLook l = look(canvas.device());
    MenuItemView view;
    view.caption = menuitem::caption(item);
    view.shortcut = menuitem::shortcutText(item);
    view.bar = menuitem::isBarItem(item);
    view.picture =
        menuitem::picture(item, imagesOf(item), view.bar ? l.colors.menuBarColor : l.colors.iconBackColor);
    view.enabled = item->isEnabled();
    view.checked = item->isCheckable() && item->isChecked();
    view.radio = item->actionGroup() && item->actionGroup()->isExclusive();
    view.selected = selected;
    view.rightToLeft = menuitem::isRightToLeft(item);
    drawMenuItem(canvas, rect, view, l);
    if (l.flatMenu && !view.bar) {
        // Painted on the pop-up menu's own surface, beyond this item's clip.
        if (auto *menu = qobject_cast<QMenu *>(dynamic_cast<QWidget *>(canvas.device()))) {
            canvas.save();
            canvas.setClipping(false);
            drawPopupFrame(canvas, Box::fromRect(menu->rect()), view.rightToLeft, l);
            canvas.restore();
        }
    }

    // Items added to this menu at run time are picked up here.
    QSet<const QWidget *> seen;
    for (QObject *object : item->associatedObjects()) {
        if (auto *menu = qobject_cast<QWidget *>(object)) {
            const QList<QAction *> siblings = menu->actions();
            for (QAction *sibling : siblings)
                hookItemTree(sibling, seen);
        }
    }
}

bool MenuSkin::drawMenuFrame(const QWidget *, QPainter &canvas, const QRect &rect)
{
    if (!m_active)
        return false;
    // A drop-down menu stands out from the window below it. The flat menu's
    // own frame and shadow, painted with its items, take this ring in.
    const SkinLook l = look(canvas.device());
    if (!l.flatMenu)
        frameBox(canvas, Box::fromRect(rect), l.colors.popupFrameColor);
    return true;
}

bool MenuSkin::drawEmptyArea(const QWidget *menu, QPainter &canvas, const QRect &rect)
{
    if (!m_active)
        return false;
    const SkinLook l = look(canvas.device());
    const Box area = Box::fromRect(rect);
    if (qobject_cast<const QMenuBar *>(menu)) {
        fillBox(canvas, area, l.colors.menuBarColor);
        return true;
    }
    // The icon column runs on inside the one-pixel frame.
    fillBox(canvas, area, l.colors.menuColor);
    const bool rightToLeft = menu->layoutDirection() == Qt::RightToLeft;
    fillBox(canvas,
            rightToLeft ? Box{area.right - 1 - l.iconWidth, area.top, area.right - 1, area.bottom}
                        : Box{area.left + 1, area.top, area.left + 1 + l.iconWidth, area.bottom},
            l.colors.iconBackColor);
    return true;
}

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
    if (m_controls & SkinControl::MainMenu) {
        const QList<QMenuBar *> bars = m_owner->findChildren<QMenuBar *>();
        for (QMenuBar *bar : bars) {
            if (!keepsOwnLook(bar) && onForm(bar, m_owner))
                hookMenu(bar, seen);
        }
    }
    if (m_controls & SkinControl::PopupMenu) {
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
    if (keepsOwnLook(item) || keepsOwnLook(item->menu()))
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

void MenuSkin::hookControls(bool refresh)
{
    if (!m_owner)
        return;
    const QList<QWidget *> widgets = m_owner->findChildren<QWidget *>();
    for (QWidget *control : widgets) {
        if (keepsOwnLook(control) || keepsOwnLook(control->parentWidget()))
            continue;
        const ControlKind kind = kindOf(control);
        if (!qualifiesForFrame(control, kind, m_owner, m_controls, m_containers))
            continue;
        if (!m_hooks.contains(control))
            m_hooks.insert(control, new ControlHook(*this, control, kind));
        if (refresh)
            control->update();
    }
}

// The hooks end themselves at their controls' next event; repainting makes
// sure there is one.
void MenuSkin::releaseControlHooks(bool refresh)
{
    if (!refresh)
        return;
    for (ControlHook *hook : std::as_const(m_hooks)) {
        if (QWidget *control = hook->control())
            control->update();
    }
}

} // namespace corvane
