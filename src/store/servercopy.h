#pragma once

#include "platform/failure.h"

#include <QList>
#include <QString>

namespace corvane {

class Connection;

// A customer of tel.mdb whose code the server holds for another customer
// (another name or number): not copied.
struct CodeCollision
{
    QString code;
    QString serverName;
    QString fileName;
};

// What a copy moved into the server database.
struct CopiedCounts
{
    qint64 customers = 0;
    // Left out because the server holds them already: same code, name and number.
    qint64 customersSkipped = 0;
    QList<CodeCollision> collisions;
    qint64 calls = 0;
    // Left out because the server holds them already: same date, time, number
    // and customer code.
    qint64 callsSkipped = 0;
    // Left out because their customer code is one of the collisions: on the
    // server they would belong to the other customer.
    qint64 callsOfCollisions = 0;
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

// Copies the customers, the call log, the calls and the ring choice of `source` (a
// tel.mdb) into `target` (the shared server) in one transaction on each: the
// server gets all of it or, when anything fails, nothing. Rows keep their
// order and every value as it is, NULL included; the server gives the copied
// rows new keys after its own, since nothing refers to a customer's key, and
// the customers their number keys. What
// the server holds already (a customer by code, name and number; a call by
// date, time, number and customer code) is skipped and counted, so a copy run
// twice doubles nothing; a customer whose code the server holds for another
// customer is listed, and neither it nor its calls are copied. The ring rows
// replace the server's. A call of table calls the server holds (by its token)
// is not copied again. Throws Failure with the database's message.
CopiedCounts copyToServer(Connection &source, Connection &target, ExistingCustomers existing);

} // namespace corvane
