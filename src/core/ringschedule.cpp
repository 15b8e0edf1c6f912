#include "core/ringschedule.h"

#include "platform/timer.h"

namespace corvane {

RingSchedule::RingSchedule(QObject *parent)
    : QObject(parent), m_repeatRingTimer(new Timer(3000, this)), m_ringPeriodTimer(new Timer(9000, this))
{
    m_repeatRingTimer->setObjectName(QStringLiteral("repeatRingTimer"));
    m_ringPeriodTimer->setObjectName(QStringLiteral("ringPeriodTimer"));
    connect(m_repeatRingTimer, &Timer::timeout, this, &RingSchedule::ringDue);
    connect(m_ringPeriodTimer, &Timer::timeout, this, &RingSchedule::onRingPeriodTimeout);
}

void RingSchedule::start()
{
    m_repeatRingTimer->setEnabled(true);
    m_ringPeriodTimer->setEnabled(true);
}

void RingSchedule::stopRepeating()
{
    m_repeatRingTimer->setEnabled(false);
}

bool RingSchedule::repeating() const
{
    return m_repeatRingTimer->enabled();
}

bool RingSchedule::running() const
{
    return m_ringPeriodTimer->enabled();
}

void RingSchedule::onRingPeriodTimeout()
{
    m_repeatRingTimer->setEnabled(false);
    m_ringPeriodTimer->setEnabled(false);
    Q_EMIT ended();
}

} // namespace corvane
