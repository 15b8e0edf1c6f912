#pragma once

#include "records/rowsource.h"

#include <QHash>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace corvane {

class Connection;

// A big result of one table opened without copying it: a second connection
// holds a read transaction, so the table stays exactly as it was at opening
// (WAL gives readers their own snapshot), and only the keys of the rows are
// listed up front. Rows are read by key when shown; the dataset's own changes
// lie over them. They come in the order the statement itself gives them, or in
// key order when SQLite would list the keys another way than it reads the rows
// and the statement walks the whole table.
//
// The price of the held snapshot is that the WAL file cannot be reset while it
// is open, so it is used only for results too big to copy quickly.
class SnapshotRows : public RowSource
{
public:
    // Results with fewer rows are simply copied (StoredRows).
    static constexpr int MinimumRows = 50'000;

    // A snapshot of "select * from <table>" or "select * from <table> where
    // ..." when the table has an integer key, the result at least MinimumRows
    // rows and a known order; else null.
    static std::unique_ptr<SnapshotRows> open(Connection &connection, const QString &sql);
    ~SnapshotRows() override;

    QStringList fields() const override;
    int size() const override;
    std::optional<QString> value(int row, int column) const override;
    void append(const RowValues &values) override;
    void replace(int row, const RowValues &values) override;
    void remove(int row) override;

private:
    SnapshotRows(sqlite3 *db, std::vector<qint64> keys, const QString &table, const QString &key);
    const RowValues &row(int row) const;

    // Rows read lately; the grid and the editors ask for the same rows often.
    static constexpr int CacheRows = 4096;

    sqlite3 *m_db;
    sqlite3_stmt *m_fetch = nullptr;
    QStringList m_fields;
    int m_keyColumn = -1;
    std::vector<qint64> m_keys;
    QHash<qint64, RowValues> m_own;
    mutable QHash<qint64, RowValues> m_cache;
    mutable RowValues m_unreadable;
};

} // namespace corvane
