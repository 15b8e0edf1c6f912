#pragma once

#include "store/serveraddress.h"
#include "store/serverwait.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace corvane {

class Engine;
class ServerLink;

// One connection to the database: tel.mdb, or a shared server once
// setServer() is called. It opens at the first statement and stays open.
// tel.mdb is never created, so a missing or broken file makes every database
// action fail with a clear message instead of quietly starting an empty one;
// an empty server database gets the program's tables on first connect.
class Connection
{
public:
    // Another process (a backup, a second tool) may hold the file for a moment;
    // longer than this and the window would seem frozen, so the action fails.
    static constexpr int BusyTimeoutMs = 1000;

    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Closes the database open so far; the next statement opens the new one.
    void setDatabasePath(const QString &path);
    QString databasePath() const;
    // The SQLite VFS to open the file through; empty for the default one.
    void setVfs(const QString &name);
    // Works on the shared server from now on instead of the file.
    void setServer(const ServerAddress &server);
    // The shared server worked on; none for the file.
    const std::optional<ServerAddress> &server() const { return m_server; }
    // No database at all (its settings are broken): every statement fails
    // with `reason` until a database is set.
    void setUnavailable(const QString &reason);
    // The same database as `other`, on a connection of its own; on the
    // server it shares what is known of whether the server answers.
    void setSameDatabaseAs(const Connection &other);
    // Tells whether the program is to end: from then on the server is waited
    // for only a moment.
    void setEndRequested(std::function<bool()> endRequested);
    // How long a statement waits for the server's answer: about a second
    // (WaitRules::AnswerMs) unless no window waits with it.
    void setAnswerWait(int ms);

    // How long a statement waits for a database another process holds,
    // from now on; BusyTimeoutMs until set.
    void setBusyTimeout(int ms);

    // Opens on first use. Throws Failure when the database cannot be opened.
    Engine &engine();
    void close();

private:
    std::unique_ptr<Engine> m_engine;
    QString m_path;
    QString m_vfs;
    std::optional<ServerAddress> m_server;
    std::shared_ptr<ServerLink> m_link;
    std::function<bool()> m_endRequested;
    int m_answerWaitMs = WaitRules::AnswerMs;
    QString m_unavailableReason;
    int m_busyTimeoutMs = BusyTimeoutMs;
};

} // namespace corvane
