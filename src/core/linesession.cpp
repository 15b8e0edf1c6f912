#include "core/linesession.h"

#include "core/callerid.h"
#include "core/lineconfig.h"
#include "core/lineparameters.h"
#include "platform/failure.h"
#include "platform/handlerboundary.h"
#include "platform/strtoint.h"

namespace corvane {

LineSession::LineSession(QObject *parent) : QObject(parent)
{
    m_serialPort.setObjectName(QStringLiteral("serialPort"));
    const auto reportFailure = [this](const QString &message) { Q_EMIT failed(message); };
    connect(&m_serialPort, &SerialControl::dataReceived, this,
            [this, reportFailure] { runGuarded([this] { onDataReceived(); }, reportFailure); });
    connect(&m_serialPort, &SerialControl::lineLost, this,
            [this](const QString &message) { Q_EMIT notice(tr("与来电显示设备的连接已断开：") + message); });
    // The device is back (plugged in again, or freed by the port test): the
    // modem may have been reset, so it is told its mode again, without a word.
    connect(&m_serialPort, &SerialControl::lineRestored, this,
            [this, reportFailure] { runGuarded([this] { open(); }, reportFailure); });
}

void LineSession::start(const LineConfig &config)
{
    const QString portNumber = portNumberText(config.portName);
    setLineParameters(m_serialPort);
    // Not guarded: without a port number the set-up ends here.
    m_serialPort.setPortNumber(strToInt(portNumber));
    m_mode = config.mode;
    open();
}

void LineSession::close()
{
    m_serialPort.setOpen(false);
}

void LineSession::open()
{
    try {
        if (!m_serialPort.isOpen())
            m_serialPort.setOpen(true);
    } catch (const Failure &) {
        // A modem not plugged in yet, or held by another program, is taken
        // up as soon as it can be, as one that was unplugged is.
        m_serialPort.reopen();
        Q_EMIT notice(tr("无效的端口号，请进入[文件]菜单下的[系统设置]进行端口号设置"));
    }

    // Not guarded either: a closed port rejects the command.
    const QString command = modeCommand(m_mode);
    if (!command.isEmpty())
        m_serialPort.output(command);
}

void LineSession::onDataReceived()
{
    const int bufferCount = m_serialPort.inBufferCount();
    Q_EMIT dataArrived();
    const QString text = upperAscii(m_serialPort.input());
    // Modem answers (the echo, "OK", "RING") end here.
    if (!isCallerIdReport(text))
        return;
    Q_EMIT reportReceived(text, bufferCount);
}

} // namespace corvane
