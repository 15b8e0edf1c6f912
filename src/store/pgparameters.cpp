#include "store/pgparameters.h"

namespace corvane {

namespace {

// Seconds libpq waits for a server that does not answer; its least.
const char *const ConnectTimeout = "2";

} // namespace

PgParameters::PgParameters(const ServerAddress &server, const QByteArray &options)
{
    // Every text is stored before the pointers are taken: the vector does not
    // move them afterwards.
    m_texts = {QByteArray::number(server.port),
               server.name.toUtf8(),
               server.sslmode.toUtf8(),
               options,
               server.host.toUtf8(),
               server.user.toUtf8(),
               server.password.toUtf8()};
    const char *const keys[] = {"port", "dbname", "sslmode", "options", "host", "user", "password"};
    for (std::size_t i = 0; i < m_texts.size(); ++i) {
        // Empty ones are left to the library's defaults: the local socket, the
        // system user's name, no password.
        if (i >= 4 && m_texts[i].isEmpty())
            continue;
        m_keys.push_back(keys[i]);
        m_values.push_back(m_texts[i].constData());
    }
    for (const auto &[key, value] : {std::pair{"connect_timeout", ConnectTimeout},
                                     {"client_encoding", "UTF8"},
                                     {"application_name", "Corvane"},
                                     // A server PC switched off mid-run is noticed within
                                     // half a minute, not after the system's two hours.
                                     {"keepalives_idle", "10"},
                                     {"keepalives_interval", "5"},
                                     {"keepalives_count", "3"}}) {
        m_keys.push_back(key);
        m_values.push_back(value);
    }
    m_keys.push_back(nullptr);
    m_values.push_back(nullptr);
}

} // namespace corvane
