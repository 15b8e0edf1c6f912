#pragma once

namespace corvane {

class Engine;

// The customers' number keys (numberkey.h) are kept in table customer_key, a
// row per key and customer. The database's own triggers note in table
// customer_unkeyed every customer added or given another number, by this
// program or any other, and take the keys of a changed or removed customer
// away; the program keys the noted customers in the same transaction as its
// own writes, and the rest when the database is next opened.

// Gives every noted customer its keys and clears the notes; in the caller's
// transaction, a batch at a time, so that a database keyed for the first time
// never sits in memory whole.
void keyUnkeyedCustomers(Engine &engine);

// Whether any customer waits for its keys.
bool hasUnkeyedCustomers(Engine &engine);

} // namespace corvane
