#pragma once

#include <QString>

namespace corvane {

// The device behind port number N: key comN of section [ports] in zel.ini when
// present and not empty (a USB modem, or a test's pseudo-terminal), else the
// platform's own name for the N-th serial port.
QString serialDevicePath(int port);

} // namespace corvane
