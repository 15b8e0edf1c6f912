#include "core/modemexchange.h"

#include "platform/failure.h"
#include "platform/serialcontrol.h"

#include <QRegularExpression>

#include <algorithm>

namespace corvane {

namespace {

// Enough for any answer line; line noise beyond it is not kept.
constexpr int LongestLine = 256;
constexpr int MostLines = 16;
// Commands given up on whose answers are still looked for.
constexpr std::size_t MostUnanswered = 4;

// What a modem sends of its own accord, answering nothing.
bool unasked(const QString &upper)
{
    static const QStringList ReportFields = {QStringLiteral("DATE"), QStringLiteral("TIME"),
                                             QStringLiteral("NMBR"), QStringLiteral("NAME")};
    return upper == QLatin1String("RING") ||
           std::any_of(ReportFields.begin(), ReportFields.end(),
                       [&upper](const QString &field) { return upper.startsWith(field); });
}

// The answer a line is, in words (ATV1) or in numbers (ATV0).
ModemAnswer answerOf(const QString &upper)
{
    if (upper == QLatin1String("OK") || upper == QLatin1String("0"))
        return ModemAnswer::Ok;
    if (upper == QLatin1String("ERROR") || upper == QLatin1String("4"))
        return ModemAnswer::Error;
    return ModemAnswer::None;
}

} // namespace

ModemExchange::ModemExchange(SerialControl &port, QObject *parent) : QObject(parent), m_port(port)
{
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        if (m_port.isOpen())
            giveUp();
        else
            cancel();
    });
}

void ModemExchange::ask(const QString &command, int timeoutMs, Handler handler)
{
    m_queue.push_back({command, timeoutMs, std::move(handler)});
    if (!m_current && !m_delivering)
        sendNext();
}

void ModemExchange::cancel()
{
    ++m_generation;
    m_delivering = false;
    m_queue.clear();
    m_current.reset();
    m_unanswered.clear();
    m_lateMs = 0;
    m_timeout.stop();
    m_partial.clear();
    m_lines.clear();
}

void ModemExchange::sendNext()
{
    if (m_queue.empty())
        return;
    if (!m_port.isOpen()) {
        cancel();
        return;
    }
    m_current = std::move(m_queue.front());
    m_queue.pop_front();
    m_lines.clear();
    m_echoed = false;
    try {
        m_port.output(m_current->command + QLatin1Char('\r'));
    } catch (const Failure &) {
        // The device went away: the line says so itself.
        cancel();
        return;
    }
    m_sent.start();
    m_timeout.start(waitMs());
}

int ModemExchange::waitMs() const
{
    return std::max(m_current->timeoutMs, 2 * m_lateMs);
}

void ModemExchange::take(const QString &text)
{
    if (!m_current && m_unanswered.empty()) {
        m_partial.clear();
        return;
    }
    m_partial += text;
    static const QRegularExpression LineEnd(QStringLiteral("[\r\n]"));
    qsizetype end;
    // Every whole line, also those after an answer: a second answer in the
    // same text is no later command's.
    while ((end = m_partial.indexOf(LineEnd)) >= 0) {
        const QString line = m_partial.left(end).trimmed();
        m_partial.remove(0, end + 1);
        if (!line.isEmpty())
            takeLine(line);
    }
    if (m_partial.size() > LongestLine)
        m_partial = m_partial.right(LongestLine);
}

void ModemExchange::takeLine(const QString &line)
{
    const QString upper = line.toUpper();
    const ModemAnswer answer = answerOf(upper);
    if (answer != ModemAnswer::None)
        takeAnswer(answer);
    else if (isEchoOfSent(upper))
        takeEcho(upper);
    else if (!unasked(upper) && m_lines.size() < MostLines)
        m_lines.append(line);
}

bool ModemExchange::isEchoOfSent(const QString &upper) const
{
    return (m_current && upper == m_current->command.toUpper()) ||
           std::any_of(m_unanswered.begin(), m_unanswered.end(),
                       [&upper](const Unanswered &sent) { return upper == sent.command.toUpper(); });
}

void ModemExchange::takeEcho(const QString &upper)
{
    // The modem echoes a command as it reads it: one not echoed before a
    // later one's echo never reached it, and its answer will never come.
    // One it has echoed it answers in its turn, however slow.
    const auto echoed =
        std::find_if(m_unanswered.begin(), m_unanswered.end(), [&upper](const Unanswered &sent) {
            return !sent.echoed && upper == sent.command.toUpper();
        });
    const auto lost = [](const Unanswered &sent) { return !sent.echoed; };
    if (echoed != m_unanswered.end()) {
        echoed->echoed = true;
        m_unanswered.erase(std::remove_if(m_unanswered.begin(), echoed, lost), echoed);
    } else {
        m_echoed = true;
        m_unanswered.erase(std::remove_if(m_unanswered.begin(), m_unanswered.end(), lost),
                           m_unanswered.end());
    }
    m_lines.clear();
}

void ModemExchange::takeAnswer(ModemAnswer answer)
{
    if (m_unanswered.empty()) {
        if (m_current)
            finish(answer);
        return;
    }
    const Unanswered late = std::move(m_unanswered.front());
    m_unanswered.pop_front();
    m_lines.clear();
    const int afterMs = int(late.sent.elapsed());
    m_lateMs = std::max(m_lateMs, afterMs);
    // A slow modem, not a silent one: the current command gets its time afresh.
    if (m_current)
        m_timeout.start(waitMs());
    Q_EMIT lateAnswer(late.command, answer, afterMs);
}

void ModemExchange::giveUp()
{
    m_unanswered.push_back({m_current->command, m_sent, m_echoed});
    if (m_unanswered.size() > MostUnanswered)
        m_unanswered.pop_front();
    finish(ModemAnswer::None);
}

void ModemExchange::finish(ModemAnswer answer)
{
    m_timeout.stop();
    const Handler handler = std::move(m_current->handler);
    const ModemReply reply{answer, m_lines};
    m_current.reset();
    m_lines.clear();
    // Never inside take(): the text that held the answer may hold a report
    // too, and the call comes first.
    m_delivering = true;
    QMetaObject::invokeMethod(
        this,
        [this, handler, reply, generation = m_generation] {
            if (generation != m_generation)
                return;
            m_delivering = false;
            handler(reply);
            if (!m_current && !m_delivering)
                sendNext();
        },
        Qt::QueuedConnection);
}

} // namespace corvane
