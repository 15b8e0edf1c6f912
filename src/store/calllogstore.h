#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QDate;

namespace corvane {

class Connection;
class PagedQuery;

// One row of the call log: what was shown for a call from a known customer.
struct CallLogRow
{
    QString adate;
    QString atime;
    QString tel;
    QString customercode;
    QString customername;
};

// Table detail, the call log.
class CallLogStore
{
public:
    explicit CallLogStore(Connection &connection);

    void logCall(const CallLogRow &row);
    // Logs a row kept in the journal unless the row of this token was logged
    // already, and returns it as logged; nothing when it was logged before.
    // Run inside a transaction, so that the row and its token are written
    // together: a kept row is never logged twice. A row with neither customer
    // code nor name is logged only for a customer: unless `numberLookedUp`
    // (the call was a new number), it takes them from the customer its number
    // finds (CustomerStore::customerByTel with `areaCode`).
    std::optional<CallLogRow> logKeptCall(const QString &token, const CallLogRow &row,
                                          const QString &areaCode = {}, bool numberLookedUp = false);
    // Forgets these tokens once no journal holds their rows any more.
    void forgetKeptCalls(const QStringList &tokens);
    // The calls from `first` to `last`, both included, in date order; only
    // those of customer `code` when it is not empty (used as typed).
    std::unique_ptr<PagedQuery> callsBetween(const QDate &first, const QDate &last, const QString &code);

private:
    Connection &m_connection;
};

} // namespace corvane
