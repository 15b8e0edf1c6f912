#include "platform/terminationsignals.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <atomic>
#include <csignal>

#include <windows.h>

namespace corvane {

namespace {

// The one object that exists (see the header), for the console's handler thread.
std::atomic<TerminationSignals *> current{nullptr};
std::atomic<bool> requestedByConsole{false};

void raise(TerminationSignals *signals)
{
    requestedByConsole = true;
    QMetaObject::invokeMethod(signals, "received", Qt::QueuedConnection, Q_ARG(int, SIGTERM));
}

// Ctrl+C, a closed console, and (for a program without windows) logoff and
// shutdown arrive on a thread of the system's own.
BOOL WINAPI onConsoleEvent(DWORD)
{
    if (TerminationSignals *signals = current.load()) {
        raise(signals);
        return TRUE;
    }
    return FALSE;
}

// Logoff and shutdown reach a program with windows as messages: the session
// ends once WM_ENDSESSION has been answered, so the request is handled before.
class SessionEndFilter : public QAbstractNativeEventFilter
{
public:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override
    {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->message == WM_QUERYENDSESSION) {
            *result = TRUE;
            return true;
        }
        if (msg->message == WM_ENDSESSION && msg->wParam) {
            if (TerminationSignals *signals = current.load()) {
                requestedByConsole = true;
                Q_EMIT signals->received(SIGTERM);
                QCoreApplication::sendPostedEvents();
            }
            *result = 0;
            return true;
        }
        return false;
    }
};

SessionEndFilter sessionEndFilter;

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    current = this;
    requestedByConsole = false;
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installNativeEventFilter(&sessionEndFilter);
    connect(this, &TerminationSignals::received, this, [this] { m_received = true; });
}

TerminationSignals::~TerminationSignals()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeNativeEventFilter(&sessionEndFilter);
    ::SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    current = nullptr;
}

bool TerminationSignals::requested() const
{
    return m_received || requestedByConsole;
}

} // namespace corvane
