#pragma once

namespace corvane {

// The program's tables on a shared server: the columns and meaning of
// tel.mdb's, with the three rings and ring 1 current.
extern const char *const PgSchema;

// Any constant shared by every desk: the desks that connect first to an empty
// database at the same moment create the tables once, one after the other,
// and bring them up to date so.
constexpr long long PgTablesLock = 0x436f7276616e65;

} // namespace corvane
