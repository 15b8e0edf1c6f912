#pragma once

#include <QString>

#include <optional>

namespace corvane {

class Connection;

// One row of table calls: a call the line reported, as the desk of that line
// writes it.
struct CallRow
{
    // The call's token, the same on every desk that shows it.
    QString token;
    // The PC clock at the report, yyyy-MM-dd HH:mm:ss.
    QString taken;
    // As the line reported it.
    QString number;
    // numberKey(number); empty for a withheld or unavailable number.
    QString numberKey;
    // The customer found at the call; none for a new or withheld number.
    std::optional<QString> customerCode;
    // The host name of the desk whose line reported it.
    QString desk;
};

// Table calls, the side that writes a call once it was reported.
class CallStore
{
public:
    explicit CallStore(Connection &connection);

    // Adds the row unless the row of its token is there already (a write
    // whose answer never came, tried again): a call is one row.
    void addCall(const CallRow &row);

private:
    Connection &m_connection;
};

} // namespace corvane
