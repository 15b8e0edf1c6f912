#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>

namespace corvane {

class SerialControl;

enum class ModemAnswer { Ok, Error, None };

struct ModemReply
{
    ModemAnswer answer = ModemAnswer::None;
    // What the modem said before its answer, without the echo of the command
    // (the name ATI asks for).
    QStringList lines;
};

// Talks to the modem one command at a time over the line: sends a command,
// picks its answer (a line "OK" or "ERROR") out of what the line brings, or
// gives up after a while. Driven by the event loop: nothing here waits.
class ModemExchange : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(const ModemReply &)>;

    explicit ModemExchange(SerialControl &port, QObject *parent = nullptr);

    // Sends command and a carriage return once the asks before it are
    // answered, and hands the reply to handler, always through the event
    // loop. An ask the port cannot take (it is closed), or one still waiting
    // when the port closes, is dropped with every other: no reply.
    void ask(const QString &command, int timeoutMs, Handler handler);
    // Text that came in on the line.
    void take(const QString &text);
    // Forgets every ask.
    void cancel();
    bool busy() const { return m_current || m_delivering || !m_queue.empty(); }

private:
    struct Ask
    {
        QString command;
        int timeoutMs = 0;
        Handler handler;
    };

    void sendNext();
    void takeLine(const QString &line);
    void finish(ModemAnswer answer);

    SerialControl &m_port;
    std::deque<Ask> m_queue;
    std::optional<Ask> m_current;
    bool m_delivering = false;
    // Counts cancellations: a reply on its way from before one is dropped.
    unsigned m_generation = 0;
    QTimer m_timeout;
    QString m_partial;
    QStringList m_lines;
};

} // namespace corvane
