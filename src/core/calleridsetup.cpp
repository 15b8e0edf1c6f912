#include "core/calleridsetup.h"

#include "core/lineconfig.h"

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
    connect(&m_exchange, &ModemExchange::lateAnswer, this,
            [this](const QString &command, ModemAnswer answer, int afterMs) {
                m_late = LateAnswer{command, answer, afterMs};
            });
}

void CallerIdSetup::start(const QString &init, const QStringList &commands)
{
    m_exchange.cancel();
    m_commands = commands;
    m_tried.clear();
    m_late.reset();
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
    m_late.reset();
    m_exchange.ask(command, m_answerMs, [this, command, index](const ModemReply &reply) {
        if (reply.answer != ModemAnswer::None)
            tellIfLate(std::exchange(m_late, std::nullopt));
        if (reply.answer == ModemAnswer::Ok) {
            end(Result::On, command);
            return;
        }
        if (reply.answer == ModemAnswer::Error) {
            refused(index, command);
            return;
        }
        m_exchange.ask(QStringLiteral("AT"), m_answerMs, [this, command, index](const ModemReply &check) {
            afterCheck(index, command, check);
        });
    });
}

void CallerIdSetup::afterCheck(qsizetype index, const QString &command, const ModemReply &check)
{
    const std::optional<LateAnswer> late = std::exchange(m_late, std::nullopt);
    const bool lateForCommand = late && late->command == command;
    if (check.answer == ModemAnswer::None) {
        // Nothing the exchange still waits for will come: the modem is not
        // there, or the one answer was the check's and the command met silence.
        m_exchange.cancel();
        if (lateForCommand)
            refused(index, command);
        else
            end(Result::NoAnswer);
        return;
    }
    tellIfLate(late);
    if (lateForCommand && late->answer == ModemAnswer::Ok)
        end(Result::On, command);
    else
        refused(index, command);
}

void CallerIdSetup::tellIfLate(const std::optional<LateAnswer> &late)
{
    // Answered on time after the late one: slow, not silent.
    if (late)
        Q_EMIT answersLate(late->afterMs);
}

void CallerIdSetup::refused(qsizetype index, const QString &command)
{
    m_tried.append(command);
    tryCommand(index + 1);
}

void CallerIdSetup::end(Result result, const QString &command)
{
    Q_EMIT finished(result, command, m_tried);
}

} // namespace corvane
