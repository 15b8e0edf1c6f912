// The real program on a tel.mdb of an older release that holds no number keys
// (1,000,000 customers unless given): how soon its window is shown, the
// longest its event loop stood still in the first minute, the last byte of a
// call to its record shown while the keys are made (by the exact number and
// by a key); a kill half way and the start after it, which goes on where the
// keying stopped; then another program's 200,000 new customers and the next
// calls' stall and last byte to record shown.
#include "benchdata.h"
#include "linerate.h"
#include "runningprogram.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <unistd.h>
#include <vector>

using namespace corvane;
using bench::Clock;

namespace {

qint64 unkeyed(const test::RunningProgram &program)
{
    return program.customersWaitingForKeys();
}

// Calls `customer`, by its exact number or as dialled from abroad (found only
// by its key, so missed while it waits for its keys unless it is among the
// newest), and prints last byte to record shown.
void call(const test::RunningProgram &program, int master, int customer, bool byKey, const char *when)
{
    const QString tel = byKey ? QStringLiteral("86") + bench::telOf(customer) : bench::telOf(customer);
    const double lastByte = bench::sendReportOf(master, tel);
    std::optional<double> shown;
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (!shown && Clock::now() < deadline) {
        QThread::msleep(5);
        shown = program.shownAt(QStringLiteral("addressEdit"), bench::addressOf(customer), lastByte - 1);
    }
    if (shown)
        std::printf("%s, call by %s: last byte to record shown %.0f ms (%lld not yet keyed)\n", when,
                    byKey ? "key" : "exact number", *shown - lastByte, unkeyed(program));
    else
        std::printf("%s, call by %s: record not shown within 30 s (%lld not yet keyed)\n", when,
                    byKey ? "key" : "exact number", unkeyed(program));
    QThread::msleep(300);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int customers = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 1'000'000;
    const bench::ModemPty modem;
    if (!modem.isOpen())
        return 1;
    const int master = modem.master();
    test::RunningProgram program(QStringLiteral("制式1"), modem.name());
    QProcess &process = program.process();
    process.terminate();
    process.waitForFinished(10000);
    const QString file = program.folder() + QStringLiteral("tel.mdb");
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(file + QLatin1String(suffix));
    bench::createFilledDatabase(file, customers, 0);
    // As an older release left it: none of the tables added since.
    if (QProcess::execute(QStringLiteral("sqlite3"),
                          {file, QStringLiteral("DROP TABLE customer_key; DROP TABLE customer_unkeyed; "
                                                "DROP TRIGGER IF EXISTS customer_added; "
                                                "DROP TRIGGER IF EXISTS customer_tel_changed; "
                                                "DROP TRIGGER IF EXISTS customer_removed; DROP TABLE calls; "
                                                "DROP TABLE customer_keying; "
                                                "DROP TABLE schema_version; VACUUM")}) != 0) {
        std::printf("sqlite3 could not make the older release's file\n");
        return 1;
    }

    double startMs = bench::systemNowMs();
    program.restart();
    std::printf("%d customers of an older release\n", customers);
    QThread::msleep(500);
    call(program, master, customers / 2, false, "half a second after the start");
    call(program, master, 1, true, "while keying, a customer keyed first");
    call(program, master, customers - 3, true, "while keying, a customer keyed last");

    std::printf("first start: longest stall %.0f ms\n", program.longestStallMs(startMs));
    const qint64 beforeKill = unkeyed(program);
    process.kill();
    process.waitForFinished(10000);
    const qint64 afterKill = unkeyed(program);
    std::printf("killed while keying: %lld of %d not yet keyed (%lld before the kill)\n", afterKill,
                customers, beforeKill);
    startMs = bench::systemNowMs();
    program.restart();
    QThread::msleep(500);
    call(program, master, customers / 2 + 1, false, "half a second after the start again");
    call(program, master, 2, true, "after the start again, a customer keyed before the kill");
    while (unkeyed(program) > 0 && bench::systemNowMs() - startMs < 600000) {
        if (bench::systemNowMs() - startMs < 60000)
            call(program, master, int((bench::systemNowMs() - startMs) * 13) % customers + 1, false,
                 "while keying");
        else
            QThread::msleep(500);
    }
    const qint64 keys =
        program.query(QStringLiteral("SELECT count(*) FROM customer_key")).value(0).toLongLong();
    std::printf(
        "keyed %.1f s after the start again, %lld keys for %d customers; longest stall since: %.0f ms\n",
        (bench::systemNowMs() - startMs) / 1000, keys, customers, program.longestStallMs(startMs));
    call(program, master, customers / 3, true, "keyed");

    const double insertedMs = bench::systemNowMs();
    program.query(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) "
                       "INSERT INTO customer (customercode, address, tel) "
                       "SELECT 'KH' || i, '广东省深圳市南山区科技园路' || i || '号', "
                       "'1390' || substr('0000000' || i, -7) FROM n")
            .arg(customers + 1)
            .arg(customers + 200000));
    std::printf("another program added 200,000 customers in %.1f s\n",
                (bench::systemNowMs() - insertedMs) / 1000);
    const double afterInsertMs = bench::systemNowMs();
    call(program, master, customers / 4, true, "after the insert");
    call(program, master, customers / 5, false, "after the insert");
    std::printf("after the insert: longest stall %.0f ms\n", program.longestStallMs(afterInsertMs));
    return 0;
}
