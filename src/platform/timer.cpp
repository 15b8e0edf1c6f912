#include "platform/timer.h"

namespace corvane {

Timer::Timer(int intervalMs, QObject *parent) : QObject(parent)
{
    m_timer.setInterval(intervalMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Timer::timeout);
}

void Timer::setEnabled(bool on)
{
    if (!on)
        m_timer.stop();
    else if (!m_timer.isActive())
        m_timer.start();
}

} // namespace corvane
