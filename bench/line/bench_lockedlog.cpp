// How long a call holds the window when another program holds tel.mdb: the
// call-log write with the database's write lock taken (the row goes to the
// journal), the customer lookup with the whole file locked (it gives up), and
// for comparison the write on a free database. Prints median and worst of
// 20 tries each, in milliseconds.

#include "core/calllogwriter.h"
#include "coresupport.h"
#include "loggedcall.h"
#include "platform/failure.h"
#include "store/stores.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace corvane;

namespace {

constexpr int Tries = 20;

CallLogRow row()
{
    return {QStringLiteral("2026-03-21"), QStringLiteral("14:05"), QStringLiteral("5551234"),
            QStringLiteral("C001"), QStringLiteral("张三五金店")};
}

// Another program's connection: `exclusiveFile` also shuts out readers.
sqlite3 *lock(const QString &path, bool exclusiveFile)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    if (exclusiveFile)
        sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    if (exclusiveFile)
        sqlite3_exec(db, "INSERT INTO ring(code, bz) VALUES ('9', '0')", nullptr, nullptr, nullptr);
    return db;
}

void report(const char *what, const std::function<void()> &action)
{
    std::vector<double> ms;
    for (int i = 0; i < Tries; ++i) {
        QElapsedTimer timer;
        timer.start();
        action();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-52s median %7.1f ms   worst %7.1f ms\n", what, ms[ms.size() / 2], ms.back());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    test::ProgramFolder folder;
    const QString path = folder.file(QStringLiteral("tel.mdb"));
    Connection database;
    database.setDatabasePath(path);
    database.engine();
    {
        CallLogWriter writer(database, folder.file(QStringLiteral("calls.journal")));
        report("call-log write, database free", [&] { test::logCall(writer, row()); });

        sqlite3 *other = lock(path, false);
        report("call-log write, write lock held (kept in journal)", [&] { test::logCall(writer, row()); });
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        std::printf("kept rows written after the lock: %s\n", writer.writeKept() ? "yes" : "no");
    }
    {
        Stores stores;
        stores.connection.setDatabasePath(path);
        sqlite3 *other = lock(path, true);
        report("customer lookup, whole file locked (fails)", [&] {
            try {
                stores.customers.customerByTel(QStringLiteral("5551234"));
            } catch (const Failure &) {
            }
        });
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
    }
    return 0;
}
