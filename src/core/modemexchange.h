#pragma once

#include <QElapsedTimer>
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
// picks its answer (a line "OK" or "ERROR", or "0" or "4" from a modem set to
// numbers) out of what the line brings, or gives up after a while. A modem
// answers in order: an answer that comes after its command was given up on
// is that command's (its echo, when the modem echoes, says so), never the
// next one's. Driven by the event loop: nothing here waits.
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

Q_SIGNALS:
    // The answer to a command given up on came after all, afterMs after the
    // command was sent. From then on each ask waits at least twice as long.
    void lateAnswer(const QString &command, ModemAnswer answer, int afterMs);

private:
    struct Ask
    {
        QString command;
        int timeoutMs = 0;
        Handler handler;
    };

    // A command given up on whose answer may still come.
    struct Unanswered
    {
        QString command;
        QElapsedTimer sent;
        bool echoed = false;
    };

    void sendNext();
    void takeLine(const QString &line);
    bool isEchoOfSent(const QString &upper) const;
    void takeEcho(const QString &upper);
    void takeAnswer(ModemAnswer answer);
    void giveUp();
    void finish(ModemAnswer answer);
    int waitMs() const;

    SerialControl &m_port;
    std::deque<Ask> m_queue;
    std::optional<Ask> m_current;
    QElapsedTimer m_sent;
    // Oldest first; the modem owes their answers before the current one's.
    std::deque<Unanswered> m_unanswered;
    // The current command's echo came.
    bool m_echoed = false;
    // The latest answer seen to come after its command was given up on.
    int m_lateMs = 0;
    bool m_delivering = false;
    // Counts cancellations: a reply on its way from before one is dropped.
    unsigned m_generation = 0;
    QTimer m_timeout;
    QString m_partial;
    QStringList m_lines;
};

} // namespace corvane
