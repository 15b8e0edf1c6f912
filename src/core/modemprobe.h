#pragma once

#include "core/modemexchange.h"
#include "platform/serialcontrol.h"

#include <QObject>
#include <QStringList>

namespace corvane {

class LineLog;

// Asks serial devices one after another whether a modem is behind them (AT
// answered OK), and that modem's name (ATI), through a port of its own with
// the line's parameters. Stops at the first that answers. Devices it cannot
// open are passed over.
class ModemProbe : public QObject
{
    Q_OBJECT
public:
    // answerMs: how long each question waits.
    explicit ModemProbe(int answerMs, QObject *parent = nullptr);

    // Where the bytes asked and answered go (nullptr: nowhere).
    void setLineLog(LineLog *log) { m_port.setLineLog(log); }

    void start(const QStringList &devices);
    void stop();
    bool running() const { return m_running; }

Q_SIGNALS:
    // Device `index` (from 0) of `count` is being asked.
    void asking(int index, int count, const QString &device);
    // It could not be opened: held by another program, not permitted, gone.
    void passedOver(const QString &device, const QString &reason);
    void found(const QString &device, const QString &name);
    // After found(), or after the last device without one.
    void finished(bool found);

private:
    void askNext();
    void answered(const QString &device, const ModemReply &reply);

    SerialControl m_port;
    ModemExchange m_exchange;
    int m_answerMs;
    QStringList m_devices;
    qsizetype m_next = 0;
    bool m_running = false;
    // Counts stops: a step queued before one is dropped.
    unsigned m_run = 0;
};

} // namespace corvane
