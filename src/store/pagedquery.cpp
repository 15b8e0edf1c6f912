#include "store/pagedquery.h"

#include "store/connection.h"
#include "store/engine.h"
#include "store/statement.h"
#include "store/transaction.h"

namespace corvane {

namespace {

const QString Key = QStringLiteral("id");

QByteArray anchorName(qsizetype i)
{
    return ":pageFrom" + QByteArray::number(i);
}

} // namespace

PagedQuery::PagedQuery(Connection &connection, QueryShape shape)
    : m_connection(connection), m_shape(std::move(shape)), m_keyColumn(int(m_shape.fields.indexOf(Key)))
{
    for (const QString &column : std::as_const(m_shape.order))
        m_orderColumns.push_back(int(m_shape.fields.indexOf(column)));
}

const QStringList &PagedQuery::fields() const
{
    return m_shape.fields;
}

int PagedQuery::keyColumn() const
{
    return m_keyColumn;
}

PagedQuery::Start PagedQuery::start(int whole, int page)
{
    // Counting a year of ten million calls row by row takes most of a second.
    // Counting stops early instead; a result as big as that is counted as
    // the whole table (a bare count(*) is read from the smallest index) less
    // the few rows outside it.
    constexpr qint64 DirectCount = 200'000;
    Transaction view(m_connection, Transaction::Kind::Read);
    fixLastKey();
    qint64 rows = 0;
    if (m_shape.condition.isEmpty()) {
        rows = count({});
    } else {
        const QString limit =
            m_shape.outside.isEmpty() ? QString() : QStringLiteral(" LIMIT ") + QString::number(DirectCount);
        rows = count(QStringLiteral(" WHERE ") + m_shape.condition + limit);
        if (rows == DirectCount && !m_shape.outside.isEmpty()) {
            rows = count({});
            for (const QString &part : std::as_const(m_shape.outside))
                rows -= count(QStringLiteral(" WHERE ") + part);
        }
    }
    Start start{rows, read(nullptr, Direction::Forward, 0, rows <= whole ? whole : page)};
    view.commit();
    return start;
}

std::vector<Record> PagedQuery::first(int page)
{
    Transaction view(m_connection, Transaction::Kind::Read);
    fixLastKey();
    std::vector<Record> rows = read(nullptr, Direction::Forward, 0, page);
    view.commit();
    return rows;
}

void PagedQuery::fixLastKey()
{
    Statement last(m_connection, QStringLiteral("SELECT max(id) FROM ") + m_shape.table);
    m_lastKey = last.step() ? last.integer(0) : 0;
}

qint64 PagedQuery::count(const QString &where)
{
    // Counted from a subquery, so that a LIMIT in `where` bounds the rows walked.
    const QString sql = where.isEmpty() ? QString(QStringLiteral("SELECT count(*) FROM ") + m_shape.table)
                                        : QString(QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM ") +
                                                  m_shape.table + where + QStringLiteral(") AS counted"));
    Statement count(m_connection, sql);
    bindValues(count);
    return count.step() ? count.integer(0) : 0;
}

void PagedQuery::bindValues(Statement &statement) const
{
    for (const auto &[name, value] : std::as_const(m_shape.values)) {
        if (statement.hasParameter(name.constData()))
            statement.bind(name.constData(), value);
    }
}

std::vector<Record> PagedQuery::read(const Record *from, Direction direction, qint64 skip, int limit)
{
    QString sql = QStringLiteral("SELECT ") + m_shape.fields.join(QLatin1Char(',')) +
                  QStringLiteral(" FROM ") + m_shape.table + QStringLiteral(" WHERE id <= :pageLastKey");
    if (!m_shape.condition.isEmpty())
        sql += QStringLiteral(" AND (") + m_shape.condition + QLatin1Char(')');
    if (from)
        sql += QStringLiteral(" AND ") + beyond(direction);
    sql += orderBy(direction) + QStringLiteral(" LIMIT :pageLimit OFFSET :pageSkip");

    Statement select(m_connection, sql);
    select.bind(":pageLastKey", m_lastKey);
    bindValues(select);
    if (from)
        bindAnchor(select, *from);
    select.bind(":pageLimit", qint64(limit));
    select.bind(":pageSkip", skip);
    std::vector<Record> rows;
    while (select.step()) {
        Record row(std::size_t(m_shape.fields.size()));
        for (int c = 0; c < m_shape.fields.size(); ++c)
            row[std::size_t(c)] = select.text(c);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::optional<PagedQuery::Located> PagedQuery::locate(qint64 key)
{
    QString where = QStringLiteral(" WHERE id <= :pageLastKey");
    if (!m_shape.condition.isEmpty())
        where += QStringLiteral(" AND (") + m_shape.condition + QLatin1Char(')');
    Transaction view(m_connection, Transaction::Kind::Read);
    Statement select(m_connection, QStringLiteral("SELECT ") + m_shape.fields.join(QLatin1Char(',')) +
                                       QStringLiteral(" FROM ") + m_shape.table + where +
                                       QStringLiteral(" AND id = :pageKey"));
    select.bind(":pageLastKey", m_lastKey);
    select.bind(":pageKey", key);
    bindValues(select);
    if (!select.step())
        return std::nullopt;
    Located found{0, Record(std::size_t(m_shape.fields.size()))};
    for (int c = 0; c < m_shape.fields.size(); ++c)
        found.row[std::size_t(c)] = select.text(c);
    Statement before(m_connection, QStringLiteral("SELECT count(*) FROM ") + m_shape.table + where +
                                       QStringLiteral(" AND ") + beyond(Direction::Backward));
    before.bind(":pageLastKey", m_lastKey);
    bindValues(before);
    bindAnchor(before, found.row);
    found.position = before.step() ? before.integer(0) : 0;
    view.commit();
    return found;
}

QString PagedQuery::beyond(Direction direction) const
{
    QStringList anchors;
    for (qsizetype i = 0; i < m_shape.order.size(); ++i)
        anchors.append(QString::fromLatin1(anchorName(i)));
    const bool upwards = (direction == Direction::Forward) != m_shape.descending;
    return QLatin1Char('(') + m_shape.order.join(QLatin1Char(',')) +
           (upwards ? QStringLiteral(") > (") : QStringLiteral(") < (")) + anchors.join(QLatin1Char(',')) +
           QLatin1Char(')');
}

void PagedQuery::bindAnchor(Statement &statement, const Record &from) const
{
    for (std::size_t i = 0; i < m_orderColumns.size(); ++i) {
        const std::optional<QString> &value = from.at(std::size_t(m_orderColumns[i]));
        const QByteArray name = anchorName(qsizetype(i));
        // The key is an integer column: compared as text it would sort "10" before "9".
        if (m_orderColumns[i] == m_keyColumn)
            statement.bind(name.constData(), value.value_or(QString()).toLongLong());
        else
            statement.bind(name.constData(), value);
    }
}

QString PagedQuery::orderBy(Direction direction) const
{
    const bool upwards = (direction == Direction::Forward) != m_shape.descending;
    const QString way = upwards ? QString() : QStringLiteral(" DESC");
    QStringList terms;
    for (const QString &column : m_shape.order)
        terms.append(column + way);
    return QStringLiteral(" ORDER BY ") + terms.join(QLatin1Char(','));
}

qint64 PagedQuery::insert(const Record &values, const std::vector<bool> &given)
{
    QStringList names;
    QStringList marks;
    for (int c = 0; c < m_shape.fields.size(); ++c) {
        if (!given[std::size_t(c)])
            continue;
        names.append(m_shape.fields[c]);
        marks.append(QStringLiteral("?"));
    }
    const QString rest = names.isEmpty() ? QStringLiteral(" DEFAULT VALUES")
                                         : QStringLiteral(" (") + names.join(QLatin1Char(',')) +
                                               QStringLiteral(") VALUES (") + marks.join(QLatin1Char(',')) +
                                               QLatin1Char(')');
    qint64 key = 0;
    writeTogether([&] {
        Statement insert(m_connection, QStringLiteral("INSERT INTO ") + m_shape.table + rest +
                                           QStringLiteral(" RETURNING id"));
        int index = 0;
        for (int c = 0; c < m_shape.fields.size(); ++c) {
            if (given[std::size_t(c)])
                insert.bind(++index, values[std::size_t(c)]);
        }
        key = insert.step() ? insert.integer(0) : 0;
        insert.run();
        return key;
    });
    return key;
}

bool PagedQuery::update(qint64 key, const Record &values, const std::vector<bool> &changed)
{
    QStringList assignments;
    for (int c = 0; c < m_shape.fields.size(); ++c) {
        if (changed[std::size_t(c)])
            assignments.append(m_shape.fields[c] + QStringLiteral("=?"));
    }
    if (assignments.isEmpty())
        return true;
    bool found = false;
    writeTogether([&] {
        Statement update(m_connection, QStringLiteral("UPDATE ") + m_shape.table + QStringLiteral(" SET ") +
                                           assignments.join(QLatin1Char(',')) +
                                           QStringLiteral(" WHERE id=?"));
        int index = 0;
        for (int c = 0; c < m_shape.fields.size(); ++c) {
            if (changed[std::size_t(c)])
                update.bind(++index, values[std::size_t(c)]);
        }
        update.bind(++index, key);
        update.run();
        found = update.changes() > 0;
        return key;
    });
    return found;
}

void PagedQuery::writeTogether(const std::function<qint64()> &write)
{
    if (!m_shape.afterWrite) {
        write();
        return;
    }
    std::optional<Transaction> own;
    if (!m_connection.engine().inTransaction())
        own.emplace(m_connection);
    const qint64 key = write();
    m_shape.afterWrite(m_connection, key);
    if (own)
        own->commit();
}

void PagedQuery::remove(qint64 key)
{
    Statement remove(m_connection,
                     QStringLiteral("DELETE FROM ") + m_shape.table + QStringLiteral(" WHERE id=?"));
    remove.bind(1, key);
    remove.run();
}

} // namespace corvane
