#include "store/pgparameters.h"

namespace corvane {

namespace {

// A server that stops answering in the middle of a statement (its machine
// gone, the network cut) fails the statement after this long, not minutes later.
const char *const UnansweredMs = "1000";
// Connections are made on a thread of their own (see PgConnectAttempt); a
// try at a server that takes the connection but says nothing ends after
// this many seconds, the least the library allows.
const char *const ConnectSeconds = "2";

} // namespace

PgParameters::PgParameters(const ServerAddress &server)
{
    // Every text is stored before the pointers are taken: the vector does not
    // move them afterwards.
    m_texts = {QByteArray::number(server.port),
               server.name.toUtf8(),
               server.sslmode.toUtf8(),
               server.host.toUtf8(),
               server.user.toUtf8(),
               server.password.toUtf8()};
    const char *const keys[] = {"port", "dbname", "sslmode", "host", "user", "password"};
    for (std::size_t i = 0; i < m_texts.size(); ++i) {
        // Empty ones are left to the library's defaults: the local socket, the
        // system user's name, no password.
        if (i >= 3 && m_texts[i].isEmpty())
            continue;
        m_keys.push_back(keys[i]);
        m_values.push_back(m_texts[i].constData());
    }
    // An idle connection to a server PC switched off is noticed within
    // seconds, not after the system's hours.
    for (const auto &[key, value] : {std::pair{"client_encoding", "UTF8"},
                                     {"application_name", "Corvane"},
                                     {"connect_timeout", ConnectSeconds},
                                     {"tcp_user_timeout", UnansweredMs},
                                     {"keepalives", "1"},
                                     {"keepalives_idle", "5"},
                                     {"keepalives_interval", "1"},
                                     {"keepalives_count", "3"}}) {
        m_keys.push_back(key);
        m_values.push_back(value);
    }
    m_keys.push_back(nullptr);
    m_values.push_back(nullptr);
}

} // namespace corvane
