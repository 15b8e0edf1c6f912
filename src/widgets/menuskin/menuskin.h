#pragma once

#include "widgets/controlframes/controlkind.h"
#include "widgets/menuskin/menuitemhandler.h"
#include "widgets/menuskin/skinlook.h"

#include <QFont>
#include <QHash>
#include <QPointer>
#include <QSet>

#include <algorithm>

class QPaintDevice;
class QWidget;

namespace corvane {

class ControlHook;
class ImageList;

// The flat look of a form: while active it measures and draws the items of
// the form's menu bar and pop-up menus, and paints flat frames over its edit
// boxes, buttons and panels (controlframes/). Owned by the form it styles.
class MenuSkin : public MenuItemHandler
{
    Q_OBJECT
public:
    explicit MenuSkin(QWidget *owner);
    ~MenuSkin() override;

    int dimLevel() const { return m_dimLevel; }
    void setDimLevel(int value) { m_dimLevel = value; }
    int grayLevel() const { return m_grayLevel; }
    void setGrayLevel(int value) { m_grayLevel = value; }
    QFont font() const { return m_font; }
    void setFont(const QFont &font);
    SkinColor fontColor() const { return m_fontColor; }
    void setFontColor(const SkinColor &colour) { m_fontColor = colour; }
    SkinColor menuColor() const { return m_colors.menuColor; }
    void setMenuColor(const SkinColor &c) { m_colors.menuColor = c; }
    SkinColor iconBackColor() const { return m_colors.iconBackColor; }
    void setIconBackColor(const SkinColor &c) { m_colors.iconBackColor = c; }
    SkinColor menuBarColor() const { return m_colors.menuBarColor; }
    void setMenuBarColor(const SkinColor &c);
    SkinColor selectColor() const { return m_colors.selectColor; }
    void setSelectColor(const SkinColor &c) { m_colors.selectColor = c; }
    SkinColor selectBorderColor() const { return m_colors.selectBorderColor; }
    void setSelectBorderColor(const SkinColor &c) { m_colors.selectBorderColor = c; }
    SkinColor selectFontColor() const { return m_colors.selectFontColor; }
    void setSelectFontColor(const SkinColor &c) { m_colors.selectFontColor = c; }
    SkinColor disabledColor() const { return m_colors.disabledColor; }
    void setDisabledColor(const SkinColor &c) { m_colors.disabledColor = c; }
    SkinColor separatorColor() const { return m_colors.separatorColor; }
    void setSeparatorColor(const SkinColor &c) { m_colors.separatorColor = c; }
    SkinColor checkedColor() const { return m_colors.checkedColor; }
    void setCheckedColor(const SkinColor &c) { m_colors.checkedColor = c; }
    int iconWidth() const { return m_iconWidth; }
    // Kept within what a menu can show, so the layout arithmetic cannot overflow.
    void setIconWidth(int value) { m_iconWidth = std::clamp(value, 0, 1024); }
    bool drawSelect() const { return m_drawSelect; }
    void setDrawSelect(bool on) { m_drawSelect = on; }
    bool useSystemColors() const { return m_useSystemColors; }
    void setUseSystemColors(bool on);
    bool overrideOwnerDraw() const { return m_overrideOwnerDraw; }
    void setOverrideOwnerDraw(bool on);
    bool gradient() const { return m_gradient; }
    void setGradient(bool on) { m_gradient = on; }
    bool flatMenu() const { return m_flatMenu; }
    void setFlatMenu(bool on) { m_flatMenu = on; }
    bool autoDetect() const { return m_autoDetect; }
    void setAutoDetect(bool on) { m_autoDetect = on; }
    SkinContainers skinContainers() const { return m_containers; }
    void setSkinContainers(SkinContainers value);
    SkinControls skinControls() const { return m_controls; }
    void setSkinControls(SkinControls value);
    bool isActive() const { return m_active; }
    void setActive(bool on);

    // The pictures of a menu's items (and of its sub-menus' items), by the
    // index each item was given in the list (ImageList::assign). Items of
    // menus without a list show their own icon.
    void setMenuImages(QWidget *menu, ImageList *images);
    // The menu, item or control keeps its own look under the skin.
    void keepOwnLook(QObject *object);
    bool keepsOwnLook(const QObject *object) const;
    // The push button lays its caption out beside the place of a glyph, as
    // buttons with an icon do, even when it has none.
    void setGlyphButton(QWidget *button);

    void measureItem(QAction *item, int &width, int &height) override;
    void drawItem(QAction *item, QPainter &canvas, const QRect &rect, bool selected) override;
    bool drawMenuFrame(const QWidget *menu, QPainter &canvas, const QRect &rect) override;
    bool drawEmptyArea(const QWidget *menu, QPainter &canvas, const QRect &rect) override;

    // The look of one drawing on the given device: working colours worked
    // out afresh (with the system's menu font taking over the set font
    // when useSystemColors is on).
    SkinLook look(const QPaintDevice *device);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SkinLook settingsLook() const;
    // Sets one of the hooked sets, rehooking while active.
    template <typename Set> void setHookedSet(Set &set, Set value);
    ImageList *imagesOf(const QAction *item) const;
    ImageList *imagesAbove(const QAction *item, QSet<const QAction *> &seen) const;
    ControlKind kindOf(const QWidget *control) const;
    void applyHooks(bool refresh);
    void removeHooks(bool refresh);
    void hookMenu(QWidget *menu, QSet<const QWidget *> &seen);
    void hookItem(QAction *item);
    void hookItemTree(QAction *item, QSet<const QWidget *> &seen);
    void unhookMenus();
    void hookControls(bool refresh);
    void releaseControlHooks(bool refresh);
    void redrawMenuBar();
    void rehookAfterInsert(QObject *inserted);

    QPointer<QWidget> m_owner;
    int m_dimLevel = 30;
    int m_grayLevel = 10;
    QFont m_font;
    SkinColor m_fontColor = SystemColor::MenuText;
    SkinColors m_colors;
    int m_iconWidth = 24;
    bool m_drawSelect = true;
    bool m_useSystemColors = true;
    bool m_overrideOwnerDraw = false;
    bool m_gradient = false;
    bool m_flatMenu = false;
    bool m_autoDetect = false;
    SkinContainers m_containers = AllSkinContainers;
    SkinControls m_controls = AllSkinControls;
    bool m_active = false;
    bool m_rehookPending = false;
    QList<QPointer<QObject>> m_inserted;
    // What this skin changed, so that removing never has to walk a form that
    // may be half destroyed.
    QList<QPointer<QWidget>> m_ownerDrawMenus;
    QList<QPointer<QAction>> m_hookedItems;
    QHash<const QWidget *, ControlHook *> m_hooks;
    QHash<const QWidget *, QPointer<ImageList>> m_menuImages;
    QList<QPointer<QObject>> m_ownLook;
    QList<QPointer<QWidget>> m_glyphButtons;

    friend class ControlHook;
};

} // namespace corvane
