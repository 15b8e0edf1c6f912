#pragma once

#include "store/serveraddress.h"

namespace corvane {

class Connection;

// The database the program works on, from section "database" of zel.ini:
// key "engine" is "sqlite" (tel.mdb in the program folder, also when the key
// or the section is missing) or "postgresql", a shared server given by keys
// "host", "port", "name", "user", "password" and "sslmode".
struct DatabaseConfig
{
    enum class Engine { Sqlite, Postgresql };

    Engine engine = Engine::Sqlite;
    ServerAddress server; // left at its defaults for sqlite
};

// Engine and sslmode names match without regard to case. With sqlite the
// server keys are not read at all. Throws Failure with a message naming the key
// and the value (never the password's) for an engine it does not know, a port
// that is not a number from 1 to 65535, an sslmode the client library does not
// know, or a server without a database name.
DatabaseConfig readDatabaseConfig();

// Makes zel.ini readable by its owner only when it holds the server's
// password; the program calls it after each write of the file.
void keepPasswordPrivate();

// Points `connection` at the database `config` chooses: tel.mdb in the
// program folder, or the server.
void useDatabase(Connection &connection, const DatabaseConfig &config);

} // namespace corvane
