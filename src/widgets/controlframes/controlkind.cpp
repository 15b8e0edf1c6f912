#include "widgets/controlframes/controlkind.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QToolButton>

namespace corvane {

namespace {

template <typename T> bool isExactly(const QWidget *widget)
{
    return widget->metaObject() == &T::staticMetaObject;
}

bool isPanel(const QWidget *widget)
{
    return isExactly<QFrame>(widget);
}

bool isForm(const QWidget *widget)
{
    if (widget->isWindow())
        return true;
    const auto *main = qobject_cast<const QMainWindow *>(widget->parentWidget());
    return main && main->centralWidget() == widget;
}

} // namespace

ControlKind controlKind(const QWidget *c, bool glyphButton)
{
    if (qobject_cast<const QComboBox *>(c))
        return ControlKind::ComboBox;
    if (const auto *edit = qobject_cast<const QLineEdit *>(c))
        return isExactly<QLineEdit>(c) && edit->inputMask().isEmpty() ? ControlKind::Edit
                                                                      : ControlKind::MaskedEdit;
    if (qobject_cast<const QPlainTextEdit *>(c) || qobject_cast<const QTextEdit *>(c))
        return ControlKind::MultiLineEdit;
    if (qobject_cast<const QRadioButton *>(c))
        return ControlKind::RadioButton;
    if (const auto *button = qobject_cast<const QPushButton *>(c)) {
        return glyphButton || !button->icon().isNull() ? ControlKind::GlyphButton : ControlKind::Button;
    }
    if (qobject_cast<const QToolButton *>(c))
        return ControlKind::ToolButton;
    if (isPanel(c))
        return ControlKind::Panel;
    if (qobject_cast<const QGroupBox *>(c))
        return ControlKind::GroupBox;
    return ControlKind::None;
}

bool isEditKind(ControlKind kind)
{
    return kind == ControlKind::Edit || kind == ControlKind::MaskedEdit || kind == ControlKind::MultiLineEdit;
}

SkinControls controlElement(ControlKind kind)
{
    switch (kind) {
    case ControlKind::None:
        return {};
    case ControlKind::ComboBox:
        return SkinControl::ComboBox;
    case ControlKind::Edit:
        return SkinControl::Edit;
    case ControlKind::MaskedEdit:
        return SkinControl::MaskedEdit;
    case ControlKind::MultiLineEdit:
        return SkinControl::MultiLineEdit;
    case ControlKind::RadioButton:
        return SkinControl::RadioButton;
    case ControlKind::GlyphButton:
        return SkinControl::GlyphButton;
    case ControlKind::Button:
        return SkinControl::Button;
    case ControlKind::ToolButton:
        return SkinControl::ToolButton;
    case ControlKind::Panel:
        return SkinControl::Panel;
    case ControlKind::GroupBox:
        return SkinControl::GroupBox;
    }
    return {};
}

SkinContainers containerElement(const QWidget *parent)
{
    if (!parent)
        return {};
    if (isForm(parent))
        return SkinContainer::Form;
    if (isPanel(parent))
        return SkinContainer::Panel;
    if (qobject_cast<const QGroupBox *>(parent))
        return SkinContainer::GroupBox;
    return {};
}

bool qualifiesForFrame(const QWidget *control, ControlKind kind, const QWidget *form, SkinControls controls,
                       SkinContainers containers)
{
    if (!control || !form || control->window() != form->window() || control->isWindow())
        return false;
    return (controlElement(kind) & controls) && (containerElement(control->parentWidget()) & containers);
}

} // namespace corvane
