#pragma once

#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace corvane {

// A label whose top-left corner stands at (left, top), sized to its text.
QLabel *placedLabel(QWidget *parent, const QString &text, int left, int top);

// Keeps a placed label left of `right` (in its parent's coordinates). A text a
// little too wide for the room, as a substituted font's wider Latin letters
// make it, has its letters set up to a pixel closer; one far too wide wraps.
void keepLabelWithin(QLabel *label, int right);

// A push button at (left, top), width x 25 pixels. Enter never clicks it from
// elsewhere in the dialog: with Qt's auto-default, Enter in a combo box would
// click the first button, and for the settings dialog that saves and ends the
// program.
QPushButton *placedButton(QWidget *parent, const QString &caption, int left, int top, int width = 75);

} // namespace corvane
