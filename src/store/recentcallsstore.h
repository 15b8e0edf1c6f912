#pragma once

#include "store/pagedquery.h"

#include <QDate>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace corvane {

class Connection;

// What the recent-calls list is narrowed to; every part that is set applies.
struct RecentCallsFilter
{
    bool today = false;
    bool notHandled = false;
    QDate first; // a date range on the time taken, both days included; null for none
    QDate last;
    QString number;       // found by its number key, however it is written; empty for any
    QString customerCode; // the customer a call was logged for; empty for any
};

// Table calls as the recent-calls window and its export read it: newest
// first, each call with the name of its customer, and the note and handled
// mark the user keeps on it.
class RecentCallsStore
{
public:
    // The fields of every row the query reads, by position.
    enum Field { Id, Taken, Number, Handled, Note, CustomerCode, CustomerName, FoundCode, FoundId };

    explicit RecentCallsStore(Connection &connection);

    // The customer of a call is the one of its customer code, or else the one
    // its number key finds now, so that a number saved after its call shows
    // its customer (FoundId, FoundCode, CustomerName); none for a new number.
    // With `afterId`, only the calls written after that one, wherever their
    // time puts them: the PC clock may have gone back.
    std::unique_ptr<PagedQuery> calls(const RecentCallsFilter &filter, const QDate &today,
                                      qint64 afterId = 0);

    // Saves `note` only over `startedFrom`, the note its editor began with,
    // so that one desk never writes over what another saved meanwhile. The
    // note the call holds afterwards (another desk's when it differs from
    // `note`); nothing when the call is no longer there.
    std::optional<QString> saveNote(qint64 id, const QString &startedFrom, const QString &note);
    // False when the call is no longer there.
    bool saveHandled(qint64 id, bool handled);

    // What the user keeps on a call, as it stands now.
    struct Marks
    {
        qint64 id;
        std::optional<QString> handled; // as the rows of calls() hold it
        std::optional<QString> note;
    };
    // The marks of those of `ids` still there, so a list shows what another
    // desk or program saved on the calls it holds.
    std::vector<Marks> marks(const std::vector<qint64> &ids);

private:
    Connection &m_connection;
};

} // namespace corvane
