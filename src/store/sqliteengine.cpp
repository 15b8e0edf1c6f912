#include "store/sqliteengine.h"

#include "platform/failure.h"
#include "store/customerkeys.h"
#include "store/schemaupgrade.h"

#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

namespace corvane {

namespace {

QString openFailure(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot open database '%1': %2").arg(path, reason);
}

// mode=rw: open read-write and never create; the program must not make an
// empty tel.mdb where the user's file has gone missing.
QByteArray uriOf(const QString &path)
{
    return (QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw")).toUtf8();
}

class SqliteStatement : public EngineStatement
{
public:
    SqliteStatement(sqlite3 *db, const QString &sql) : m_db(db)
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
    ~SqliteStatement() override { sqlite3_finalize(m_stmt); }
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    void bind(int index, const std::optional<QString> &value) override
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

    void bind(int index, qint64 value) override
    {
        if (sqlite3_bind_int64(m_stmt, index, value) != SQLITE_OK)
            fail();
    }

    int parameterIndex(const char *name) const override { return sqlite3_bind_parameter_index(m_stmt, name); }

    bool step() override
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        fail();
    }

    void reset() override
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }

    int changes() const override { return sqlite3_changes(m_db); }
    int columnCount() const override { return sqlite3_column_count(m_stmt); }

    std::optional<QString> text(int column) const override
    {
        if (sqlite3_column_type(m_stmt, column) == SQLITE_NULL)
            return std::nullopt;
        // Text first, then its length: the order SQLite asks for.
        const char *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column));
    }

    qint64 integer(int column) const override { return sqlite3_column_int64(m_stmt, column); }

private:
    [[noreturn]] void fail() const { throw Failure(QString::fromUtf8(sqlite3_errmsg(m_db))); }

    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace

SqliteEngine::SqliteEngine(const QString &path, const QString &vfs, int busyTimeoutMs)
    : m_busyTimeoutMs(busyTimeoutMs)
{
    if (path.isEmpty())
        throw Failure(QStringLiteral("No database file has been set"));
    if (!QFileInfo(path).isFile())
        throw Failure(QStringLiteral("Could not find file '%1'").arg(path));
    const QByteArray vfsName = vfs.toUtf8();
    const int opened =
        sqlite3_open_v2(uriOf(path).constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI,
                        vfs.isEmpty() ? nullptr : vfsName.constData());
    if (opened != SQLITE_OK) {
        const QString reason =
            m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(opened));
        sqlite3_close_v2(m_db);
        throw Failure(openFailure(path, reason));
    }
    sqlite3_busy_timeout(m_db, m_busyTimeoutMs);
    // WAL lets other processes read while we write; FULL makes a returned save
    // survive a power cut. Reading the journal mode also proves it is a database.
    // Checkpointing every 256 pages rather than every 1000 keeps the log file,
    // which never shrinks below the size it once reached, near 1 MB.
    for (const char *pragma :
         {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL", "PRAGMA wal_autocheckpoint=256"}) {
        if (sqlite3_exec(m_db, pragma, nullptr, nullptr, nullptr) != SQLITE_OK) {
            const QString reason = QString::fromUtf8(sqlite3_errmsg(m_db));
            sqlite3_close_v2(m_db);
            throw Failure(openFailure(path, reason));
        }
    }
    try {
        bringUpToDate();
    } catch (const Failure &failure) {
        sqlite3_close_v2(m_db);
        throw Failure(openFailure(path, failure.message()));
    }
}

void SqliteEngine::bringUpToDate()
{
    m_schemaBehind = schemaBehind(*this, SqlDialect::Sqlite);
    if (!m_schemaBehind && !hasUnkeyedCustomers(*this))
        return;
    // Never waits for a file another program is writing, and never fails the
    // opening: the first write transaction adds what the file lacks, and the
    // lookup finds customers not yet keyed all the same.
    sqlite3_busy_timeout(m_db, 0);
    try {
        upgrade();
    } catch (const Failure &) {
    }
    sqlite3_busy_timeout(m_db, m_busyTimeoutMs);
}

void SqliteEngine::upgrade()
{
    SqliteStatement(m_db, QStringLiteral("BEGIN IMMEDIATE")).step();
    try {
        upgradeSchema(*this, SqlDialect::Sqlite);
        commit();
    } catch (const Failure &) {
        rollback();
        throw;
    }
    m_schemaBehind = false;
}

SqliteEngine::~SqliteEngine()
{
    sqlite3_close_v2(m_db);
}

std::unique_ptr<EngineStatement> SqliteEngine::prepare(const QString &sql)
{
    return std::make_unique<SqliteStatement>(m_db, sql);
}

void SqliteEngine::begin(TransactionKind kind)
{
    if (kind == TransactionKind::Write && m_schemaBehind)
        upgrade();
    // IMMEDIATE takes the write lock at once (waiting up to the busy timeout),
    // so the statements inside cannot fail half way for want of it.
    SqliteStatement(m_db, kind == TransactionKind::Write ? QStringLiteral("BEGIN IMMEDIATE")
                                                         : QStringLiteral("BEGIN"))
        .step();
}

void SqliteEngine::commit()
{
    SqliteStatement(m_db, QStringLiteral("COMMIT")).step();
}

bool SqliteEngine::inTransaction() const
{
    return !sqlite3_get_autocommit(m_db);
}

void SqliteEngine::rollback() noexcept
{
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteEngine::setBusyTimeout(int ms)
{
    m_busyTimeoutMs = ms;
    sqlite3_busy_timeout(m_db, ms);
}

bool SqliteEngine::schemaCurrent() const
{
    return !m_schemaBehind;
}

} // namespace corvane
