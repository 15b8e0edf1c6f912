#include "records/dataset.h"

#include "platform/failure.h"
#include "records/connection.h"
#include "records/snapshotrows.h"
#include "records/statement.h"
#include "records/storedrows.h"
#include "records/tablekey.h"

#include <sqlite3.h>

#include <algorithm>

namespace corvane {

namespace {

QString keyCondition(const TableKey &target)
{
    return QStringLiteral(" WHERE ") + sqlName(target.key) + QStringLiteral("=?");
}

} // namespace

Dataset::Dataset(Connection &connection, const QString &designSql, QObject *parent)
    : QObject(parent), m_connection(connection), m_sql(designSql)
{
}

void Dataset::setSql(const QString &statement)
{
    close();
    m_sql = statement;
}

QString Dataset::sql() const
{
    return m_sql;
}

void Dataset::open()
{
    if (isOpen())
        return;
    std::unique_ptr<RowSource> rows = SnapshotRows::open(m_connection, m_sql);
    if (!rows)
        rows = std::make_unique<StoredRows>(m_connection.handle(), m_sql);
    m_rows = std::move(rows);
    m_fields = m_rows->fields();
    m_current = rowCount() > 0 ? 0 : -1;
    setState(State::Browse);
    Q_EMIT rowsChanged();
    Q_EMIT dataChanged();
}

void Dataset::close()
{
    if (!isOpen())
        return;
    m_rows.reset();
    m_fields.clear();
    m_pending.clear();
    m_changed.clear();
    m_current = -1;
    setState(State::Inactive);
    Q_EMIT rowsChanged();
    Q_EMIT dataChanged();
}

bool Dataset::isOpen() const
{
    return m_state != State::Inactive;
}

void Dataset::execute()
{
    Statement statement(m_connection.handle(), m_sql);
    while (statement.step()) {
    }
}

int Dataset::recordCount() const
{
    return rowCount();
}

int Dataset::recordNumber() const
{
    return m_current;
}

Dataset::State Dataset::state() const
{
    return m_state;
}

bool Dataset::isEditing() const
{
    return m_state == State::Edit || m_state == State::Insert;
}

bool Dataset::isModified() const
{
    return std::find(m_changed.begin(), m_changed.end(), true) != m_changed.end();
}

int Dataset::fieldIndex(const QString &field) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString Dataset::fieldText(const QString &field) const
{
    if (!isOpen())
        return {};
    const int column = requireField(field);
    if (isEditing())
        return m_pending[std::size_t(column)].value_or(QString());
    return m_current < 0 ? QString() : cellText(m_current, column);
}

void Dataset::setFieldText(const QString &field, const QString &value)
{
    requireOpen();
    if (!isEditing())
        throw Failure(QStringLiteral("Dataset not in edit or insert mode"));
    const auto column = std::size_t(requireField(field));
    if (m_pending[column].value_or(QString()) == value)
        return;
    m_pending[column] = value;
    m_changed[column] = true;
    Q_EMIT dataChanged();
}

QString Dataset::cellText(int row, int column) const
{
    return m_rows ? m_rows->value(row, column).value_or(QString()) : QString();
}

void Dataset::first()
{
    moveTo(0);
}

void Dataset::prior()
{
    moveTo(m_current - 1);
}

void Dataset::next()
{
    moveTo(m_current + 1);
}

void Dataset::last()
{
    moveTo(rowCount() - 1);
}

void Dataset::moveTo(int row)
{
    requireOpen();
    settle();
    if (row < 0 || row >= rowCount())
        return;
    setCurrent(row);
}

void Dataset::append()
{
    requireOpen();
    settle();
    m_pending.assign(std::size_t(m_fields.size()), std::nullopt);
    m_changed.assign(std::size_t(m_fields.size()), false);
    m_current = rowCount();
    setState(State::Insert);
    Q_EMIT dataChanged();
}

void Dataset::edit()
{
    requireOpen();
    if (isEditing())
        return;
    if (rowCount() == 0) {
        append();
        return;
    }
    m_pending = rowValues(m_current);
    m_changed.assign(std::size_t(m_fields.size()), false);
    setState(State::Edit);
}

void Dataset::post()
{
    requireOpen();
    if (!isEditing())
        return;
    sqlite3 *db = m_connection.handle();
    const TableKey target = tableKey(db, m_sql, m_fields);
    if (m_state == State::Insert)
        insertPending(db, target);
    else
        updatePending(db, target);
    m_pending.clear();
    m_changed.clear();
    setState(State::Browse);
    Q_EMIT rowsChanged();
    Q_EMIT dataChanged();
}

void Dataset::insertPending(sqlite3 *db, const TableKey &target)
{
    const int keyColumn = fieldIndex(target.key);
    QStringList names;
    QStringList marks;
    QList<int> columns;
    for (int c = 0; c < m_fields.size(); ++c) {
        if (!target.columns.contains(m_fields[c], Qt::CaseInsensitive) ||
            (c == keyColumn && !m_changed[std::size_t(c)]))
            continue;
        names.append(sqlName(m_fields[c]));
        marks.append(QStringLiteral("?"));
        columns.append(c);
    }
    const QString values = names.isEmpty() ? QStringLiteral(" DEFAULT VALUES")
                                           : QLatin1String(" (") + names.join(QLatin1Char(',')) +
                                                 QLatin1String(") VALUES (") + marks.join(QLatin1Char(',')) +
                                                 QLatin1Char(')');
    Statement insert(db, QStringLiteral("INSERT INTO ") + sqlName(target.table) + values);
    for (int i = 0; i < columns.size(); ++i)
        insert.bind(i + 1, m_pending[std::size_t(columns[i])]);
    insert.step();
    RowValues row = m_pending;
    row[std::size_t(keyColumn)] = QString::number(sqlite3_last_insert_rowid(db));
    m_rows->append(row);
    m_current = rowCount() - 1;
}

void Dataset::updatePending(sqlite3 *db, const TableKey &target)
{
    QStringList assignments;
    QList<int> columns;
    for (int c = 0; c < m_fields.size(); ++c) {
        if (!m_changed[std::size_t(c)] || !target.columns.contains(m_fields[c], Qt::CaseInsensitive))
            continue;
        assignments.append(sqlName(m_fields[c]) + QStringLiteral("=?"));
        columns.append(c);
    }
    if (!assignments.isEmpty()) {
        Statement update(db, QStringLiteral("UPDATE ") + sqlName(target.table) + QStringLiteral(" SET ") +
                                 assignments.join(QLatin1Char(',')) + keyCondition(target));
        for (int i = 0; i < columns.size(); ++i)
            update.bind(i + 1, m_pending[std::size_t(columns[i])]);
        update.bind(int(columns.size()) + 1, currentKey(target));
        update.step();
        // Another program deleted the row meanwhile: saying "saved" would be a lie.
        if (sqlite3_changes(db) == 0)
            throw Failure(QStringLiteral("Row cannot be located for updating. Some values may have been "
                                         "changed since it was last read"));
    }
    m_rows->replace(m_current, m_pending);
}

void Dataset::cancel()
{
    if (!isEditing())
        return;
    const bool inserting = m_state == State::Insert;
    m_pending.clear();
    m_changed.clear();
    if (inserting)
        m_current = rowCount() - 1;
    setState(State::Browse);
    Q_EMIT dataChanged();
}

void Dataset::remove()
{
    requireOpen();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    cancel();
    if (rowCount() == 0)
        throw Failure(QStringLiteral("Cannot perform this operation on an empty dataset"));
    sqlite3 *db = m_connection.handle();
    const TableKey target = tableKey(db, m_sql, m_fields);
    Statement remove(db, QStringLiteral("DELETE FROM ") + sqlName(target.table) + keyCondition(target));
    remove.bind(1, currentKey(target));
    remove.step();
    m_rows->remove(m_current);
    m_current = std::min(m_current, rowCount() - 1);
    Q_EMIT rowsChanged();
    Q_EMIT dataChanged();
}

qint64 Dataset::currentKey(const TableKey &target) const
{
    return cellText(m_current, fieldIndex(target.key)).toLongLong();
}

void Dataset::requireOpen() const
{
    if (!isOpen())
        throw Failure(QStringLiteral("Operation is not allowed when the object is closed"));
}

int Dataset::requireField(const QString &field) const
{
    const int column = fieldIndex(field);
    if (column < 0)
        throw Failure(
            QStringLiteral("Item cannot be found in the collection corresponding to the requested name "
                           "or ordinal: '%1'")
                .arg(field));
    return column;
}

// Leaving a pending row the way the program expects: a changed row is saved,
// an untouched one is dropped.
void Dataset::settle()
{
    if (!isEditing())
        return;
    if (isModified())
        post();
    else
        cancel();
}

void Dataset::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    Q_EMIT stateChanged();
}

void Dataset::setCurrent(int row)
{
    if (row == m_current)
        return;
    m_current = row;
    Q_EMIT dataChanged();
}

RowValues Dataset::rowValues(int row) const
{
    RowValues values;
    for (int c = 0; c < m_fields.size(); ++c)
        values.push_back(m_rows->value(row, c));
    return values;
}

int Dataset::rowCount() const
{
    return m_rows ? m_rows->size() : 0;
}

} // namespace corvane
