#pragma once

#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace corvane {

// A label whose top-left corner stands at (left, top), sized to its text.
QLabel *placedLabel(QWidget *parent, const QString &text, int left, int top);

// A push button at (left, top), width x 25 pixels. Enter never clicks it from
// elsewhere in the dialog: with Qt's auto-default, Enter in a combo box would
// click the first button, and for the settings dialog that saves and ends the
// program.
QPushButton *placedButton(QWidget *parent, const QString &caption, int left, int top, int width = 75);

} // namespace corvane
