#pragma once

#include <QObject>

namespace corvane {

class Timer;

// The repeated ring of a call: after the first ring, ringDue every 3 s until
// the caller is found or the ring period, 9 s from the first report of the
// cycle, has ended. A report during the cycle keeps the period's end.
class RingSchedule : public QObject
{
    Q_OBJECT
public:
    explicit RingSchedule(QObject *parent = nullptr);

    // At the end of a report's sequence: the repeat runs afresh unless it
    // still runs; the period keeps its schedule when it runs already.
    void start();
    // The caller is known (or told to be new): no more repeats.
    void stopRepeating();

    bool repeating() const;
    bool running() const;

Q_SIGNALS:
    void ringDue();
    // The ring period is over: the call has stopped ringing.
    void ended();

private:
    void onRingPeriodTimeout();

    // Rings again every 3 s until the caller is found or the ring period ends.
    Timer *m_repeatRingTimer;
    // Ends the repeated ringing 9 s after the report.
    Timer *m_ringPeriodTimer;
};

} // namespace corvane
