#include "platform/suspendwatch.h"

namespace corvane {

SuspendWatch::SuspendWatch(QObject *parent)
    : SuspendWatch(&SuspendWatch::systemClocks, CheckIntervalMs, parent)
{
}

SuspendWatch::SuspendWatch(ClockReader readClocks, int intervalMs, QObject *parent)
    : QObject(parent), m_readClocks(std::move(readClocks)), m_last(m_readClocks())
{
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &SuspendWatch::check);
    m_timer.start();
}

void SuspendWatch::check()
{
    const Clocks now = m_readClocks();
    const qint64 slept =
        (now.withSuspendMs - m_last.withSuspendMs) - (now.withoutSuspendMs - m_last.withoutSuspendMs);
    m_last = now;
    if (slept >= SleptMs)
        Q_EMIT resumed();
}

} // namespace corvane
