#pragma once

#include <QtGlobal>

#include <limits>
#include <vector>

namespace corvane {

class Engine;

// The customers' number keys (numberkey.h) are kept in table customer_key, a
// row per key and customer. The database's own triggers note in table
// customer_unkeyed every customer added or given another number, by this
// program or any other, and take the keys of a changed or removed customer
// away; the program keys the noted customers in the same transaction as its
// own writes, and the rest in the background. A whole book waiting for keys
// (an upgrade changed how they are made) is one row of table customer_keying
// instead: every customer with keyedupto < id <= upto, keyedupto moving on
// with each batch.

// Gives the customers `ids` their keys as their numbers are now and clears
// their notes; in the caller's transaction.
void keyCustomers(Engine &engine, const std::vector<qint64> &ids);

// Gives the noted customers after `after`, lowest first and at most `most` of
// them, their keys and clears their notes; in the caller's transaction, a
// batch at a time, so that a database keyed for the first time never sits in
// memory whole. Returns how many were keyed.
qsizetype keyUnkeyedCustomers(Engine &engine, qint64 after = std::numeric_limits<qint64>::min(),
                              qsizetype most = std::numeric_limits<qsizetype>::max());

// Keys at most `most` of the customers waiting, those of customer_keying's
// range first, lowest first, in batches; in the caller's transaction. Returns
// how many were keyed.
qsizetype keyWaitingCustomers(Engine &engine, qsizetype most);

// How many customers wait for their keys.
qint64 unkeyedCustomerCount(Engine &engine);

// Whether any customer waits for its keys.
bool hasUnkeyedCustomers(Engine &engine);

} // namespace corvane
