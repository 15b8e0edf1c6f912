#include "core/linesession.h"

#include "core/callerid.h"
#include "core/lineconfig.h"
#include "core/linemessages.h"
#include "core/lineparameters.h"
#include "platform/failure.h"
#include "platform/handlerboundary.h"
#include "platform/openproblem.h"
#include "platform/serialdevice.h"
#include "platform/strtoint.h"

#include <algorithm>

namespace corvane {

LineSession::LineSession(const LineTiming &timing, QObject *parent)
    : QObject(parent), m_timing(timing), m_exchange(m_serialPort), m_setup(m_exchange, timing.answerMs),
      m_search(timing.probeAnswerMs)
{
    m_serialPort.setObjectName(QStringLiteral("serialPort"));
    const auto reportFailure = [this](const QString &message) { Q_EMIT failed(message); };
    const auto guard = [reportFailure](auto handler) { return [=] { runGuarded(handler, reportFailure); }; };
    connect(&m_serialPort, &SerialControl::dataReceived, this, guard([this] { onDataReceived(); }));
    connect(&m_serialPort, &SerialControl::lineLost, this,
            [this](const QString &message) { Q_EMIT notice(tr("与来电显示设备的连接已断开：") + message); });
    // The device is back (plugged in again, or freed by the port test): the
    // modem may have been reset, so it is told its mode again, without a word.
    connect(&m_serialPort, &SerialControl::lineRestored, this, guard([this] { open(); }));
    connect(&m_setup, &CallerIdSetup::finished, this, &LineSession::onSetupFinished);
    connect(&m_setup, &CallerIdSetup::answersLate, this, [this](int afterMs) {
        tell(slowModemText(m_portName, m_serialPort.devicePath(), afterMs), m_slownessTold);
    });
    // A modem may wake from the PC's sleep with its settings gone.
    connect(&m_suspendWatch, &SuspendWatch::resumed, this, guard([this] {
        if (m_serialPort.isOpen())
            setUpCallerId();
    }));
    m_keepAlive.setInterval(m_timing.keepAliveMs);
    connect(&m_keepAlive, &QTimer::timeout, this, guard([this] { checkModem(); }));
    connect(&m_search, &ModemProbe::found, this,
            [this](const QString &device) { Q_EMIT modemOffered(offerOf(device), device); });
    connect(&m_search, &ModemProbe::finished, this, [this](bool found) {
        if (!found)
            Q_EMIT notice(noModemText(m_portName, m_serialPort.devicePath()));
    });
}

void LineSession::start(const LineConfig &config, const ModemSettings &modem)
{
    const QString portNumber = portNumberText(config.portName);
    setLineParameters(m_serialPort);
    // Not guarded: without a port number the set-up ends here.
    m_serialPort.setPortNumber(strToInt(portNumber));
    m_portName = config.portName;
    m_mode = config.mode;
    m_modem = modem;
    m_openProblemTold = m_refusalTold = m_silenceTold = m_slownessTold = false;
    open();
}

void LineSession::close()
{
    m_keepAlive.stop();
    m_search.stop();
    m_exchange.cancel();
    m_serialPort.setOpen(false);
}

void LineSession::useDevice(const QString &device)
{
    const QString port = portForDevice(device);
    const bool kept = assignPortDevice(port, device) && writeLineConfig(port, m_mode);
    m_serialPort.setDevice(kept ? QString() : device);
    close();
    m_serialPort.setPortNumber(portNumberText(port).toInt());
    m_portName = port;
    m_modem = readModemSettings(port);
    m_silenceTold = false;
    if (!kept)
        Q_EMIT notice(deviceNotKeptText());
    open();
}

void LineSession::open()
{
    if (!m_serialPort.isOpen()) {
        try {
            m_serialPort.setOpen(true);
        } catch (const Failure &) {
            // A modem not plugged in yet, or held by another program, is taken
            // up as soon as it can be, as one that was unplugged is.
            m_serialPort.reopen();
            tell(openProblemText(openProblem(m_serialPort.devicePath())), m_openProblemTold);
            return;
        }
    }
    setUpCallerId();
}

void LineSession::setUpCallerId()
{
    const QStringList commands = callerIdCommands(m_mode, m_modem.rememberedCommand);
    // No mode, no command: nothing is ever sent to the device.
    if (commands.isEmpty())
        return;
    m_setup.start(m_modem.init, commands);
    m_keepAlive.start();
}

void LineSession::onSetupFinished(CallerIdSetup::Result result, const QString &command,
                                  const QStringList &tried)
{
    m_modemAnswers = result != CallerIdSetup::Result::NoAnswer;
    if (result == CallerIdSetup::Result::On) {
        m_silenceTold = false;
        keepCommand(command);
        Q_EMIT callerIdOn(command);
    } else if (result == CallerIdSetup::Result::Refused) {
        // The line stays open: some modems report without being asked.
        tell(commandsRefusedText(m_portName, m_serialPort.devicePath(), tried), m_refusalTold);
    } else if (!m_silenceTold) {
        m_silenceTold = true;
        lookForAnotherModem();
    }
}

void LineSession::keepCommand(const QString &command)
{
    const QString own = modeCommand(m_mode).trimmed();
    const QString kept = command == own ? QString() : command;
    if (kept == m_modem.rememberedCommand)
        return;
    m_modem.rememberedCommand = kept;
    rememberCallerIdCommand(m_portName, kept);
}

void LineSession::lookForAnotherModem()
{
    // Only devices that call themselves modems are ever asked unbidden: a
    // receipt printer or a scale must never receive AT.
    QStringList candidates;
    for (const SerialDeviceInfo &device : presentSerialDevices())
        if (device.namedModem && !sameDevice(device.path, m_serialPort.devicePath()))
            candidates.append(device.path);
    if (candidates.isEmpty()) {
        Q_EMIT notice(noModemText(m_portName, m_serialPort.devicePath()));
        return;
    }
    m_search.setLineLog(m_serialPort.lineLog());
    m_search.start(candidates);
}

QString LineSession::offerOf(const QString &device) const
{
    const QList<SerialDeviceInfo> present = presentSerialDevices();
    const auto info = std::find_if(present.begin(), present.end(),
                                   [&device](const SerialDeviceInfo &d) { return d.path == device; });
    return modemOfferText(m_portName, m_serialPort.devicePath(), device,
                          info == present.end() ? QString() : info->model);
}

void LineSession::checkModem()
{
    if (!m_serialPort.isOpen() || m_exchange.busy() ||
        (m_sinceData.isValid() && m_sinceData.elapsed() < m_timing.quietBeforeCheckMs))
        return;
    m_exchange.ask(QStringLiteral("AT"), m_timing.answerMs, [this](const ModemReply &reply) {
        const bool answers = reply.answer != ModemAnswer::None;
        if (answers == m_modemAnswers)
            return;
        if (answers) {
            // Back, or there at last: it needs its caller-ID command.
            setUpCallerId();
            return;
        }
        // Wandered off: a modem that lost its settings comes back from a
        // fresh opening and its command.
        m_exchange.cancel();
        m_serialPort.setOpen(false);
        open();
    });
}

void LineSession::onDataReceived()
{
    const int bufferCount = m_serialPort.inBufferCount();
    Q_EMIT dataArrived();
    m_sinceData.start();
    const QString input = m_serialPort.input();
    m_exchange.take(input);
    const QString text = upperAscii(input);
    // Modem answers (the echo, "OK", "RING") end here.
    if (!isCallerIdReport(text))
        return;
    Q_EMIT reportReceived(text, bufferCount);
}

void LineSession::tell(const QString &text, bool &told)
{
    if (told)
        return;
    told = true;
    Q_EMIT notice(text);
}

} // namespace corvane
