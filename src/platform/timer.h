#pragma once

#include <QObject>
#include <QTimer>

namespace corvane {

// A timer that is switched on and off rather than started: enabling a running
// timer keeps its schedule, disabling and enabling again restarts it. A tick
// that falls due while the thread is busy is delivered once, afterwards.
class Timer : public QObject
{
    Q_OBJECT
public:
    explicit Timer(int intervalMs, QObject *parent = nullptr);

    bool enabled() const { return m_timer.isActive(); }
    void setEnabled(bool on);
    int interval() const { return m_timer.interval(); }

Q_SIGNALS:
    void timeout();

private:
    QTimer m_timer;
};

} // namespace corvane
