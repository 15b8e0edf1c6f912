#pragma once

#include "store/serveraddress.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace corvane::test {

// A private PostgreSQL 15 server for one test: a cluster of its own in a
// temporary folder, reached through a socket folder of its own or on the
// loopback address at a port nobody else holds, with one empty database. The
// server refuses to run as root, as the tests do, so it runs as the postgres
// system user. The server is stopped and its folder removed when the object
// goes; stop() and start() take it away and bring it back in between, keeping
// its data. A step that cannot be done stops the test program at once with
// the tool's own output.
class PgServer
{
public:
    PgServer();
    ~PgServer();
    PgServer(const PgServer &) = delete;
    PgServer &operator=(const PgServer &) = delete;

    void stop();
    void start();
    // Halts every process of the server (SIGSTOP) and lets them go on
    // (SIGCONT): its sockets stay open, but nothing answers, as a server
    // whose machine hangs.
    void pause();
    void resume();
    // Whether the server accepts connections now.
    bool isReady() const;
    // Replaces the database with an empty one, closing its connections.
    void emptyDatabase();
    // The same, then the program's tables made as a desk's first connect makes them.
    void emptyDatabaseWithTables();

    // The socket folder, for a host setting that starts with '/'.
    QString socketFolder() const;
    int port() const;
    QString databaseName() const;
    QString user() const;
    // Asked for on the loopback address only; the socket needs none.
    QString password() const;
    // How a desk on this PC reaches the server: through the socket folder.
    ServerAddress socketAddress() const;
    // How a desk on another PC reaches it: over the network, with the password.
    ServerAddress loopbackAddress() const;

    // Runs statements on the database as a separate client would and returns
    // every row they print, its columns joined by '|'. Fails the test on an
    // error.
    QStringList query(const QString &statements) const;

    // The two rows of a test whose every case runs on tel.mdb and on the
    // server, told apart by the bool column "onServer".
    static void addEngineRows();

private:
    QString dataFolder() const;
    // How the client programs reach the server.
    QStringList clientArguments() const;
    // Runs one of the server's programs, as the postgres user when `asServer`;
    // stops the test program when it fails.
    void runTool(const QString &program, const QStringList &arguments, bool asServer) const;
    // Sends `signalNumber` to the server's main process and all its children.
    void signalServer(int signalNumber) const;

    QTemporaryDir m_dir;
    int m_port;
    bool m_running = false;
};

} // namespace corvane::test
