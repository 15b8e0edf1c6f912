#include "benchdata.h"

#include "store/connection.h"
#include "store/numberkey.h"
#include "store/statement.h"
#include "store/transaction.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

namespace corvane::bench {

namespace {

void check(int rc, sqlite3 *db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

void bindText(sqlite3_stmt *stmt, int index, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    sqlite3_bind_text(stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
}

void fill(sqlite3 *db, const char *sql, int rows, const std::function<QStringList(int)> &row)
{
    sqlite3_stmt *stmt = nullptr;
    check(sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr), db);
    for (int i = 0; i < rows; ++i) {
        const QStringList values = row(i);
        for (int c = 0; c < values.size(); ++c)
            bindText(stmt, c + 1, values[c]);
        check(sqlite3_step(stmt), db);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
}

} // namespace

QString telOf(int customer)
{
    return QStringLiteral("1380%1").arg(customer, 7, 10, QLatin1Char('0'));
}

void withCallIndexesAfter(Connection &connection, const std::function<void()> &fill)
{
    QList<QString> indexes;
    {
        Statement select(connection, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'index' "
                                                    "AND tbl_name = 'calls' AND sql IS NOT NULL"));
        while (select.step())
            indexes.append(select.text(0).value_or(QString()));
    }
    Transaction transaction(connection);
    for (const QString &sql : indexes)
        Statement(connection, QStringLiteral("DROP INDEX ") + sql.section(QLatin1Char(' '), 2, 2)).run();
    fill();
    for (const QString &sql : indexes)
        Statement(connection, sql).run();
    transaction.commit();
}

QString addressOf(int customer)
{
    return QStringLiteral("广东省深圳市南山区科技园路%1号").arg(customer);
}

namespace {

// The indexes of the schema, dropped before filling and made again after:
// building an index from sorted rows is many times quicker than growing it
// one random insert at a time.
QList<QByteArray> dropIndexes(sqlite3 *db)
{
    QList<QByteArray> made;
    sqlite3_stmt *stmt = nullptr;
    check(sqlite3_prepare_v2(db, "select name, sql from sqlite_master where type='index' and sql is not null",
                             -1, &stmt, nullptr),
          db);
    QList<QByteArray> names;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        names.append(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        made.append(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1)));
    }
    sqlite3_finalize(stmt);
    for (const QByteArray &name : names)
        check(sqlite3_exec(db, QByteArray("drop index " + name).constData(), nullptr, nullptr, nullptr), db);
    return made;
}

void generate(const QString &path, int customers, int calls)
{
    QFile script(QStringLiteral(CORVANE_SOURCE_DIR "/resources/tel.sql"));
    if (!script.open(QIODevice::ReadOnly))
        std::exit(1);
    QFile::remove(path);
    sqlite3 *db = nullptr;
    check(sqlite3_open(path.toUtf8().constData(), &db), db);
    check(sqlite3_exec(db, script.readAll().constData(), nullptr, nullptr, nullptr), db);
    check(sqlite3_exec(db,
                       "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-400000; "
                       "PRAGMA temp_store=FILE; BEGIN",
                       nullptr, nullptr, nullptr),
          db);
    const QList<QByteArray> indexes = dropIndexes(db);
    fill(db,
         "insert into customer(customercode,customername,address,code,person,tel,email,qq) "
         "values(?,?,?,?,?,?,?,?)",
         customers, [](int i) {
             const QString n = QString::number(i);
             return QStringList{QStringLiteral("KH") + n,
                                QStringLiteral("深圳市客户") + n + QStringLiteral("有限公司"),
                                addressOf(i),
                                QStringLiteral("518000"),
                                QStringLiteral("联系人") + n,
                                telOf(i),
                                QStringLiteral("kh") + n + QStringLiteral("@example.com"),
                                QString::number(10000 + i)};
         });
    fill(db, "insert into detail(adate,atime,tel,customercode,customername) values(?,?,?,?,?)", calls,
         [&](int i) {
             // 64-bit: a million calls times the stride would overflow an int.
             const int customer = int(qint64(i) * 7919 % customers);
             const QString date = QStringLiteral("2024-%1-%2")
                                      .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                                      .arg(1 + i % 28, 2, 10, QLatin1Char('0'));
             return QStringList{date, QStringLiteral("09:30"), telOf(customer),
                                QStringLiteral("KH%1").arg(customer),
                                QStringLiteral("深圳市客户%1有限公司").arg(customer)};
         });
    for (const QByteArray &index : indexes)
        check(sqlite3_exec(db, index.constData(), nullptr, nullptr, nullptr), db);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    // Left as the program leaves a file it has used: in WAL mode and on disk.
    // Otherwise the first query measured would pay for both.
    check(sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

// Opened as the program opens it, which brings it up to date (the
// customers' number keys, the table of calls).
void openAsTheProgram(const QString &path)
{
    Connection connection;
    connection.setDatabasePath(path);
    connection.engine();
}

// The calls of the recent-calls window, oldest first, one every six seconds
// up to the moment they are made (ten million reach back about two years):
// seven in ten from known customers, one in five from new numbers (a few of
// them saved as customers since), one in twelve withheld; three in ten not
// handled, one in twenty-five with a note.
void fillRecentCalls(const QString &path, int customers, int calls)
{
    sqlite3 *db = nullptr;
    check(sqlite3_open(path.toUtf8().constData(), &db), db);
    check(sqlite3_exec(db,
                       "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-400000; "
                       "PRAGMA temp_store=FILE; BEGIN",
                       nullptr, nullptr, nullptr),
          db);
    QList<QByteArray> indexes;
    sqlite3_stmt *stmt = nullptr;
    check(sqlite3_prepare_v2(db,
                             "select name, sql from sqlite_master where type='index' and tbl_name='calls' "
                             "and sql is not null",
                             -1, &stmt, nullptr),
          db);
    QList<QByteArray> names;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        names.append(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        indexes.append(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1)));
    }
    sqlite3_finalize(stmt);
    for (const QByteArray &name : std::as_const(names))
        check(sqlite3_exec(db, QByteArray("drop index " + name).constData(), nullptr, nullptr, nullptr), db);
    const QDateTime newest = QDateTime::currentDateTime();
    fill(db,
         "insert into calls(taken,number,numberkey,customercode,desk,handled,note,token) "
         "values(?,?,?,nullif(?,''),?,?,?,?)",
         calls, [&](int i) {
             const int kind = int(qint64(i) * 7919 % 100);
             const int customer = int(qint64(i) * 104729 % customers);
             QString number = telOf(customer);
             QString code = QStringLiteral("KH%1").arg(customer);
             if (kind < 8) {
                 number = kind < 5 ? QStringLiteral("P") : QStringLiteral("O");
                 code.clear();
             } else if (kind < 28) {
                 number = QStringLiteral("1390%1").arg(i % 9'000'000, 7, 10, QLatin1Char('0'));
                 code.clear();
             } else if (kind < 30) {
                 code.clear(); // saved as a customer after the call
             }
             const QString taken =
                 newest.addSecs(-6 * qint64(calls - 1 - i)).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
             return QStringList{taken,
                                number,
                                numberKey(number),
                                code,
                                i % 2 ? QStringLiteral("前台") : QStringLiteral("仓库"),
                                i % 10 < 3 ? QStringLiteral("0") : QStringLiteral("1"),
                                i % 25 ? QString() : QStringLiteral("问订单\"三号\"什么时候到"),
                                QStringLiteral("bench-%1").arg(i, 9, 10, QLatin1Char('0'))};
         });
    for (const QByteArray &index : std::as_const(indexes))
        check(sqlite3_exec(db, index.constData(), nullptr, nullptr, nullptr), db);
    check(sqlite3_exec(db, "COMMIT; PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

// Made once and kept in the build folder; every run works on a copy, since
// benchmarks write to their database.
QString cachedDatabase(int customers, int calls, int recentCalls)
{
    const QString base = QStringLiteral(CORVANE_BENCH_CACHE "/tel-%1-%2").arg(customers).arg(calls);
    const QString cached =
        base + (recentCalls ? QStringLiteral("-%1.mdb").arg(recentCalls) : QStringLiteral(".mdb"));
    if (QFileInfo::exists(cached))
        return cached;
    QDir().mkpath(QStringLiteral(CORVANE_BENCH_CACHE));
    const QString building = cached + QStringLiteral(".part");
    QFile::remove(building);
    if (recentCalls) {
        const QString withoutCalls = cachedDatabase(customers, calls, 0);
        openAsTheProgram(withoutCalls);
        if (!QFile::copy(withoutCalls, building))
            std::exit(1);
        fillRecentCalls(building, customers, recentCalls);
    } else {
        generate(building, customers, calls);
    }
    QFile::rename(building, cached);
    return cached;
}

} // namespace

void createFilledDatabase(const QString &path, int customers, int calls, int recentCalls)
{
    const QString cached = cachedDatabase(customers, calls, recentCalls);
    // Opened once as the program opens it, so that the copies start with
    // what its first start adds (the customers' number keys).
    QElapsedTimer opening;
    opening.start();
    openAsTheProgram(cached);
    std::printf("opening the cached database, first time brought up to date: %lld ms (setup, not a target)\n",
                opening.elapsed());
    QFile::remove(path);
    if (!QFile::copy(cached, path)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(cached));
        std::exit(1);
    }
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace corvane::bench
