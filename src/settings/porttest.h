#pragma once

#include <QString>

namespace corvane {

class SerialControl;

// Frees the call desk's port while it lives and takes it up again (or looks
// for its device until it is back) afterwards, so caller ID goes on working.
// A port that was not in use is left alone.
class MainPortPause
{
public:
    explicit MainPortPause(SerialControl &mainPort);
    ~MainPortPause();
    MainPortPause(const MainPortPause &) = delete;
    MainPortPause &operator=(const MainPortPause &) = delete;

private:
    SerialControl &m_mainPort;
    bool m_inUse;
};

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
