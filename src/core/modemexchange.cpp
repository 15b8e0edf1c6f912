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

// What a modem sends of its own accord, answering nothing.
bool unasked(const QString &upper)
{
    static const QStringList ReportFields = {QStringLiteral("DATE"), QStringLiteral("TIME"),
                                             QStringLiteral("NMBR"), QStringLiteral("NAME")};
    return upper == QLatin1String("RING") ||
           std::any_of(ReportFields.begin(), ReportFields.end(),
                       [&upper](const QString &field) { return upper.startsWith(field); });
}

} // namespace

ModemExchange::ModemExchange(SerialControl &port, QObject *parent) : QObject(parent), m_port(port)
{
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        if (m_port.isOpen())
            finish(ModemAnswer::None);
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
    m_partial.clear();
    m_lines.clear();
    try {
        m_port.output(m_current->command + QLatin1Char('\r'));
    } catch (const Failure &) {
        // The device went away: the line says so itself.
        cancel();
        return;
    }
    m_timeout.start(m_current->timeoutMs);
}

void ModemExchange::take(const QString &text)
{
    if (!m_current)
        return;
    m_partial += text;
    static const QRegularExpression LineEnd(QStringLiteral("[\r\n]"));
    qsizetype end;
    while (m_current && (end = m_partial.indexOf(LineEnd)) >= 0) {
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
    if (upper == QLatin1String("OK"))
        finish(ModemAnswer::Ok);
    else if (upper == QLatin1String("ERROR"))
        finish(ModemAnswer::Error);
    else if (upper != m_current->command.toUpper() && !unasked(upper) && m_lines.size() < MostLines)
        m_lines.append(line);
}

void ModemExchange::finish(ModemAnswer answer)
{
    m_timeout.stop();
    const Handler handler = std::move(m_current->handler);
    const ModemReply reply{answer, m_lines};
    m_current.reset();
    m_partial.clear();
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
