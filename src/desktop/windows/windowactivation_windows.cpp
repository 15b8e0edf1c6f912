#include "desktop/windowactivation.h"

namespace corvane {

// Windows lets the program that owns the notification bring its window
// forward after the click; no token is needed.
void prepareToComeForward(QWidget &, const QString &) {}

} // namespace corvane
