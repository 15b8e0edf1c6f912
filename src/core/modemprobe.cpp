#include "core/modemprobe.h"

#include "core/linemessages.h"
#include "core/lineparameters.h"
#include "platform/failure.h"
#include "platform/openproblem.h"

namespace corvane {

ModemProbe::ModemProbe(int answerMs, QObject *parent)
    : QObject(parent), m_exchange(m_port), m_answerMs(answerMs)
{
    m_port.setObjectName(QStringLiteral("probePort"));
    setLineParameters(m_port);
    connect(&m_port, &SerialControl::dataReceived, this, [this] { m_exchange.take(m_port.input()); });
}

void ModemProbe::start(const QStringList &devices)
{
    stop();
    m_devices = devices;
    m_next = 0;
    m_running = true;
    askNext();
}

void ModemProbe::stop()
{
    ++m_run;
    m_running = false;
    m_exchange.cancel();
    m_port.setOpen(false);
}

void ModemProbe::askNext()
{
    // Nothing the last device still owes comes on the next one.
    m_exchange.cancel();
    m_port.setOpen(false);
    if (m_next == m_devices.size()) {
        m_running = false;
        Q_EMIT finished(false);
        return;
    }
    const QString device = m_devices.at(m_next++);
    Q_EMIT asking(int(m_next - 1), int(m_devices.size()), device);
    m_port.setDevice(device);
    try {
        m_port.setOpen(true);
    } catch (const Failure &) {
        Q_EMIT passedOver(device, shortOpenProblemText(openProblem(device)));
        // Each device in a pass of the event loop of its own, so the window
        // keeps up however many there are.
        QMetaObject::invokeMethod(
            this,
            [this, run = m_run] {
                if (run == m_run)
                    askNext();
            },
            Qt::QueuedConnection);
        return;
    }
    m_exchange.ask(QStringLiteral("AT"), m_answerMs,
                   [this, device](const ModemReply &reply) { answered(device, reply); });
}

void ModemProbe::answered(const QString &device, const ModemReply &reply)
{
    if (reply.answer != ModemAnswer::Ok) {
        askNext();
        return;
    }
    m_exchange.ask(QStringLiteral("ATI"), m_answerMs, [this, device](const ModemReply &name) {
        stop();
        Q_EMIT found(device, name.lines.join(QLatin1Char(' ')));
        Q_EMIT finished(true);
    });
}

} // namespace corvane
