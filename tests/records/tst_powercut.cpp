// Power cuts in the middle of the program's own database writes. A killed
// process keeps what the kernel already holds; a power cut keeps only what was
// synced. The writes run through a VFS that drops, applies or tears every
// unsynced write at random when the power goes; the database is then opened
// as the program would open it after the power returns and must hold every
// save that returned, nothing half done, and pass its integrity check.
#include "core/calllogjournal.h"
#include "platform/failure.h"
#include "powercutvfs.h"
#include "store/calllogstore.h"
#include "store/connection.h"
#include "store/customerstore.h"
#include "store/pagedquery.h"
#include "store/statement.h"
#include "store/transaction.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <vector>

using namespace corvane;
using test::PowerCutVfs;

namespace {

// The entry form's fields of a customer, in table order after the key.
constexpr std::array<const char *, 8> customerColumns = {"customercode", "customername", "address", "code",
                                                         "person",       "tel",          "email",   "qq"};
constexpr std::size_t telColumn = 5;
using CustomerFields = std::array<std::optional<QString>, customerColumns.size()>;
using Values = std::vector<std::optional<QString>>;

// Runs one statement to its end with the values bound in order.
bool run(sqlite3 *db, const QString &sql, const Values &values = {})
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        return false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i])
            sqlite3_bind_text(statement, int(i) + 1, values[i]->toUtf8().constData(), -1, SQLITE_TRANSIENT);
    }
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(statement);
    sqlite3_finalize(statement);
    return rc == SQLITE_DONE;
}

// Opens tel.mdb for reading it back after the power returned: never
// creating it, WAL, as the program does. Null when it cannot.
sqlite3 *openDatabase(const QString &path)
{
    const QByteArray uri = "file:" + QFile::encodeName(path) + "?mode=rw";
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr) ==
            SQLITE_OK &&
        run(db, QStringLiteral("PRAGMA journal_mode=WAL")))
        return db;
    sqlite3_close_v2(db);
    return nullptr;
}

// True when `write` returned; false when the store refused it.
bool succeeds(const std::function<void()> &write)
{
    try {
        write();
        return true;
    } catch (const Failure &) {
        return false;
    }
}

// One thing the user or the line does that writes to the database.
struct Step
{
    enum class Kind { AddCustomer, UpdateCustomer, DeleteCustomer, LogCall, LogKeptCalls, Restart };
    Kind kind = Kind::AddCustomer;
    qint64 id = 0;
    CustomerFields fields{};
    std::map<int, QString> changes;
    QList<KeptCall> calls;
};

// What the database must hold: the effect of every step that returned.
struct Records
{
    std::map<qint64, CustomerFields> customers;
    std::map<qint64, CallLogRow> calls;
    std::set<QString> tokens;
    qint64 nextCustomerId = 1;
    qint64 nextCallId = 1;

    void apply(const Step &step)
    {
        switch (step.kind) {
        case Step::Kind::AddCustomer:
            customers[nextCustomerId++] = step.fields;
            break;
        case Step::Kind::UpdateCustomer:
            for (const auto &[column, value] : step.changes)
                customers[step.id][std::size_t(column)] = value;
            break;
        case Step::Kind::DeleteCustomer:
            customers.erase(step.id);
            break;
        case Step::Kind::LogCall:
        case Step::Kind::LogKeptCalls:
            for (const KeptCall &call : step.calls) {
                if (step.kind == Step::Kind::LogKeptCalls &&
                    !tokens.insert(call.token.toString(QUuid::WithoutBraces)).second)
                    continue;
                calls[nextCallId++] = call.row;
            }
            break;
        case Step::Kind::Restart:
            break;
        }
    }
};

QString shown(const std::optional<QString> &value)
{
    return value ? QLatin1Char('\'') + *value + QLatin1Char('\'') : QStringLiteral("NULL");
}

QString callLine(qint64 id, const CallLogRow &row)
{
    return QStringLiteral("call %1|%2|%3|%4|%5|%6")
        .arg(QString::number(id), shown(row.adate), shown(row.atime), shown(row.tel), shown(row.customercode),
             shown(row.customername));
}

// Every row as one line, in key order, for comparing a database with Records.
QStringList linesOf(const Records &records)
{
    QStringList lines;
    for (const auto &[id, fields] : records.customers) {
        QString line = QStringLiteral("customer %1").arg(id);
        for (const std::optional<QString> &field : fields)
            line += QLatin1Char('|') + shown(field);
        lines.append(line);
    }
    for (const auto &[id, row] : records.calls)
        lines.append(callLine(id, row));
    for (const QString &token : records.tokens)
        lines.append(QStringLiteral("token ") + token);
    return lines;
}

std::optional<QString> columnText(sqlite3_stmt *statement, int column)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return std::nullopt;
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, column)));
}

// The rows a query returns, each made a line by `line`; an error becomes a line
// of its own, which no expected state holds.
// A NULL read as empty: no expected row holds an empty text where one is read so.
QString rawText(sqlite3_stmt *statement, int column)
{
    return columnText(statement, column).value_or(QString());
}

QString textOf(sqlite3_stmt *statement, int column)
{
    return shown(columnText(statement, column));
}

QStringList queryLines(sqlite3 *db, const char *sql, const std::function<QString(sqlite3_stmt *)> &line)
{
    QStringList lines;
    sqlite3_stmt *statement = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(statement)) == SQLITE_ROW) {
        lines.append(line(statement));
        rc = SQLITE_OK;
    }
    if (rc != SQLITE_DONE)
        lines.append(QStringLiteral("error: ") + QString::fromUtf8(sqlite3_errmsg(db)));
    sqlite3_finalize(statement);
    return lines;
}

QStringList linesOf(sqlite3 *db)
{
    QStringList lines =
        queryLines(db, "SELECT * FROM customer ORDER BY id", [](sqlite3_stmt *row) -> QString {
            QString line = QStringLiteral("customer %1").arg(sqlite3_column_int64(row, 0));
            for (int c = 1; c <= int(customerColumns.size()); ++c)
                line += QLatin1Char('|') + shown(columnText(row, c));
            return line;
        });
    lines += queryLines(
        db, "SELECT id, adate, atime, tel, customercode, customername FROM detail ORDER BY id",
        [](sqlite3_stmt *row) -> QString {
            return callLine(sqlite3_column_int64(row, 0), {rawText(row, 1), rawText(row, 2), rawText(row, 3),
                                                           rawText(row, 4), rawText(row, 5)});
        });
    const QStringList hasTokens = queryLines(db, "SELECT 1 FROM sqlite_master WHERE name='kept_call_written'",
                                             [](sqlite3_stmt *) -> QString { return QString(); });
    if (hasTokens != QStringList{QString()})
        return lines + hasTokens;
    return lines + queryLines(db, "SELECT token FROM kept_call_written ORDER BY token",
                              [](sqlite3_stmt *row) -> QString {
                                  return QStringLiteral("token ") + rawText(row, 0);
                              });
}

// The workload: a shop's day in small, each kind of write several times, the
// program quitting half way (its last connection checkpoints and deletes the
// WAL) and starting again. The first start turns the new file to WAL.
std::vector<Step> dayOfWrites()
{
    std::mt19937_64 random(14);
    Records planned;
    std::vector<Step> steps;
    const qint64 firstTel = 13800000000;
    const auto callRow = [&](int i) {
        const QString tel = QString::number(firstTel + i % 7);
        return CallLogRow{QStringLiteral("2026-12-08"),
                          QStringLiteral("09:%1:00").arg(i % 60, 2, 10, QLatin1Char('0')), tel,
                          QStringLiteral("C%1").arg(i % 7), QStringLiteral("客户'%1").arg(i % 7)};
    };
    for (int i = 0; i < 48; ++i) {
        Step step;
        const auto choice = random() % 10;
        if (i == 24) {
            step.kind = Step::Kind::Restart;
        } else if (choice < 4 || planned.customers.size() < 3) {
            for (std::size_t c = 0; c < customerColumns.size(); ++c) {
                if (random() % 4 != 0)
                    step.fields[c] = QStringLiteral("%1·%2'号").arg(QLatin1String(customerColumns[c])).arg(i);
            }
            step.fields[telColumn] = QString::number(firstTel + i);
        } else if (choice < 6) {
            step.kind = Step::Kind::UpdateCustomer;
            step.id =
                std::next(planned.customers.begin(), qint64(random() % planned.customers.size()))->first;
            step.changes[int(random() % customerColumns.size())] = QStringLiteral("改%1").arg(i);
            step.changes[1] = QStringLiteral("新名称%1").arg(i);
        } else if (choice < 7) {
            step.kind = Step::Kind::DeleteCustomer;
            step.id =
                std::next(planned.customers.begin(), qint64(random() % planned.customers.size()))->first;
        } else if (choice < 9) {
            step.kind = Step::Kind::LogCall;
            step.calls = {KeptCall{QUuid(), callRow(i)}};
        } else {
            step.kind = Step::Kind::LogKeptCalls;
            for (int k = 0; k < 3; ++k)
                step.calls.append(
                    KeptCall{QUuid::createUuidV5(QUuid(), QString::number(i * 10 + k)), callRow(i + k)});
        }
        planned.apply(step);
        steps.push_back(step);
    }
    return steps;
}

// The program's two connections, the windows' and the call log writer's,
// writing through the program's own stores as its windows and call log do.
class Program
{
public:
    Program(const QString &path, const char *synchronous) : m_synchronous(synchronous)
    {
        for (Connection *connection : {&m_windows, &m_callLog}) {
            connection->setVfs(QLatin1String(PowerCutVfs::name()));
            connection->setDatabasePath(path);
        }
    }

    // Opens both connections, the first start turning the new file to WAL.
    bool start()
    {
        return succeeds([this] {
            for (Connection *connection : {&m_windows, &m_callLog})
                Statement(*connection, QStringLiteral("PRAGMA synchronous=") + QLatin1String(m_synchronous))
                    .run();
        });
    }
    // The last connection to close checkpoints and deletes the WAL.
    void quit()
    {
        m_callLog.close();
        m_windows.close();
    }

    bool perform(const Step &step)
    {
        switch (step.kind) {
        case Step::Kind::AddCustomer:
            return succeeds([&] { customers().insert(record(step.fields), given(step.fields)); });
        case Step::Kind::UpdateCustomer: {
            CustomerFields fields{};
            for (const auto &[column, value] : step.changes)
                fields[std::size_t(column)] = value;
            bool updated = false;
            return succeeds([&] { updated = customers().update(step.id, record(fields), given(fields)); }) &&
                   updated;
        }
        case Step::Kind::DeleteCustomer:
            return succeeds([&] { customers().remove(step.id); });
        case Step::Kind::LogCall:
            return succeeds([&] { m_calls.logCall(step.calls.constFirst().row); });
        case Step::Kind::LogKeptCalls:
            return succeeds([&] {
                Transaction transaction(m_callLog);
                for (const KeptCall &call : step.calls)
                    m_calls.logKeptCall(call.token.toString(QUuid::WithoutBraces), call.row);
                transaction.commit();
            });
        case Step::Kind::Restart:
            quit();
            return start();
        }
        return false;
    }

private:
    // The entry form's query, through which it adds, saves and deletes.
    PagedQuery &customers()
    {
        if (!m_customerQuery)
            m_customerQuery = m_customers.allCustomers();
        return *m_customerQuery;
    }
    // Where the entry form's field `c` stands among the query's fields.
    std::size_t queryColumn(std::size_t c)
    {
        return std::size_t(customers().fields().indexOf(QLatin1String(customerColumns[c])));
    }
    // The fields in the query's order; the key is the store's to give.
    Record record(const CustomerFields &fields)
    {
        Record values(std::size_t(customers().fields().size()));
        for (std::size_t c = 0; c < customerColumns.size(); ++c)
            values[queryColumn(c)] = fields[c];
        return values;
    }
    // Which fields a save writes: those typed in; untouched ones stay NULL.
    std::vector<bool> given(const CustomerFields &fields)
    {
        std::vector<bool> marks(std::size_t(customers().fields().size()), false);
        for (std::size_t c = 0; c < customerColumns.size(); ++c)
            marks[queryColumn(c)] = fields[c].has_value();
        return marks;
    }

    const char *m_synchronous;
    Connection m_windows;
    Connection m_callLog;
    CustomerStore m_customers{m_windows};
    std::unique_ptr<PagedQuery> m_customerQuery;
    CallLogStore m_calls{m_callLog};
};

// What one run left: the steps that returned before the power went, and the
// one it cut short, if any.
struct RunResult
{
    Records committed;
    std::optional<Step> cutShort;
    QString failure; // a write that failed with the power still on
};

RunResult runDay(PowerCutVfs &vfs, const QString &path, const std::vector<Step> &steps,
                 const char *synchronous)
{
    RunResult result;
    Program program(path, synchronous);
    if (program.start()) {
        for (const Step &step : steps) {
            const bool done = program.perform(step);
            if (vfs.powerIsOff()) {
                result.cutShort = step;
                break;
            }
            if (!done) {
                result.failure = QStringLiteral("step %1 failed with the power on").arg(&step - steps.data());
                break;
            }
            result.committed.apply(step);
        }
    } else if (!vfs.powerIsOff()) {
        result.failure = QStringLiteral("the program could not open its database");
    }
    program.quit();
    return result;
}

// How the database came back after the power returned.
struct Recovery
{
    QString damage;            // empty when sound and in one of the allowed states
    bool keptCutShort = false; // the save the cut interrupted is there
};

// What the program finds in the file: the integrity check's verdict and the
// rows. Null when the file no longer opens.
struct Contents
{
    QStringList integrity;
    QStringList rows;
    bool sound() const { return integrity == QStringList{QStringLiteral("'ok'")}; }
};

std::optional<Contents> readBack(const QString &path)
{
    sqlite3 *db = openDatabase(path);
    if (!db)
        return std::nullopt;
    // Reading only: the checkpoint at close would write.
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    Contents contents{
        queryLines(db, "PRAGMA integrity_check", [](sqlite3_stmt *row) -> QString { return textOf(row, 0); }),
        linesOf(db)};
    sqlite3_close_v2(db);
    return contents;
}

// Whether the rows are the committed ones, with or without the save the cut
// interrupted.
Recovery compareRows(const QStringList &stored, const RunResult &run)
{
    const QStringList before = linesOf(run.committed);
    if (stored == before)
        return {};
    if (run.cutShort) {
        Records after = run.committed;
        after.apply(*run.cutShort);
        if (stored == linesOf(after))
            return {QString(), true};
    }
    for (const QString &line : before) {
        if (!stored.contains(line))
            return {QStringLiteral("lost: ") + line};
    }
    for (const QString &line : stored) {
        if (!before.contains(line))
            return {QStringLiteral("not committed: ") + line};
    }
    return {QStringLiteral("rows differ")};
}

// The program carries on once the power is back: the next call it logs must
// be stored, in a file that stays sound.
QString damageWhenWritingOn(const QString &path, const Contents &found)
{
    Connection connection;
    connection.setDatabasePath(path);
    const CallLogRow call{QStringLiteral("2026-12-09"), QStringLiteral("08:00:00"),
                          QStringLiteral("13900000000"), QStringLiteral("C0"),
                          QStringLiteral("来电在恢复供电后")};
    const bool logged = succeeds([&] { CallLogStore(connection).logCall(call); });
    connection.close();
    const std::optional<Contents> now = readBack(path);
    if (!logged || !now)
        return QStringLiteral("no call can be logged after the power returned");
    if (!now->sound())
        return QStringLiteral("integrity check after logging a call: ") +
               now->integrity.mid(0, 3).join(QLatin1Char(' '));
    const bool keptAll = std::all_of(found.rows.begin(), found.rows.end(),
                                     [&](const QString &row) { return now->rows.contains(row); });
    if (!keptAll || now->rows.size() != found.rows.size() + 1 ||
        now->rows.filter(call.customername).isEmpty())
        return QStringLiteral("the call logged after the power returned is not stored as written");
    return {};
}

Recovery recoveryAfterCut(const QString &path, const RunResult &run)
{
    const std::optional<Contents> found = readBack(path);
    if (!found)
        return {QStringLiteral("the database no longer opens")};
    if (!found->sound())
        return {QStringLiteral("integrity check: ") + found->integrity.mid(0, 3).join(QLatin1Char(' '))};
    Recovery recovery = compareRows(found->rows, run);
    if (recovery.damage.isEmpty())
        recovery.damage = damageWhenWritingOn(path, *found);
    return recovery;
}

// Where the runs keep their files: in memory where the system offers it, as
// checking each cut syncs for real, and a thousand real syncs take long on a disk.
QString scratchFolder()
{
    const QString memory = QStringLiteral("/dev/shm");
    const QString base = QFileInfo(memory).isWritable() ? memory : QDir::tempPath();
    return base + QStringLiteral("/corvane-powercut-XXXXXX");
}

// A folder with a fresh tel.mdb for each run.
class Workbench
{
public:
    Workbench() : m_dir(scratchFolder()), m_path(m_dir.filePath(QStringLiteral("tel.mdb")))
    {
        test::createDatabase(m_path);
        // With the tables the program adds when it first opens a file, so
        // that the cuts fall on the day's own writes; back in its first
        // journal mode, for the day's first start to turn it to WAL.
        {
            Connection first;
            first.setDatabasePath(m_path);
            first.engine();
        }
        test::sqlColumn(m_path, QStringLiteral("PRAGMA journal_mode=DELETE"));
        QFile file(m_path);
        if (file.open(QIODevice::ReadOnly))
            m_freshDatabase = file.readAll();
    }
    const QString &path() const { return m_path; }
    bool reset() const
    {
        for (const char *suffix : {"-wal", "-shm", "-journal"})
            QFile::remove(m_path + QLatin1String(suffix));
        QFile file(m_path);
        return !m_freshDatabase.isEmpty() && file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(m_freshDatabase) == m_freshDatabase.size();
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    QByteArray m_freshDatabase;
};

// The outcome of cutting the power over a day of writes.
struct CutReport
{
    QString failure;    // the test could not do its work
    qint64 counted = 0; // counted calls of the whole day
    int cuts = 0;
    int cutShortKept = 0; // cuts after which the interrupted save was there
    int cutShortLost = 0;
    QStringList damage; // one line per cut that left the database damaged

    void note(const RunResult &run, const Recovery &recovery, const QString &where)
    {
        ++cuts;
        if (!recovery.damage.isEmpty())
            damage.append(where + QStringLiteral(": ") + recovery.damage);
        else if (recovery.keptCutShort)
            ++cutShortKept;
        else if (run.cutShort)
            ++cutShortLost;
    }
};

CutReport failed(const QString &why)
{
    CutReport report;
    report.failure = why;
    return report;
}

// Runs the day once whole, the power going right after the program quit, and
// then once for each of `cuts` cut points, taken in turn over the day's
// counted calls, each run with its own seed.
CutReport cutDay(PowerCutVfs &vfs, int cuts, const char *synchronous)
{
    CutReport report;
    Workbench bench;
    const std::vector<Step> steps = dayOfWrites();
    if (!bench.reset())
        return failed(QStringLiteral("cannot make the database"));
    vfs.start(0, 0);
    const RunResult whole = runDay(vfs, bench.path(), steps, synchronous);
    report.counted = vfs.ioCount();
    if (!whole.failure.isEmpty() || whole.committed.customers.empty() || whole.committed.calls.empty())
        return failed(QStringLiteral("the uncut day failed: ") + whole.failure);
    if (!vfs.restoreDisk())
        return failed(QStringLiteral("cannot write the files back"));
    report.note(whole, recoveryAfterCut(bench.path(), whole), QStringLiteral("cut after the day"));
    for (int cut = 0; cut < cuts; ++cut) {
        const qint64 cutAt = 1 + cut % report.counted;
        if (!bench.reset())
            return failed(QStringLiteral("cannot reset the database"));
        vfs.start(cutAt, quint64(cut) + 1);
        const RunResult run = runDay(vfs, bench.path(), steps, synchronous);
        if (!run.failure.isEmpty())
            return failed(run.failure);
        if (!vfs.restoreDisk())
            return failed(QStringLiteral("cannot write the files back"));
        report.note(
            run, recoveryAfterCut(bench.path(), run),
            QStringLiteral("cut at call %1 of %2, seed %3").arg(cutAt).arg(report.counted).arg(cut + 1));
    }
    return report;
}

} // namespace

class PowerCutTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyReturnedSaveSurvivesAPowerCut()
    {
        PowerCutVfs vfs;
        const CutReport report = cutDay(vfs, 1200, "FULL");
        QVERIFY2(report.failure.isEmpty(), qPrintable(report.failure));
        QVERIFY2(report.damage.isEmpty(), qPrintable(report.damage.mid(0, 10).join(QLatin1Char('\n'))));
        // Cuts fell inside saves. A save whose commit reached the disk does
        // no more writing, so a cut after it finds the save returned, not
        // interrupted: "kept" is counted, not required.
        QVERIFY(report.cutShortLost > 0);
        qInfo("%d cuts over %lld counted calls; the interrupted save kept %d times, lost %d times",
              report.cuts, report.counted, report.cutShortKept, report.cutShortLost);
    }

    // Proves the cuts bite: with fewer syncs than the program asks for, saves
    // that returned are lost (NORMAL syncs the WAL only at checkpoints; OFF never).
    void savesWithFewerSyncsAreLostAtSomeCuts_data()
    {
        QTest::addColumn<QByteArray>("synchronous");
        QTest::newRow("NORMAL") << QByteArray("NORMAL");
        QTest::newRow("OFF") << QByteArray("OFF");
    }

    void savesWithFewerSyncsAreLostAtSomeCuts()
    {
        QFETCH(QByteArray, synchronous);
        PowerCutVfs vfs;
        const CutReport report = cutDay(vfs, 200, synchronous.constData());
        QVERIFY2(report.failure.isEmpty(), qPrintable(report.failure));
        QVERIFY(!report.damage.isEmpty());
        qInfo("%lld of %d cuts damaged the database, e.g. %s", qint64(report.damage.size()), report.cuts,
              qPrintable(report.damage.constFirst().simplified().left(160)));
    }
};

QTEST_GUILESS_MAIN(PowerCutTest)
#include "tst_powercut.moc"
