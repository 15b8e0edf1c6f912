#include "store/schemaupgrade.h"

#include "store/statement.h"

#include <QStringList>

#include <vector>

namespace corvane {

namespace {

// The kind of caller of a row of calls (`row` new, old or calls), as
// calls_hourly counts it.
QString kindOf(const QString &row)
{
    return QStringLiteral(
               "CASE WHEN %1.customercode IS NOT NULL THEN 0 WHEN %1.numberkey = '' THEN 2 ELSE 1 END")
        .arg(row);
}

// A row of calls counted in its hour, or taken out of it, in a trigger of
// either engine. Without an upsert, so that an older SQLite of another
// program still reads the file's schema.
QString countIn(const QString &row, SqlDialect dialect)
{
    return QStringLiteral(
               "INSERT %1INTO calls_hourly (hour, kind, calls, unhandled) VALUES (substr(%3.taken, 1, 13), "
               "%4, 0, 0)%2; UPDATE calls_hourly SET calls = calls + 1, unhandled = unhandled + CASE WHEN "
               "%3.handled = 0 THEN 1 ELSE 0 END WHERE hour = substr(%3.taken, 1, 13) AND kind = %4")
        .arg(dialect == SqlDialect::Sqlite ? QStringLiteral("OR IGNORE ") : QString(),
             dialect == SqlDialect::Sqlite ? QString() : QStringLiteral(" ON CONFLICT DO NOTHING"), row,
             kindOf(row));
}

QString countOut(const QString &row)
{
    return QStringLiteral(
               "UPDATE calls_hourly SET calls = calls - 1, unhandled = unhandled - CASE WHEN "
               "%1.handled = 0 THEN 1 ELSE 0 END WHERE hour = substr(%1.taken, 1, 13) AND kind = %2")
        .arg(row, kindOf(row));
}

// Every call there is, counted afresh.
QStringList countEveryCall()
{
    return {
        QStringLiteral("DELETE FROM calls_hourly"),
        QStringLiteral("INSERT INTO calls_hourly (hour, kind, calls, unhandled) SELECT substr(taken, 1, 13), "
                       "%1, count(*), sum(CASE WHEN handled = 0 THEN 1 ELSE 0 END) FROM calls GROUP BY 1, 2")
            .arg(kindOf(QStringLiteral("calls")))};
}

// One step of the schema, as each engine writes it: single statements, run
// in order. A step once released never changes what it leaves; a later change
// is a new step. A step that makes every customer's keys wrong says so, and
// the customers there are marked for the background keying as one range
// (customerkeys.h), which costs the opening nothing however big the book.
struct Step
{
    QStringList sqlite;
    QStringList postgresql;
    bool rekeysEveryCustomer = false;
};

// The triggers are plain SQL that any SQLite reads, so a customer written by
// another program (sqlite3, a spreadsheet tool) is noted as one written here
// is; a changed or removed customer's keys go at once, one by one through the
// index.
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
                     "DELETE FROM customer_unkeyed WHERE customerid = old.id; END")},
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
                     "FOR EACH ROW EXECUTE FUNCTION customer_note_keys()")},
     true},
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
    {{}, {}, true},
    // 4: the calls counted by hour (yyyy-MM-dd HH of `taken`) and kind of
    // caller (0 a customer, 1 a new number, 2 a withheld one), with those not
    // handled, so that 来电统计 reads a year's charts from a few thousand
    // rows. The database keeps the counts as calls are written, marked,
    // changed or removed, by whichever program; the last statements count
    // the calls already there. Run again over its own tables (a version
    // number set back), it counts afresh.
    {QStringList{
         QStringLiteral("CREATE TABLE IF NOT EXISTS calls_hourly (hour TEXT NOT NULL, kind INTEGER NOT NULL, "
                        "calls INTEGER NOT NULL, unhandled INTEGER NOT NULL, PRIMARY KEY (hour, kind))"),
         QStringLiteral("DROP TRIGGER IF EXISTS calls_counted"),
         QStringLiteral("CREATE TRIGGER calls_counted AFTER INSERT ON calls BEGIN %1; END")
             .arg(countIn(QStringLiteral("new"), SqlDialect::Sqlite)),
         QStringLiteral("DROP TRIGGER IF EXISTS calls_uncounted"),
         QStringLiteral("CREATE TRIGGER calls_uncounted AFTER DELETE ON calls BEGIN %1; END")
             .arg(countOut(QStringLiteral("old"))),
         QStringLiteral("DROP TRIGGER IF EXISTS calls_recounted"),
         QStringLiteral(
             "CREATE TRIGGER calls_recounted AFTER UPDATE OF taken, numberkey, customercode, handled "
             "ON calls BEGIN %1; %2; END")
             .arg(countOut(QStringLiteral("old")), countIn(QStringLiteral("new"), SqlDialect::Sqlite)),
     } + countEveryCall(),
     QStringList{
         QStringLiteral("CREATE TABLE IF NOT EXISTS calls_hourly (hour text NOT NULL, kind integer NOT NULL, "
                        "calls bigint NOT NULL, unhandled bigint NOT NULL, PRIMARY KEY (hour, kind))"),
         QStringLiteral(
             "CREATE OR REPLACE FUNCTION calls_count() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
             "IF TG_OP <> 'INSERT' THEN %1; END IF; IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; "
             "%2; RETURN NEW; END $$")
             .arg(countOut(QStringLiteral("OLD")), countIn(QStringLiteral("NEW"), SqlDialect::Postgresql)),
         QStringLiteral("DROP TRIGGER IF EXISTS calls_count ON calls"),
         QStringLiteral("CREATE TRIGGER calls_count AFTER INSERT OR DELETE OR UPDATE OF taken, numberkey, "
                        "customercode, handled ON calls FOR EACH ROW EXECUTE FUNCTION calls_count()"),
     } + countEveryCall()},
    // 5: the customers waiting for their keys as one range (customerkeys.h).
    // Steps 1 and 3 once noted every customer in customer_unkeyed instead:
    // seconds on the window's thread for a book of millions.
    {{QStringLiteral("CREATE TABLE IF NOT EXISTS customer_keying (keyedupto INTEGER NOT NULL, "
                     "upto INTEGER NOT NULL)")},
     {QStringLiteral("CREATE TABLE IF NOT EXISTS customer_keying (keyedupto bigint NOT NULL, "
                     "upto bigint NOT NULL)")}},
};

// Every customer there is waits for its keys: the range from the lowest id to
// the highest, each end read from the primary key's index.
const QStringList RekeyEveryCustomer = {
    QStringLiteral("DELETE FROM customer_keying"),
    QStringLiteral("INSERT INTO customer_keying (keyedupto, upto) SELECT lowest - 1, highest FROM (SELECT "
                   "(SELECT min(id) FROM customer) AS lowest, (SELECT max(id) FROM customer) AS highest) "
                   "AS ends WHERE highest IS NOT NULL")};

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
    bool rekey = false;
    for (auto step = Steps.begin() + from; step != Steps.end(); ++step) {
        for (const QString &sql : dialect == SqlDialect::Sqlite ? step->sqlite : step->postgresql)
            Statement(engine, sql).run();
        rekey = rekey || step->rekeysEveryCustomer;
    }
    if (rekey) {
        for (const QString &sql : RekeyEveryCustomer)
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
