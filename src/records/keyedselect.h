#pragma once

#include "records/tablekey.h"

#include <QString>

#include <optional>

struct sqlite3;

namespace corvane {

// A "select * from <table>" statement, with or without a plain WHERE
// condition, on a table with an integer key: its rows are exactly the rows
// whose keys `keysSql` lists, so they can be read one by one by key.
struct KeyedSelect
{
    TableKey target;
    QString keysSql;
};

// std::nullopt for any other statement. Anything that could make the listed
// keys differ from the rows (grouping, compound selects, ordering by column
// number, a limit) is left alone, even when it only occurs inside a quoted
// value: such a result is simply copied.
std::optional<KeyedSelect> keyedSelect(sqlite3 *db, const QString &sql);

} // namespace corvane
