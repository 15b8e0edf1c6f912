#pragma once

namespace corvane {

class Engine;

enum class SqlDialect { Sqlite, Postgresql };

// A database made by an older Corvane, by tel.sql or by the server schema
// lacks the tables added since. Each addition is a numbered step (see
// schemaupgrade.cpp); table schema_version records the last step a database
// has had.

// Whether the database lacks a step.
bool schemaBehind(Engine &engine, SqlDialect dialect);

// Runs the steps the database lacks and records them, in the caller's write
// transaction; on the server under the lock every desk takes for it. The
// customers a step notes for keying are keyed later (customerkeys.h).
void upgradeSchema(Engine &engine, SqlDialect dialect);

} // namespace corvane
