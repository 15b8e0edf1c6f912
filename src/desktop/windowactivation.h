#pragma once

#include <QString>

class QWidget;

namespace corvane {

// Readies `window` to come forward at the user's request (a notification's
// action), with the desktop's token for it where one came: Wayland desktops
// let a program bring its own window forward only with one (OS-specific).
void prepareToComeForward(QWidget &window, const QString &activationToken);

} // namespace corvane
