#pragma once

#include <QString>

namespace corvane {

class Connection;

// Table ring: which of the ring sounds plays for a call.
class RingStore
{
public:
    explicit RingStore(Connection &connection);

    // The code of the first ring marked current, "" when none is.
    QString currentRing();
    // Makes ring `code` the current one: every other ring is unmarked in the
    // same transaction, so a failure leaves the previous choice in place and
    // is thrown on. An empty code leaves no ring current.
    void chooseRing(const QString &code);

private:
    Connection &m_connection;
};

} // namespace corvane
