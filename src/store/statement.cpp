#include "store/statement.h"

#include "platform/failure.h"
#include "store/connection.h"

#include <sqlite3.h>

namespace corvane {

Statement::Statement(Connection &connection, const QString &sql) : m_db(connection.handle())
{
    const QByteArray text = sql.toUtf8();
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_stmt, &tail) != SQLITE_OK)
        fail();
    if (!m_stmt)
        throw Failure(QStringLiteral("Command text was not set for the command object"));
    const int rest = int(text.constData() + text.size() - tail);
    sqlite3_stmt *extra = nullptr;
    const bool refused = rest > 0 && sqlite3_prepare_v2(m_db, tail, rest, &extra, nullptr) != SQLITE_OK;
    if (refused || extra) {
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

void Statement::bind(const char *name, const std::optional<QString> &value)
{
    bind(indexOf(name), value);
}

void Statement::bind(const char *name, qint64 value)
{
    bind(indexOf(name), value);
}

bool Statement::hasParameter(const char *name) const
{
    return sqlite3_bind_parameter_index(m_stmt, name) != 0;
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

void Statement::run()
{
    while (step()) {
    }
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int Statement::changes() const
{
    return sqlite3_changes(m_db);
}

qint64 Statement::insertedKey() const
{
    return sqlite3_last_insert_rowid(m_db);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

std::optional<QString> Statement::text(int column) const
{
    if (sqlite3_column_type(m_stmt, column) == SQLITE_NULL)
        return std::nullopt;
    // Text first, then its length: the order SQLite asks for.
    const char *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column));
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

int Statement::indexOf(const char *name) const
{
    const int index = sqlite3_bind_parameter_index(m_stmt, name);
    if (index == 0)
        throw Failure(QStringLiteral("No parameter %1 in the statement").arg(QString::fromUtf8(name)));
    return index;
}

void Statement::fail() const
{
    throw Failure(QString::fromUtf8(sqlite3_errmsg(m_db)));
}

} // namespace corvane
