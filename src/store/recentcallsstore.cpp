#include "store/recentcallsstore.h"

#include "store/numberkey.h"
#include "store/statement.h"

#include <QStringList>

#include <algorithm>

namespace corvane {

namespace {

// taken holds yyyy-MM-dd HH:mm:ss text, which sorts as the times do: a day is
// the text from its midnight up to the next one, which keeps to the index.
QString midnight(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00");
}

// The customer a call's own code names, else the one its number key finds:
// a field of theirs, one row at a time (only the rows of a page are read).
QString customerOf(const QString &column, const QString &as)
{
    return QStringLiteral("(SELECT %1 FROM customer WHERE customer.id = coalesce((SELECT id FROM customer "
                          "WHERE customer.customercode = calls.customercode ORDER BY id LIMIT 1), (SELECT "
                          "customerid FROM customer_key WHERE customer_key.numberkey = calls.numberkey AND "
                          "calls.numberkey <> '' ORDER BY customerid LIMIT 1))) AS %2")
        .arg(column, as);
}

} // namespace

RecentCallsStore::RecentCallsStore(Connection &connection) : m_connection(connection) {}

std::unique_ptr<PagedQuery> RecentCallsStore::calls(const RecentCallsFilter &filter, const QDate &today,
                                                    qint64 afterId)
{
    QueryShape shape{QStringLiteral("calls"),
                     {QStringLiteral("id"), QStringLiteral("taken"), QStringLiteral("number"),
                      QStringLiteral("handled"), QStringLiteral("note"), QStringLiteral("customercode"),
                      customerOf(QStringLiteral("customername"), QStringLiteral("customername")),
                      customerOf(QStringLiteral("customercode"), QStringLiteral("foundcode")),
                      customerOf(QStringLiteral("id"), QStringLiteral("foundid"))},
                     {QStringLiteral("taken"), QStringLiteral("id")},
                     {},
                     {},
                     {}};
    shape.descending = true;
    QStringList conditions;
    const auto require = [&](const QString &condition, const QByteArray &name, const QString &value) {
        conditions.append(condition);
        shape.values.append({name, value});
    };
    if (filter.today) {
        require(QStringLiteral("taken >= :today"), ":today", midnight(today));
        require(QStringLiteral("taken < :tomorrow"), ":tomorrow", midnight(today.addDays(1)));
    }
    if (filter.first.isValid())
        require(QStringLiteral("taken >= :first"), ":first", midnight(filter.first));
    if (filter.last.isValid())
        require(QStringLiteral("taken < :afterLast"), ":afterLast", midnight(filter.last.addDays(1)));
    if (filter.notHandled)
        conditions.append(QStringLiteral("handled = 0"));
    if (!filter.number.trimmed().isEmpty()) {
        // A withheld number has no key: it is found as the line reported it.
        const QString key = numberKey(filter.number);
        if (key.isEmpty())
            require(QStringLiteral("numberkey = '' AND number = :number"), ":number",
                    filter.number.trimmed());
        else
            require(QStringLiteral("numberkey = :numberkey"), ":numberkey", key);
    }
    if (!filter.customerCode.isEmpty())
        require(QStringLiteral("customercode = :code"), ":code", filter.customerCode);
    if (afterId > 0)
        require(QStringLiteral("id > :afterId"), ":afterId", QString::number(afterId));
    shape.condition = conditions.join(QStringLiteral(" AND "));
    return std::make_unique<PagedQuery>(m_connection, shape);
}

std::optional<QString> RecentCallsStore::saveNote(qint64 id, const QString &startedFrom, const QString &note)
{
    Statement save(m_connection,
                   QStringLiteral("UPDATE calls SET note = ? WHERE id = ? AND coalesce(note, '') = ?"));
    save.bind(1, note);
    save.bind(2, id);
    save.bind(3, startedFrom);
    save.run();
    if (save.changes() > 0)
        return note;
    Statement now(m_connection, QStringLiteral("SELECT coalesce(note, '') FROM calls WHERE id = ?"));
    now.bind(1, id);
    if (!now.step())
        return std::nullopt;
    return now.text(0).value_or(QString());
}

bool RecentCallsStore::saveHandled(qint64 id, bool handled)
{
    Statement save(m_connection, QStringLiteral("UPDATE calls SET handled = ? WHERE id = ?"));
    save.bind(1, qint64(handled ? 1 : 0));
    save.bind(2, id);
    save.run();
    return save.changes() > 0;
}

std::vector<RecentCallsStore::Marks> RecentCallsStore::marks(const std::vector<qint64> &ids)
{
    // A statement of a bounded number of values, as every engine takes them.
    constexpr std::size_t Chunk = 100;
    std::vector<Marks> found;
    for (std::size_t first = 0; first < ids.size(); first += Chunk) {
        const std::size_t count = std::min(Chunk, ids.size() - first);
        QStringList places(qsizetype(count), QStringLiteral("?"));
        Statement read(
            m_connection,
            QStringLiteral("SELECT id, handled, note FROM calls WHERE id IN (%1)").arg(places.join(u',')));
        for (std::size_t i = 0; i < count; ++i)
            read.bind(int(i + 1), ids[first + i]);
        while (read.step())
            found.push_back({read.integer(0), read.text(1), read.text(2)});
    }
    return found;
}

} // namespace corvane
