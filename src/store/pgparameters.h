#pragma once

#include "store/serveraddress.h"

#include <QByteArray>

#include <vector>

namespace corvane {

// The keywords and values libpq connects with, for every connection the
// program makes to the server: the stores' and the call announcements'.
class PgParameters
{
public:
    explicit PgParameters(const ServerAddress &server);

    // Null-terminated, valid as long as this object.
    const char *const *keys() const { return m_keys.data(); }
    const char *const *values() const { return m_values.data(); }

private:
    std::vector<QByteArray> m_texts;
    std::vector<const char *> m_keys;
    std::vector<const char *> m_values;
};

} // namespace corvane
