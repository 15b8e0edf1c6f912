#include "platform/terminationsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace corvane {

namespace {

constexpr int Handled[] = {SIGTERM, SIGINT, SIGHUP};

// The write end of the self-pipe: a signal handler can reach nothing else.
int writeEnd = -1;

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    // A full pipe already holds a request to end; another adds nothing.
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

void setHandler(void (*handler)(int))
{
    struct sigaction action
    {
    };
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // A blocking write of sound or a read in progress goes on after the handler.
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : Handled)
        sigaction(signalNumber, &action, nullptr);
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) != 0)
        return;
    m_readEnd = ends[0];
    writeEnd = ends[1];
    m_notifier = new QSocketNotifier(m_readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::drain);
    setHandler(onSignal);
}

TerminationSignals::~TerminationSignals()
{
    if (m_readEnd < 0)
        return;
    setHandler(SIG_DFL);
    delete m_notifier;
    ::close(std::exchange(writeEnd, -1));
    ::close(m_readEnd);
}

bool TerminationSignals::requested() const
{
    if (m_received)
        return true;
    pollfd waiting{m_readEnd, POLLIN, 0};
    return m_readEnd >= 0 && ::poll(&waiting, 1, 0) > 0;
}

void TerminationSignals::drain()
{
    char bytes[16];
    ssize_t n;
    while ((n = ::read(m_readEnd, bytes, sizeof bytes)) > 0) {
        m_received = true;
        for (ssize_t i = 0; i < n; ++i)
            Q_EMIT received(static_cast<unsigned char>(bytes[i]));
    }
}

} // namespace corvane
