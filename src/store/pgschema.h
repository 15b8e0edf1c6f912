#pragma once

namespace corvane {

// The program's tables on a shared server: the columns and meaning of
// tel.mdb's, with the three rings and ring 1 current.
extern const char *const PgSchema;

} // namespace corvane
