#pragma once

#include <QString>

struct sqlite3;

namespace corvane {

// How the rows of a statement come compared with the keys its key listing
// gives: the listing may walk a smaller index than the statement itself.
enum class KeyOrder {
    Listed,    // both walk the same way
    Ascending, // the statement walks the whole table, which is in key order
    Unknown,   // they walk different ways
};

// Compares the plans SQLite makes for the two statements; neither is run.
KeyOrder keyOrder(sqlite3 *db, const QString &rowsSql, const QString &keysSql);

} // namespace corvane
