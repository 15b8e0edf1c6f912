#include "widgets/controlframes.h"

#include "widgets/menuskin.h"
#include "widgets/menuskinitem.h"

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

ControlKind controlKind(const QWidget *c)
{
    if (qobject_cast<const QComboBox *>(c))
        return ControlKind::Combo;
    if (const auto *edit = qobject_cast<const QLineEdit *>(c))
        return isExactly<QLineEdit>(c) && edit->inputMask().isEmpty() ? ControlKind::Edit
                                                                      : ControlKind::MaskEdit;
    if (qobject_cast<const QPlainTextEdit *>(c) || qobject_cast<const QTextEdit *>(c))
        return ControlKind::Memo;
    if (qobject_cast<const QRadioButton *>(c))
        return ControlKind::RadioButton;
    if (const auto *button = qobject_cast<const QPushButton *>(c)) {
        const bool bitButton = !button->icon().isNull() || c->objectName().startsWith(u"BitBtn");
        return bitButton ? ControlKind::BitBtn : ControlKind::Button;
    }
    if (qobject_cast<const QToolButton *>(c))
        return ControlKind::SpeedButton;
    if (isPanel(c))
        return ControlKind::Panel;
    if (qobject_cast<const QGroupBox *>(c))
        return ControlKind::GroupBox;
    return ControlKind::None;
}

bool isEditKind(ControlKind kind)
{
    return kind == ControlKind::Edit || kind == ControlKind::MaskEdit || kind == ControlKind::Memo;
}

unsigned controlElement(ControlKind kind)
{
    switch (kind) {
    case ControlKind::None:
        return 0;
    case ControlKind::Combo:
        return skCombo;
    case ControlKind::Edit:
        return skEdit;
    case ControlKind::MaskEdit:
        return skMaskEdit;
    case ControlKind::Memo:
        return skMemo;
    case ControlKind::RadioButton:
        return skRadioButton;
    case ControlKind::BitBtn:
        return skBitBtn;
    case ControlKind::Button:
        return skButton;
    case ControlKind::SpeedButton:
        return skSpeedButton;
    case ControlKind::Panel:
        return skPanel;
    case ControlKind::GroupBox:
        return skGroupBox;
    }
    return 0;
}

unsigned containerElement(const QWidget *parent)
{
    if (!parent)
        return 0;
    if (isForm(parent))
        return skcForm;
    if (isPanel(parent))
        return skcPanel;
    if (qobject_cast<const QGroupBox *>(parent))
        return skcGroupBox;
    return 0;
}

bool qualifiesForFrame(const QWidget *control, const QWidget *form, unsigned controls, unsigned containers)
{
    if (!control || !form || control->window() != form->window() || control->isWindow())
        return false;
    const QWidget *parent = control->parentWidget();
    if (hasSkipTag(control) || hasSkipTag(parent))
        return false;
    return (controlElement(controlKind(control)) & controls) && (containerElement(parent) & containers);
}

} // namespace corvane
