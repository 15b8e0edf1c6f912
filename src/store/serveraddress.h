#pragma once

#include <QString>

namespace corvane {

// Where a shared database server is and who logs in to it.
struct ServerAddress
{
    static constexpr int DefaultPort = 5432;

    QString host; // a name, an address, or a socket folder starting with '/'; empty: the local socket
    int port = DefaultPort;
    QString name; // the database
    QString user; // empty: the client library's default, the system user's name
    QString password;
    QString sslmode = QStringLiteral("prefer"); // TLS whenever the server offers it
};

// The server as a message may name it: user, host, port and database, never
// the password.
QString describeServer(const ServerAddress &address);

} // namespace corvane
