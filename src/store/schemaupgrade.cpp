#include "store/schemaupgrade.h"

#include "store/statement.h"

#include <QStringList>

#include <vector>

namespace corvane {

namespace {

// One step of the schema, as each engine writes it: single statements, run
// in order. A step once released never changes; a later change is a new step.
struct Step
{
    QStringList sqlite;
    QStringList postgresql;
};

// The triggers are plain SQL that any SQLite reads, so a customer written by
// another program (sqlite3, a spreadsheet tool) is noted as one written here
// is; a changed or removed customer's keys go at once, one by one through the
// index. The last statement notes every customer already there.
const std::vector<Step> Steps = {
    // 1: the customers' number keys.
    {{QStringLiteral("CREATE TABLE customer_key (numberkey TEXT NOT NULL, customerid INTEGER NOT NULL, "
                     "PRIMARY KEY (numberkey, customerid))"),
      QStringLiteral("CREATE INDEX customer_key_customerid ON customer_key (customerid)"),
      QStringLiteral("CREATE TABLE customer_unkeyed (customerid INTEGER PRIMARY KEY)"),
      QStringLiteral("CREATE TRIGGER customer_added AFTER INSERT ON customer BEGIN "
                     "INSERT OR IGNORE INTO customer_unkeyed (customerid) VALUES (new.id); END"),
      QStringLiteral("CREATE TRIGGER customer_tel_changed AFTER UPDATE OF tel ON customer BEGIN "
                     "DELETE FROM customer_key WHERE customerid = old.id; "
                     "INSERT OR IGNORE INTO customer_unkeyed (customerid) VALUES (new.id); END"),
      QStringLiteral("CREATE TRIGGER customer_removed AFTER DELETE ON customer BEGIN "
                     "DELETE FROM customer_key WHERE customerid = old.id; "
                     "DELETE FROM customer_unkeyed WHERE customerid = old.id; END"),
      QStringLiteral("INSERT INTO customer_unkeyed (customerid) SELECT id FROM customer")},
     {QStringLiteral("CREATE TABLE customer_key (numberkey text NOT NULL, customerid bigint NOT NULL, "
                     "PRIMARY KEY (numberkey, customerid))"),
      QStringLiteral("CREATE INDEX customer_key_customerid ON customer_key (customerid)"),
      QStringLiteral("CREATE TABLE customer_unkeyed (customerid bigint PRIMARY KEY)"),
      QStringLiteral("CREATE FUNCTION customer_note_keys() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                     "IF TG_OP <> 'INSERT' THEN "
                     "DELETE FROM customer_key WHERE customerid = OLD.id; END IF; "
                     "IF TG_OP = 'DELETE' THEN "
                     "DELETE FROM customer_unkeyed WHERE customerid = OLD.id; "
                     "RETURN OLD; END IF; "
                     "INSERT INTO customer_unkeyed (customerid) VALUES (NEW.id) ON CONFLICT DO NOTHING; "
                     "RETURN NEW; END $$"),
      QStringLiteral("CREATE TRIGGER customer_note_keys AFTER INSERT OR DELETE OR UPDATE OF tel ON customer "
                     "FOR EACH ROW EXECUTE FUNCTION customer_note_keys()"),
      QStringLiteral("INSERT INTO customer_unkeyed (customerid) SELECT id FROM customer")}},
    // 2: every call the line reported, known caller or not. `taken` is the PC
    // clock's yyyy-MM-dd HH:mm:ss; `numberkey` the number's key (numberKey),
    // empty for a withheld one; `customercode` the customer found at the
    // call, NULL for none; `token` the call's journal token, so a call
    // written again after a crash stays one row.
    {{QStringLiteral("CREATE TABLE calls (id INTEGER PRIMARY KEY AUTOINCREMENT, taken TEXT NOT NULL, "
                     "number TEXT NOT NULL, numberkey TEXT NOT NULL DEFAULT '', customercode TEXT, "
                     "desk TEXT NOT NULL DEFAULT '', handled INTEGER NOT NULL DEFAULT 0, "
                     "note TEXT NOT NULL DEFAULT '', token TEXT UNIQUE)"),
      QStringLiteral("CREATE INDEX calls_taken ON calls (taken, id)"),
      QStringLiteral("CREATE INDEX calls_numberkey ON calls (numberkey, taken, id)"),
      QStringLiteral("CREATE INDEX calls_customercode ON calls (customercode, taken, id)")},
     {QStringLiteral("CREATE TABLE calls (id bigserial PRIMARY KEY, taken text NOT NULL, "
                     "number text NOT NULL, numberkey text NOT NULL DEFAULT '', customercode text, "
                     "desk text NOT NULL DEFAULT '', handled integer NOT NULL DEFAULT 0, "
                     "note text NOT NULL DEFAULT '', token text UNIQUE)"),
      QStringLiteral("CREATE INDEX calls_taken ON calls (taken, id)"),
      QStringLiteral("CREATE INDEX calls_numberkey ON calls (numberkey, taken, id)"),
      QStringLiteral("CREATE INDEX calls_customercode ON calls (customercode, taken, id)")}},
    // 3: keys end before an extension and take a landline's trunk 0 after
    // +86, so every customer keyed before is keyed again.
    {{QStringLiteral("INSERT OR IGNORE INTO customer_unkeyed (customerid) SELECT id FROM customer")},
     {QStringLiteral(
         "INSERT INTO customer_unkeyed (customerid) SELECT id FROM customer ON CONFLICT DO NOTHING")}},
};

int schemaVersion(Engine &engine, SqlDialect dialect)
{
    Statement exists(engine, dialect == SqlDialect::Sqlite
                                 ? QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                                  "AND name = 'schema_version'")
                                 : QStringLiteral("SELECT CASE WHEN to_regclass('schema_version') IS NULL "
                                                  "THEN 0 ELSE 1 END"));
    if (!exists.step() || exists.integer(0) == 0)
        return 0;
    Statement version(engine, QStringLiteral("SELECT max(version) FROM schema_version"));
    return version.step() ? int(version.integer(0)) : 0;
}

} // namespace

bool schemaBehind(Engine &engine, SqlDialect dialect)
{
    return schemaVersion(engine, dialect) < int(Steps.size());
}

void upgradeSchema(Engine &engine, SqlDialect dialect)
{
    const int from = schemaVersion(engine, dialect);
    if (from >= int(Steps.size()))
        return;
    for (auto step = Steps.begin() + from; step != Steps.end(); ++step) {
        for (const QString &sql : dialect == SqlDialect::Sqlite ? step->sqlite : step->postgresql)
            Statement(engine, sql).run();
    }
    for (const QString &sql : {QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version "
                                              "(version INTEGER NOT NULL)"),
                               QStringLiteral("DELETE FROM schema_version")})
        Statement(engine, sql).run();
    Statement record(engine, QStringLiteral("INSERT INTO schema_version (version) VALUES (?)"));
    record.bind(1, qint64(Steps.size()));
    record.run();
}

} // namespace corvane
