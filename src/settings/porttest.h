#pragma once

#include <QString>

namespace corvane {

class SerialControl;

// The port digit of a port text: its last character ("com12" gives "2"),
// empty for an empty text.
QString portDigit(const QString &portText);

// The port test: frees the port by closing the test port and the main port,
// configures the test port for the number in `portText`'s last character and
// tries to open it. The conversion of that character is not guarded: an
// invalid one throws Failure with the conversion's message. Otherwise the
// outcome is told in a message box. The test port is closed afterwards; the
// main port, when it was in use, is opened again (or looked for until its
// device is back), however the test ended.
void testPort(SerialControl &testPort, SerialControl &mainPort, const QString &portText);

} // namespace corvane
