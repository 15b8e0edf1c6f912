#pragma once

#include "store/engine.h"
#include "store/serveraddress.h"

using PGconn = struct pg_conn;

namespace corvane {

// A shared PostgreSQL database through libpq. The stores' SQL text is taken
// as SQLite reads it: its '?' and ':name' marks become the server's numbered
// ones. A connection the server dropped is made again at the next statement
// outside a transaction; inside one the statement fails, since the server has
// already undone the transaction's earlier statements.
class PgEngine : public Engine
{
public:
    // Connects, creates the program's tables when the database has none and
    // adds those an older Corvane did not make.
    // Throws Failure naming the server (never the password) when it cannot.
    PgEngine(const ServerAddress &server, int busyTimeoutMs);
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
    void connect();
    // Connects again when the server dropped the connection, unless a
    // transaction was open on it.
    void reconnectIfLost();
    void createTablesIfMissing();
    // Runs a statement without values; throws Failure with the server's message.
    void execute(const char *sql);

    ServerAddress m_server;
    int m_busyTimeoutMs;
    PGconn *m_conn = nullptr;
    bool m_inTransaction = false;
};

} // namespace corvane
