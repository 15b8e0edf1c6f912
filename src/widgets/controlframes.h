#pragma once

class QWidget;

namespace corvane {

// The kinds of control the skin paints a flat frame over.
enum class ControlKind {
    None,
    Combo,
    Edit,
    MaskEdit,
    Memo,
    RadioButton,
    BitBtn,
    Button,
    SpeedButton,
    Panel,
    GroupBox
};

// What the control is, as far as the skin cares. A QPushButton counts as a
// bit button (`TBitBtn`) when it shows an icon or is named "BitBtn…"; a
// QLineEdit of a derived class or with an input mask counts as a masked edit;
// a QFrame of exactly that class is a panel.
ControlKind controlKind(const QWidget *control);
bool isEditKind(ControlKind kind);

// The SkinControls element of a kind; 0 for none.
unsigned controlElement(ControlKind kind);
// The SkinContainers element of a parent; 0 when it is no container the skin
// knows. The central widget of a main window counts as the form.
unsigned containerElement(const QWidget *parent);

// The control, on the form's own window, is restyled under these sets.
bool qualifiesForFrame(const QWidget *control, const QWidget *form, unsigned controls, unsigned containers);

} // namespace corvane
