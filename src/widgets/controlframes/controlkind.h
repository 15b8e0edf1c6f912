#pragma once

#include <QFlags>

class QWidget;

namespace corvane {

// The kinds of control the skin paints a flat frame over.
enum class ControlKind {
    None,
    ComboBox,
    Edit,
    MaskedEdit,
    MultiLineEdit,
    RadioButton,
    GlyphButton,
    Button,
    ToolButton,
    Panel,
    GroupBox
};

// What the skin restyles: the form's menus and the kinds of control.
enum class SkinControl : unsigned {
    MainMenu = 1u << 0,
    PopupMenu = 1u << 1,
    ComboBox = 1u << 2,
    Edit = 1u << 3,
    MaskedEdit = 1u << 4,
    MultiLineEdit = 1u << 5,
    RadioButton = 1u << 6,
    Button = 1u << 7,
    GlyphButton = 1u << 8,
    ToolButton = 1u << 9,
    Panel = 1u << 10,
    GroupBox = 1u << 11,
};
Q_DECLARE_FLAGS(SkinControls, SkinControl)
Q_DECLARE_OPERATORS_FOR_FLAGS(SkinControls)
inline constexpr SkinControls AllSkinControls = SkinControls::fromInt((1u << 12) - 1);

// The parents whose controls the skin restyles.
enum class SkinContainer : unsigned {
    Form = 1u << 0,
    Panel = 1u << 1,
    GroupBox = 1u << 2,
};
Q_DECLARE_FLAGS(SkinContainers, SkinContainer)
Q_DECLARE_OPERATORS_FOR_FLAGS(SkinContainers)
inline constexpr SkinContainers AllSkinContainers = SkinContainers::fromInt((1u << 3) - 1);

// What the control is, as far as the skin cares. A QPushButton is a glyph
// button (its caption laid out beside a glyph) when it shows an icon or
// `glyphButton` says so; a QLineEdit of a derived class or with an input mask
// is a masked edit; a QFrame of exactly that class is a panel.
ControlKind controlKind(const QWidget *control, bool glyphButton = false);
bool isEditKind(ControlKind kind);

// The element of SkinControls for a kind; none for ControlKind::None.
SkinControls controlElement(ControlKind kind);
// The element of SkinContainers for a parent; none when it is no container
// the skin knows. The central widget of a main window counts as the form.
SkinContainers containerElement(const QWidget *parent);

// The control of that kind, on the form's own window, is restyled under
// these sets.
bool qualifiesForFrame(const QWidget *control, ControlKind kind, const QWidget *form, SkinControls controls,
                       SkinContainers containers);

} // namespace corvane
