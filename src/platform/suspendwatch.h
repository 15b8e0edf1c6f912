#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

namespace corvane {

// Notices that the PC slept: the clock that counts suspended time runs ahead
// of the one that does not. Checked by a timer, so nothing beyond the clocks
// is needed.
class SuspendWatch : public QObject
{
    Q_OBJECT
public:
    struct Clocks
    {
        qint64 withSuspendMs = 0;
        qint64 withoutSuspendMs = 0;
    };
    using ClockReader = std::function<Clocks()>;

    static constexpr int CheckIntervalMs = 5000;
    // A gap this large between the two clocks is a sleep, not a slow tick.
    static constexpr qint64 SleptMs = 3000;

    explicit SuspendWatch(QObject *parent = nullptr);
    SuspendWatch(ClockReader readClocks, int intervalMs, QObject *parent = nullptr);

    static Clocks systemClocks();

Q_SIGNALS:
    void resumed();

private:
    void check();

    ClockReader m_readClocks;
    Clocks m_last;
    QTimer m_timer;
};

} // namespace corvane
