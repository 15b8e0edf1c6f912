#include "settings/porttest.h"

#include "core/lineparameters.h"
#include "desktop/messagebox.h"
#include "platform/failure.h"
#include "platform/serialcontrol.h"
#include "platform/strtoint.h"

#include <QCoreApplication>

namespace corvane {

MainPortPause::MainPortPause(SerialControl &mainPort)
    : m_mainPort(mainPort), m_inUse(mainPort.isOpen() || mainPort.reopening())
{
    if (m_inUse)
        m_mainPort.setOpen(false);
}

MainPortPause::~MainPortPause()
{
    if (m_inUse)
        m_mainPort.reopen();
}

QString portDigit(const QString &portText)
{
    if (portText.isEmpty())
        return {};
    // A character outside the basic plane is one character to the user, and
    // half of it would show as garbage in the conversion's error message.
    const bool pair = portText.size() >= 2 && portText.back().isLowSurrogate() &&
                      portText.at(portText.size() - 2).isHighSurrogate();
    return portText.right(pair ? 2 : 1);
}

void testPort(SerialControl &testPort, SerialControl &mainPort, const QString &portText)
{
    const QString digit = portDigit(portText);
    if (testPort.isOpen())
        testPort.setOpen(false);
    // Taken up again however the test ends.
    const MainPortPause pause(mainPort);
    setLineParameters(testPort);
    testPort.setPortNumber(strToInt(digit));

    try {
        testPort.setOpen(true);
        msg::inform(QCoreApplication::translate("LineSettingsDialog", "此端口正常"));
        testPort.setOpen(false);
    } catch (const Failure &) {
        testPort.setOpen(false);
        msg::inform(QCoreApplication::translate("LineSettingsDialog", "无效的端口号,不可使用"));
    }
}

} // namespace corvane
