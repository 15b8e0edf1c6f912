#include "records/snapshotrows.h"

#include "platform/failure.h"
#include "records/connection.h"
#include "records/keyedselect.h"
#include "records/keyorder.h"
#include "records/statement.h"
#include "records/tablekey.h"

#include <sqlite3.h>

#include <algorithm>

namespace corvane {

namespace {

[[noreturn]] void fail(sqlite3 *db)
{
    const QString message = QString::fromUtf8(sqlite3_errmsg(db));
    throw Failure(message);
}

// Closes the second connection when opening stops half way.
struct ReaderGuard
{
    sqlite3 *db = nullptr;
    ~ReaderGuard() { sqlite3_close_v2(db); }
};

// Few rows are quicker copied than listed on a connection of their own (the
// incoming-number lookup among them); counting stops at the threshold.
bool worthHolding(sqlite3 *db, const QString &keysSql)
{
    Statement keys(db, keysSql);
    int count = 0;
    while (count < SnapshotRows::MinimumRows && keys.step())
        ++count;
    return count == SnapshotRows::MinimumRows;
}

} // namespace

std::unique_ptr<SnapshotRows> SnapshotRows::open(Connection &connection, const QString &sql)
{
    const std::optional<KeyedSelect> select = keyedSelect(connection.handle(), sql);
    if (!select || !worthHolding(connection.handle(), select->keysSql))
        return nullptr;
    const KeyOrder order = keyOrder(connection.handle(), sql, select->keysSql);
    if (order == KeyOrder::Unknown)
        return nullptr;

    ReaderGuard reader;
    const QByteArray uri = sqliteUri(connection.databasePath()).toUtf8();
    if (sqlite3_open_v2(uri.constData(), &reader.db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
        fail(reader.db);
    sqlite3_busy_timeout(reader.db, Connection::BusyTimeoutMs);
    if (sqlite3_exec(reader.db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(reader.db);
    // The first read fixes the snapshot. Listing only the keys reads an index
    // instead of every row, which is several times quicker.
    std::vector<qint64> keys;
    {
        Statement list(reader.db, select->keysSql);
        while (list.step())
            keys.push_back(list.columnInt64(0));
    }
    if (order == KeyOrder::Ascending)
        std::sort(keys.begin(), keys.end());
    std::unique_ptr<SnapshotRows> rows(new SnapshotRows(std::exchange(reader.db, nullptr), std::move(keys),
                                                        select->target.table, select->target.key));
    return rows;
}

SnapshotRows::SnapshotRows(sqlite3 *db, std::vector<qint64> keys, const QString &table, const QString &key)
    : m_db(db), m_keys(std::move(keys))
{
    const QByteArray fetch = (QStringLiteral("select * from ") + sqlName(table) + QStringLiteral(" where ") +
                              sqlName(key) + QStringLiteral("=?"))
                                 .toUtf8();
    if (sqlite3_prepare_v2(m_db, fetch.constData(), int(fetch.size()), &m_fetch, nullptr) != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_close_v2(m_db);
        throw Failure(message);
    }
    for (int c = 0; c < sqlite3_column_count(m_fetch); ++c) {
        m_fields.append(QString::fromUtf8(sqlite3_column_name(m_fetch, c)));
        if (m_fields.back().compare(key, Qt::CaseInsensitive) == 0)
            m_keyColumn = c;
    }
}

SnapshotRows::~SnapshotRows()
{
    sqlite3_finalize(m_fetch);
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(m_db);
}

QStringList SnapshotRows::fields() const
{
    return m_fields;
}

int SnapshotRows::size() const
{
    return int(m_keys.size());
}

std::optional<QString> SnapshotRows::value(int row, int column) const
{
    return this->row(row).at(std::size_t(column));
}

const RowValues &SnapshotRows::row(int row) const
{
    const qint64 key = m_keys.at(std::size_t(row));
    if (const auto own = m_own.constFind(key); own != m_own.cend())
        return *own;
    if (const auto cached = m_cache.constFind(key); cached != m_cache.cend())
        return *cached;
    if (m_cache.size() >= CacheRows)
        m_cache.clear();
    RowValues values(std::size_t(m_fields.size()));
    sqlite3_reset(m_fetch);
    sqlite3_bind_int64(m_fetch, 1, key);
    // Rows are read while painting grids, where nothing may throw: a row the
    // held snapshot cannot read (an I/O error) shows empty and is tried again
    // the next time; an edit of it writes only the fields typed.
    if (sqlite3_step(m_fetch) != SQLITE_ROW) {
        sqlite3_reset(m_fetch);
        m_unreadable.assign(std::size_t(m_fields.size()), std::nullopt);
        return m_unreadable;
    }
    for (int c = 0; c < m_fields.size(); ++c) {
        if (sqlite3_column_type(m_fetch, c) == SQLITE_NULL)
            continue;
        const char *text = reinterpret_cast<const char *>(sqlite3_column_text(m_fetch, c));
        values[std::size_t(c)] = QString::fromUtf8(text, sqlite3_column_bytes(m_fetch, c));
    }
    sqlite3_reset(m_fetch);
    return *m_cache.insert(key, values);
}

void SnapshotRows::append(const RowValues &values)
{
    const qint64 key = values.at(std::size_t(m_keyColumn)).value_or(QString()).toLongLong();
    m_keys.push_back(key);
    m_own.insert(key, values);
}

void SnapshotRows::replace(int row, const RowValues &values)
{
    m_own.insert(m_keys.at(std::size_t(row)), values);
}

void SnapshotRows::remove(int row)
{
    m_own.remove(m_keys.at(std::size_t(row)));
    m_keys.erase(m_keys.begin() + row);
}

} // namespace corvane
