#include "store/sqliteengine.h"

#include "platform/failure.h"
#include "platform/gbk.h"
#include "store/databasefilefailure.h"
#include "store/schemaupgrade.h"

#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

#include <optional>

namespace corvane {

namespace {

using Kind = DatabaseFileFailure::Kind;

// The troubles with the file a shop meets, told in its own words; any other
// failure keeps SQLite's message.
std::optional<Kind> troubleOf(int code)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Kind::Locked;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return Kind::Damaged;
    case SQLITE_READONLY:
        return Kind::ReadOnly;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return Kind::Unopenable;
    default:
        return std::nullopt;
    }
}

[[noreturn]] void throwFailure(int code, const QString &reason, const QString &path)
{
    if (const std::optional<Kind> kind = troubleOf(code))
        throw DatabaseFileFailure(*kind, path, reason);
    throw Failure(reason);
}

QString messageOf(sqlite3 *db, int code)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code));
}

// mode=rw: open read-write and never create; the program must not make an
// empty tel.mdb where the user's file has gone missing. A file the user may
// not write SQLite opens read-only instead.
QByteArray uriOf(const QString &path, const char *parameters)
{
    return (QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QLatin1Char('?') +
            QLatin1String(parameters))
        .toUtf8();
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
        const QByteArrayView bytes(reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column)),
                                   sqlite3_column_bytes(m_stmt, column));
        // Another program may have written the Chinese ANSI code page: read
        // as that rather than turned into replacement characters.
        return bytes.isValidUtf8() ? QString::fromUtf8(bytes) : gbk::decode(bytes);
    }

    qint64 integer(int column) const override { return sqlite3_column_int64(m_stmt, column); }

private:
    [[noreturn]] void fail() const
    {
        const int code = sqlite3_errcode(m_db);
        throwFailure(code, messageOf(m_db, code), QString::fromUtf8(sqlite3_db_filename(m_db, "main")));
    }

    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace

SqliteEngine::SqliteEngine(const QString &path, const QString &vfs, int busyTimeoutMs)
    : m_path(path), m_vfs(vfs), m_busyTimeoutMs(busyTimeoutMs)
{
    if (path.isEmpty())
        throw Failure(QStringLiteral("No database file has been set"));
    const QFileInfo file(path);
    if (!file.isFile())
        throw DatabaseFileFailure(Kind::Missing, path);
    // SQLite would take an empty file for a new database and write into it.
    if (file.size() == 0)
        throw DatabaseFileFailure(Kind::Empty, path);
    m_db = open();
    m_readOnly = sqlite3_db_readonly(m_db, "main") == 1;
    try {
        bringUpToDate();
    } catch (const Failure &) {
        sqlite3_close_v2(m_db);
        throw;
    }
}

void SqliteEngine::bringUpToDate()
{
    m_schemaBehind = schemaBehind(*this, SqlDialect::Sqlite);
    if (m_readOnly || !m_schemaBehind)
        return;
    // Never waits for a file another program is writing, and never fails the
    // opening: the first write transaction adds what the file lacks. The
    // customers are keyed in the background (CustomerKeying), and the lookup
    // meanwhile goes by the exact number and the keys already made.
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

sqlite3 *SqliteEngine::open() const
{
    try {
        return openWith("mode=rw");
    } catch (const DatabaseFileFailure &failure) {
        // Neither the file nor its folder may be written: the log's shared
        // memory file cannot be made there, and nobody can be changing the
        // file, so it is read as it stands.
        if (failure.kind() != Kind::Unopenable || QFileInfo(QFileInfo(m_path).absolutePath()).isWritable())
            throw;
        return openWith("mode=ro&immutable=1");
    }
}

sqlite3 *SqliteEngine::openWith(const char *parameters) const
{
    sqlite3 *db = nullptr;
    const QByteArray vfsName = m_vfs.toUtf8();
    int rc =
        sqlite3_open_v2(uriOf(m_path, parameters).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI,
                        m_vfs.isEmpty() ? nullptr : vfsName.constData());
    bool ours = true;
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, m_busyTimeoutMs);
        // Proves the file is a database, and the program's, before anything
        // is written to it.
        rc = sqlite3_exec(db, "SELECT 1 FROM customer LIMIT 0", nullptr, nullptr, nullptr);
        ours = rc != SQLITE_ERROR;
    }
    // WAL lets other processes read while we write; the build makes tel.mdb
    // so, and a file made before is switched when nobody holds it. FULL makes
    // a returned save survive a power cut. Checkpointing every 256 pages
    // rather than every 1000 keeps the log file, which never shrinks below the
    // size it once reached, near 1 MB.
    if (rc == SQLITE_OK && !sqlite3_db_readonly(db, "main"))
        sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    for (const char *pragma : {"PRAGMA synchronous=FULL", "PRAGMA wal_autocheckpoint=256"}) {
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(db, pragma, nullptr, nullptr, nullptr);
    }
    if (rc == SQLITE_OK)
        return db;
    const QString reason = messageOf(db, rc);
    sqlite3_close_v2(db);
    if (!ours)
        throw DatabaseFileFailure(Kind::Damaged, m_path, reason);
    if (troubleOf(rc))
        throwFailure(rc, reason, m_path);
    throw Failure(QStringLiteral("Cannot open database '%1': %2").arg(m_path, reason));
}

void SqliteEngine::reopenIfWritable()
{
    if (!m_readOnly || inTransaction() || !databaseFileWritable(m_path))
        return;
    sqlite3 *db = nullptr;
    try {
        db = open();
    } catch (const Failure &) {
        return;
    }
    // Statements still open on the old connection finish on it.
    sqlite3_close_v2(m_db);
    m_db = db;
    m_readOnly = sqlite3_db_readonly(m_db, "main") == 1;
}

std::unique_ptr<EngineStatement> SqliteEngine::prepare(const QString &sql)
{
    reopenIfWritable();
    return std::make_unique<SqliteStatement>(m_db, sql);
}

void SqliteEngine::begin(TransactionKind kind)
{
    reopenIfWritable();
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
