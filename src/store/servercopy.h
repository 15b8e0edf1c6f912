#pragma once

#include "platform/failure.h"

#include <QString>

namespace corvane {

class Connection;

// What a copy moved into the server database.
struct CopiedCounts
{
    qint64 customers = 0;
    // Left out because their customer code was already on the server.
    qint64 customersSkipped = 0;
    qint64 calls = 0;
    QString currentRing; // "" when no ring is current
};

enum class ExistingCustomers { Refuse, AddTo };

// Thrown when the server database already holds customers and the copy was
// not told to add to them: copying twice would double every customer.
class ServerNotEmpty : public Failure
{
public:
    explicit ServerNotEmpty(qint64 customers);
    qint64 customers() const { return m_customers; }

private:
    qint64 m_customers;
};

// Copies the customers, the call log and the ring choice of `source` (a
// tel.mdb) into `target` (the shared server) in one transaction on each: the
// server gets all of it or, when anything fails, nothing. Rows keep their
// order and every value as it is, NULL included; the server gives the copied
// rows new keys after its own, since nothing refers to a customer's key, and
// the customers their number keys. A
// customer whose code is already on the server is skipped and counted. The
// ring rows replace the server's. Throws Failure with the database's message.
CopiedCounts copyToServer(Connection &source, Connection &target, ExistingCustomers existing);

} // namespace corvane
