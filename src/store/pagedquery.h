#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace corvane {

class Connection;
class Statement;

// One row's values in the order of the query's fields; std::nullopt for NULL.
using Record = std::vector<std::optional<QString>>;

// What a store's query reads: names and conditions the store writes itself,
// and the values they take, which are bound, never written into the text.
struct QueryShape
{
    QString table;
    QStringList fields;                           // the key "id" among them
    QStringList order;                            // the columns ordering the rows, ending with the key
    QString condition;                            // empty, or a condition naming its values (":code"; names
                                                  // starting ":page" are the paging's own)
    QList<std::pair<QByteArray, QString>> values; // bound by name
    // Conditions that split the rows `condition` leaves out into disjoint
    // parts, each counted quickly from an index whenever `condition` holds for
    // at least one row; empty when there are none such.
    QStringList outside;
    // Runs after every insert and update, in the same transaction, with the
    // key of the row written: brings up to date what the store keeps beside
    // the table (the customers' number keys). Empty when there is nothing such.
    std::function<void(Connection &, qint64 key)> afterWrite = {};
    // The rows run from the highest values of `order` down (newest first).
    bool descending = false;
};

// A query over one table that the windows page through, so a result of ten
// million rows costs only the rows on screen. Every read is a statement of its
// own and ends its read transaction at once: nothing held open keeps the
// write-ahead log from being reset. start() fixes which rows belong to the
// result: rows added afterwards, by anyone, are not read.
class PagedQuery
{
public:
    enum class Direction { Forward, Backward };

    PagedQuery(Connection &connection, QueryShape shape);

    const QStringList &fields() const;
    int keyColumn() const;

    struct Start
    {
        qint64 count;
        std::vector<Record> firstRows;
    };
    // Counts the rows there are now and reads them all when there are at most
    // `whole`, else the first `page` of them, in one view of the database;
    // later reads see no row added after this.
    Start start(int whole, int page);
    // Fixes the rows of the result as start() does and reads the first `page`
    // of them, without counting: for a list read further as it is scrolled,
    // where a count of millions of rows would cost more than the rows shown.
    std::vector<Record> first(int page);
    // Up to `limit` rows in order (or in reverse order, backward), skipping
    // `skip` rows first. With `from` the reading starts just past that row.
    std::vector<Record> read(const Record *from, Direction direction, qint64 skip, int limit);

    struct Located
    {
        qint64 position;
        Record row;
    };
    // Where the row of `key` stands in the result, and its values; nothing
    // when it is not part of it. Counts the rows before it.
    std::optional<Located> locate(qint64 key);

    // Writes a new row from the fields `given` marks; returns its key.
    qint64 insert(const Record &values, const std::vector<bool> &given);
    // Writes the fields `changed` marks into the row of `key`; false when
    // that row no longer exists.
    bool update(qint64 key, const Record &values, const std::vector<bool> &changed);
    void remove(qint64 key);

private:
    QString orderBy(Direction direction) const;
    // The rows of the result are those there are now: none added later.
    void fixLastKey();
    // The condition that a row comes after (or before, backward) the row
    // `from` in the result's order, and the binding of its values.
    QString beyond(Direction direction) const;
    void bindAnchor(Statement &statement, const Record &from) const;
    void bindValues(Statement &statement) const;
    // Runs `write`, which answers the key of the row it wrote, and the
    // shape's afterWrite as one change: in the caller's transaction when one
    // is open, else in one of its own.
    void writeTogether(const std::function<qint64()> &write);
    qint64 count(const QString &where);

    Connection &m_connection;
    QueryShape m_shape;
    int m_keyColumn;
    std::vector<int> m_orderColumns;
    qint64 m_lastKey = 0;
};

} // namespace corvane
