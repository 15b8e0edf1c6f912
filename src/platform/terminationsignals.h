#pragma once

#include <QObject>

class QSocketNotifier;

namespace corvane {

// SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C, a closed terminal, a service
// manager stopping the program) brought from the signal handler into the event
// loop, where received() is raised, so the program can end the ordinary way.
// Until then the signals do nothing; from construction to destruction only one
// object of this kind may exist.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

    // Whether a signal came, also while it still waits for the event loop:
    // what waits outside the loop (for a database server) can stop early.
    bool requested() const;

Q_SIGNALS:
    void received(int signalNumber);

private:
    void drain();

    int m_readEnd = -1;
    QSocketNotifier *m_notifier = nullptr;
    bool m_received = false;
};

} // namespace corvane
