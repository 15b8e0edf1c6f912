#include "benchdata.h"

#include "store/connection.h"

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
                                QStringLiteral("广东省深圳市南山区科技园路") + n + QStringLiteral("号"),
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

} // namespace

void createFilledDatabase(const QString &path, int customers, int calls)
{
    // Generated once per size and kept in the build folder; every run works
    // on a copy, since benchmarks write to their database.
    const QString cached = QStringLiteral(CORVANE_BENCH_CACHE "/tel-%1-%2.mdb").arg(customers).arg(calls);
    if (!QFileInfo::exists(cached)) {
        QDir().mkpath(QStringLiteral(CORVANE_BENCH_CACHE));
        const QString building = cached + QStringLiteral(".part");
        generate(building, customers, calls);
        QFile::rename(building, cached);
    }
    // Opened once as the program opens it, so that the copies start with
    // what its first start adds (the customers' number keys).
    QElapsedTimer opening;
    opening.start();
    {
        Connection connection;
        connection.setDatabasePath(cached);
        connection.engine();
    }
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
