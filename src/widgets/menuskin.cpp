#include "widgets/menuskin.h"

#include "widgets/menudrawing.h"
#include "widgets/menudrawingmarks.h"
#include "widgets/menuskinitem.h"

#include <QAction>
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
    m_colors.MenuBarColor = c;
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

void MenuSkin::setHookedSet(unsigned &set, unsigned value)
{
    if (value == set)
        return;
    if (m_active)
        removeHooks(true);
    set = value;
    if (m_active)
        applyHooks(true);
}

void MenuSkin::setSkinContainers(unsigned value)
{
    setHookedSet(m_containers, value);
}

void MenuSkin::setSkinControls(unsigned value)
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

SkinLook MenuSkin::properties() const
{
    SkinLook l;
    l.font = m_font;
    l.fontColor = m_fontColor.resolved();
    l.menuBarProperty = m_colors.MenuBarColor;
    l.IconWidth = m_iconWidth;
    l.DimLevel = m_dimLevel;
    l.GrayLevel = m_grayLevel;
    l.DrawSelect = m_drawSelect;
    l.Gradient = m_gradient;
    l.FlatMenu = m_flatMenu;
    l.UseSystemColors = m_useSystemColors;
    return l;
}

SkinLook MenuSkin::look(const QPaintDevice *device)
{
    const bool deepColor = !device || device->depth() >= 16;
    if (m_useSystemColors) {
        m_font = QApplication::font("QMenu");
        m_fontColor = SystemColor::MenuText;
    }
    SkinLook l = properties();
    l.colors = computeWorkingColors(m_colors, m_useSystemColors, deepColor);
    return l;
}

void MenuSkin::MenuMeasureItem(QAction *item, int &width, int &height)
{
    if (!m_active || !item)
        return;
    MenuItemView view;
    view.caption = menuitem::caption(item);
    view.shortcut = menuitem::shortcutText(item);
    view.bar = menuitem::isBarItem(item);
    const QSize size = measureMenuItem(view, menuitem::pictureSize(item), QSize(width, height), properties());
    width = size.width();
    height = size.height();
}

void MenuSkin::MenuDrawItem(QAction *item, QPainter &canvas, const QRect &rect, bool selected)
{
    if (!m_active || !item)
        return;
    const SkinLook l = look(canvas.device());
    MenuItemView view;
    view.caption = menuitem::caption(item);
    view.shortcut = menuitem::shortcutText(item);
    view.bar = menuitem::isBarItem(item);
    view.picture = menuitem::picture(item, view.bar ? l.colors.MenuBarColor : l.colors.IconBackColor);
    view.enabled = item->isEnabled();
    view.checked = item->isCheckable() && item->isChecked();
    view.radio = item->actionGroup() && item->actionGroup()->isExclusive();
    view.selected = selected;
    view.rightToLeft = menuitem::isRightToLeft(item);
    drawMenuItem(canvas, rect, view, l);
    if (l.FlatMenu && !view.bar) {
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

bool MenuSkin::MenuDrawFrame(const QWidget *, QPainter &canvas, const QRect &rect)
{
    if (!m_active)
        return false;
    // A drop-down menu stands out from the window below it. The flat menu's
    // own frame and shadow, painted with its items, take this ring in.
    const SkinLook l = look(canvas.device());
    if (!l.FlatMenu)
        frameBox(canvas, Box::fromRect(rect), l.colors.PopupFrameColor);
    return true;
}

bool MenuSkin::MenuDrawEmptyArea(const QWidget *menu, QPainter &canvas, const QRect &rect)
{
    if (!m_active)
        return false;
    const SkinLook l = look(canvas.device());
    const Box area = Box::fromRect(rect);
    if (qobject_cast<const QMenuBar *>(menu)) {
        fillBox(canvas, area, l.colors.MenuBarColor);
        return true;
    }
    // The icon column runs on inside the one-pixel frame.
    fillBox(canvas, area, l.colors.Color);
    const bool rightToLeft = menu->layoutDirection() == Qt::RightToLeft;
    fillBox(canvas,
            rightToLeft ? Box{area.R - 1 - l.IconWidth, area.T, area.R - 1, area.B}
                        : Box{area.L + 1, area.T, area.L + 1 + l.IconWidth, area.B},
            l.colors.IconBackColor);
    return true;
}

} // namespace corvane
