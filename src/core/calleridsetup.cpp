#include "core/calleridsetup.h"

#include "core/lineconfig.h"
#include "core/modemexchange.h"

namespace corvane {

QStringList callerIdCommands(const QString &mode, const QString &remembered)
{
    const QString own = modeCommand(mode).trimmed();
    if (own.isEmpty())
        return {};
    const QString other =
        modeCommand(mode == QStringLiteral("制式1") ? QStringLiteral("制式2") : QStringLiteral("制式1"))
            .trimmed();
    QStringList commands;
    for (const QString &command : {remembered, own, QStringLiteral("AT+VCID=1"), QStringLiteral("AT#CID=1"),
                                   QStringLiteral("AT%CCID=1"), other}) {
        if (!command.isEmpty() && !commands.contains(command, Qt::CaseInsensitive))
            commands.append(command);
    }
    return commands;
}

CallerIdSetup::CallerIdSetup(ModemExchange &exchange, int answerMs, QObject *parent)
    : QObject(parent), m_exchange(exchange), m_answerMs(answerMs)
{
}

void CallerIdSetup::start(const QString &init, const QStringList &commands)
{
    m_exchange.cancel();
    m_commands = commands;
    m_tried.clear();
    if (init.isEmpty()) {
        tryCommand(0);
        return;
    }
    // Whatever the init string gets, the caller-ID command tells more.
    m_exchange.ask(init, m_answerMs, [this](const ModemReply &) { tryCommand(0); });
}

void CallerIdSetup::tryCommand(qsizetype index)
{
    if (index == m_commands.size()) {
        end(Result::Refused);
        return;
    }
    const QString command = m_commands.at(index);
    m_exchange.ask(command, m_answerMs, [this, command, index](const ModemReply &reply) {
        if (reply.answer == ModemAnswer::Ok) {
            end(Result::On, command);
            return;
        }
        if (reply.answer == ModemAnswer::Error) {
            m_tried.append(command);
            tryCommand(index + 1);
            return;
        }
        m_exchange.ask(QStringLiteral("AT"), m_answerMs, [this, command, index](const ModemReply &check) {
            if (check.answer == ModemAnswer::None) {
                end(Result::NoAnswer);
                return;
            }
            m_tried.append(command);
            tryCommand(index + 1);
        });
    });
}

void CallerIdSetup::end(Result result, const QString &command)
{
    Q_EMIT finished(result, command, m_tried);
}

} // namespace corvane
