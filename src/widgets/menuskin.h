#pragma once

#include "widgets/menuskincolors.h"
#include "widgets/menuskinevents.h"
#include "widgets/menuskinlook.h"

#include <QFont>
#include <QHash>
#include <QPointer>
#include <QSet>

#include <algorithm>

class QPaintDevice;
class QWidget;

namespace corvane {

class SkinHook;

// TSkinContainers, in bit order.
enum SkinContainer : unsigned {
    skcForm = 1u << 0,
    skcFrame = 1u << 1,
    skcToolbar = 1u << 2,
    skcCoolbar = 1u << 3,
    skcControlbar = 1u << 4,
    skcPanel = 1u << 5,
    skcScrollBox = 1u << 6,
    skcGroupBox = 1u << 7,
    skcTabSheet = 1u << 8,
    skcPageScroller = 1u << 9,
};

// TSkinControls, in bit order.
enum SkinControl : unsigned {
    skMainMenu = 1u << 0,
    skPopupMenu = 1u << 1,
    skToolbar = 1u << 2,
    skControlbar = 1u << 3,
    skCombo = 1u << 4,
    skEdit = 1u << 5,
    skMaskEdit = 1u << 6,
    skMemo = 1u << 7,
    skRichEdit = 1u << 8,
    skCheckBox = 1u << 9,
    skRadioButton = 1u << 10,
    skButton = 1u << 11,
    skBitBtn = 1u << 12,
    skSpeedButton = 1u << 13,
    skPanel = 1u << 14,
    skGroupBox = 1u << 15,
};

// The flat look of a form: while active it measures and draws the items of
// the form's menu bar and pop-up menus, and paints flat frames over its edit
// boxes, buttons and panels (controlframes.h). Owned by the form it styles.
class MenuSkin : public MenuItemHandler
{
    Q_OBJECT
public:
    explicit MenuSkin(QWidget *owner);
    ~MenuSkin() override;

    int DimLevel() const { return m_dimLevel; }
    void setDimLevel(int value) { m_dimLevel = value; }
    int GrayLevel() const { return m_grayLevel; }
    void setGrayLevel(int value) { m_grayLevel = value; }
    QFont Font() const { return m_font; }
    void setFont(const QFont &font);
    SkinColor FontColor() const { return m_fontColor; }
    void setFontColor(const SkinColor &colour) { m_fontColor = colour; }
    SkinColor Color() const { return m_colors.Color; }
    void setColor(const SkinColor &c) { m_colors.Color = c; }
    SkinColor IconBackColor() const { return m_colors.IconBackColor; }
    void setIconBackColor(const SkinColor &c) { m_colors.IconBackColor = c; }
    SkinColor MenuBarColor() const { return m_colors.MenuBarColor; }
    void setMenuBarColor(const SkinColor &c);
    SkinColor SelectColor() const { return m_colors.SelectColor; }
    void setSelectColor(const SkinColor &c) { m_colors.SelectColor = c; }
    SkinColor SelectBorderColor() const { return m_colors.SelectBorderColor; }
    void setSelectBorderColor(const SkinColor &c) { m_colors.SelectBorderColor = c; }
    SkinColor SelectFontColor() const { return m_colors.SelectFontColor; }
    void setSelectFontColor(const SkinColor &c) { m_colors.SelectFontColor = c; }
    SkinColor DisabledColor() const { return m_colors.DisabledColor; }
    void setDisabledColor(const SkinColor &c) { m_colors.DisabledColor = c; }
    SkinColor SeparatorColor() const { return m_colors.SeparatorColor; }
    void setSeparatorColor(const SkinColor &c) { m_colors.SeparatorColor = c; }
    SkinColor CheckedColor() const { return m_colors.CheckedColor; }
    void setCheckedColor(const SkinColor &c) { m_colors.CheckedColor = c; }
    int IconWidth() const { return m_iconWidth; }
    // Kept within what a menu can show, so the layout arithmetic cannot overflow.
    void setIconWidth(int value) { m_iconWidth = std::clamp(value, 0, 1024); }
    bool DrawSelect() const { return m_drawSelect; }
    void setDrawSelect(bool on) { m_drawSelect = on; }
    bool UseSystemColors() const { return m_useSystemColors; }
    void setUseSystemColors(bool on);
    bool OverrideOwnerDraw() const { return m_overrideOwnerDraw; }
    void setOverrideOwnerDraw(bool on);
    bool Gradient() const { return m_gradient; }
    void setGradient(bool on) { m_gradient = on; }
    bool FlatMenu() const { return m_flatMenu; }
    void setFlatMenu(bool on) { m_flatMenu = on; }
    bool AutoDetect() const { return m_autoDetect; }
    void setAutoDetect(bool on) { m_autoDetect = on; }
    unsigned SkinContainers() const { return m_containers; }
    void setSkinContainers(unsigned value);
    unsigned SkinControls() const { return m_controls; }
    void setSkinControls(unsigned value);
    bool Active() const { return m_active; }
    void setActive(bool on);

    void MenuMeasureItem(QAction *item, int &width, int &height) override;
    void MenuDrawItem(QAction *item, QPainter &canvas, const QRect &rect, bool selected) override;
    bool MenuDrawFrame(const QWidget *menu, QPainter &canvas, const QRect &rect) override;
    bool MenuDrawEmptyArea(const QWidget *menu, QPainter &canvas, const QRect &rect) override;

    // The look of one drawing on the given device: working colours worked
    // out afresh (with the system's menu font taking over the Font property
    // when UseSystemColors is on).
    SkinLook look(const QPaintDevice *device);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SkinLook properties() const;
    // Sets one of the hooked sets, rehooking while active.
    void setHookedSet(unsigned &set, unsigned value);
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
    unsigned m_containers = 1023;
    unsigned m_controls = 65535;
    bool m_active = false;
    bool m_rehookPending = false;
    QList<QPointer<QObject>> m_inserted;
    // What this skin changed, so that removing never has to walk a form that
    // may be half destroyed.
    QList<QPointer<QWidget>> m_ownerDrawMenus;
    QList<QPointer<QAction>> m_hookedItems;
    QHash<const QWidget *, SkinHook *> m_hooks;

    friend class SkinHook;
};

} // namespace corvane
