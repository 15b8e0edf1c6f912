#pragma once

#include <QList>
#include <QString>

namespace corvane {

class Connection;

// One call a caller made before: when (yyyy-MM-dd HH:mm:ss, the PC clock's)
// and what was noted.
struct EarlierCall
{
    QString taken;
    QString note;
};

// What table calls knows of a caller, for the record shown: a customer's last
// calls, how often a new number called. The call shown is left out by its
// token (none when empty), since it is no earlier call.
class CallHistory
{
public:
    explicit CallHistory(Connection &connection);

    // The customer's last `limit` calls, newest first.
    QList<EarlierCall> lastCalls(const QString &customerCode, const QString &shownToken, int limit);
    // How many calls came from numbers of this key; 0 for an empty key,
    // which withheld numbers share.
    qint64 callCount(const QString &numberKey, const QString &shownToken);

private:
    Connection &m_connection;
};

} // namespace corvane
