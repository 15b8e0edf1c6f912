#pragma once

#include "store/engine.h"
#include "store/serverwait.h"

#include <QByteArray>

#include <memory>

using PGconn = struct pg_conn;
using PGresult = struct pg_result;

namespace corvane {

class ServerLink;

// A shared PostgreSQL database through libpq. The stores' SQL text is taken
// as SQLite reads it: its '?' and ':name' marks become the server's numbered
// ones. No statement waits for the server longer than its rules allow (see
// ServerWait); one that waited in vain drops the connection, and the server
// is then not waited for again until it answers (see ServerLink). A
// connection the server dropped is made again at the next statement outside
// a transaction; inside one the statement fails, since the server has
// already undone the transaction's earlier statements.
class PgEngine : public Engine
{
public:
    // Connects at once, within the time `waits` allow; an empty database
    // gets the program's tables, and one an older Corvane made those added
    // since. Throws Failure naming the server (never the
    // password) when it cannot.
    PgEngine(std::shared_ptr<ServerLink> link, int busyTimeoutMs, WaitRules waits);
    ~PgEngine() override;
    PgEngine(const PgEngine &) = delete;
    PgEngine &operator=(const PgEngine &) = delete;

    std::unique_ptr<EngineStatement> prepare(const QString &sql) override;
    void begin(TransactionKind kind) override;
    void commit() override;
    bool inTransaction() const override;
    void rollback() noexcept override;
    void setBusyTimeout(int ms) override;

private:
    friend class PgStatement;

    // Runs one statement; the result is the caller's. Throws Failure with
    // the server's message, or naming the server when it was lost or did not
    // answer.
    PGresult *run(const QByteArray &sql, int count = 0, const char *const *values = nullptr);
    // The connection to run on, made again when the server dropped it.
    void connectIfLost(ServerWait &wait);
    // On each new connection: the tables added since the database was made.
    void bringUpToDate();
    // One exchange with the server on the connection there is.
    PGresult *ask(const QByteArray &sql, int count, const char *const *values, ServerWait &wait);
    void drop();

    std::shared_ptr<ServerLink> m_link;
    WaitRules m_waits;
    int m_busyTimeoutMs;
    // The lock timeout set on the connection; -1 when none is yet.
    int m_lockTimeoutMs = -1;
    PGconn *m_conn = nullptr;
    bool m_inTransaction = false;
};

} // namespace corvane
