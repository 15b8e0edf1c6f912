#include "records/statement.h"

#include "platform/failure.h"

#include <sqlite3.h>

namespace corvane {

Statement::Statement(sqlite3 *db, const QString &sql) : m_db(db)
{
    const QByteArray text = sql.toUtf8();
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_stmt, &tail) != SQLITE_OK)
        fail();
    if (!m_stmt)
        throw Failure(QStringLiteral("Command text was not set for the command object"));
    const int rest = int(text.constData() + text.size() - tail);
    sqlite3_stmt *extra = nullptr;
    if (rest > 0 && sqlite3_prepare_v2(db, tail, rest, &extra, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        throw Failure(QStringLiteral("Characters found after end of SQL statement"));
    }
    if (extra) {
        sqlite3_finalize(extra);
        sqlite3_finalize(m_stmt);
        throw Failure(QStringLiteral("Characters found after end of SQL statement"));
    }
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::bind(int index, const std::optional<QString> &value)
{
    int rc;
    if (value) {
        const QByteArray bytes = value->toUtf8();
        rc = sqlite3_bind_text(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    } else {
        rc = sqlite3_bind_null(m_stmt, index);
    }
    if (rc != SQLITE_OK)
        fail();
}

void Statement::bind(int index, qint64 value)
{
    if (sqlite3_bind_int64(m_stmt, index, value) != SQLITE_OK)
        fail();
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail();
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

std::optional<QByteArrayView> Statement::column(int column) const
{
    if (sqlite3_column_type(m_stmt, column) == SQLITE_NULL)
        return std::nullopt;
    // Text first, then its length: the order SQLite asks for.
    const char *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QByteArrayView(text, sqlite3_column_bytes(m_stmt, column));
}

qint64 Statement::columnInt64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

void Statement::fail() const
{
    throw Failure(QString::fromUtf8(sqlite3_errmsg(m_db)));
}

} // namespace corvane
