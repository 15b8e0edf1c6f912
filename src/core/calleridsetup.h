#pragma once

#include "core/modemexchange.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

// The commands that switch caller ID on, in the order they are tried, each
// without its carriage return: the one this port's modem took last time when
// there is one, the mode's own, then the ones modems use (ITU V.253's
// AT+VCID=1, AT#CID=1, AT%CCID=1) and the other mode's. None comes twice:
// modems read commands without regard to case. Empty for an unknown mode,
// which sends nothing.
QStringList callerIdCommands(const QString &mode, const QString &remembered);

// Switches the modem's caller ID on: the init string first when there is
// one, then each command in turn until the modem answers one with OK. A
// command met with silence is followed by a bare AT, answered before the
// next command goes: a modem that answers that is only refusing, one that
// does not is not there. An answer to the command that comes while the AT
// waits is the command's own only when the AT's follows it; a modem without
// echo may have given the AT's alone.
class CallerIdSetup : public QObject
{
    Q_OBJECT
public:
    enum class Result { On, Refused, NoAnswer };

    CallerIdSetup(ModemExchange &exchange, int answerMs, QObject *parent = nullptr);

    // Starts afresh; a set-up under way is dropped.
    void start(const QString &init, const QStringList &commands);

Q_SIGNALS:
    // command: the one taken (On); tried: the ones refused (Refused).
    void finished(CallerIdSetup::Result result, const QString &command, const QStringList &tried);
    // The modem answers, but only after its answers were given up on.
    void answersLate(int afterMs);

private:
    struct LateAnswer
    {
        QString command;
        ModemAnswer answer = ModemAnswer::None;
        int afterMs = 0;
    };

    void tryCommand(qsizetype index);
    void afterCheck(qsizetype index, const QString &command, const ModemReply &check);
    void tellIfLate(const std::optional<LateAnswer> &late);
    void refused(qsizetype index, const QString &command);
    void end(Result result, const QString &command = {});

    ModemExchange &m_exchange;
    int m_answerMs;
    QStringList m_commands;
    QStringList m_tried;
    // What came for the command given up on while its check waited.
    std::optional<LateAnswer> m_late;
};

} // namespace corvane
