// Figures for the stores on a shared server over loopback, with a million
// customers and a million calls moved there from a tel.mdb by the copy
// command's code: the copy itself, connecting, the incoming-number lookup, and
// the first page of the picker, the customer list, a day and a year of calls.
// The same connect and first lookup on tel.mdb stand beside them.
#include "benchdata.h"
#include "pgserver.h"
#include "records/dataset.h"
#include "store/servercopy.h"
#include "store/stores.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace corvane;

namespace {

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Connecting and the first lookup: what a desk does before it can show a
// caller after start-up.
void connectAndLookUp(const char *engine, Connection &connection, CustomerStore &customers, int rows)
{
    QElapsedTimer timer;
    timer.start();
    connection.engine();
    const double connected = ms(timer);
    const bool found = customers.customerByTel(bench::telOf(rows / 2)).has_value();
    std::printf("%s: connecting %.1f ms, connecting and first lookup %.1f ms (%s)\n", engine, connected,
                ms(timer), found ? "found" : "NOT FOUND");
}

// Opens `query` in a dataset as a window does and reports the time to its
// first page.
void firstPage(const char *what, std::unique_ptr<PagedQuery> query)
{
    QElapsedTimer timer;
    timer.start();
    Dataset rows(std::move(query));
    rows.open();
    const double opened = ms(timer);
    timer.restart();
    rows.last();
    const QString lastId = rows.fieldText(QStringLiteral("id"));
    std::printf("%s: first page %.0f ms (%d rows), to the last row %.1f ms (id %s)\n", what, opened,
                rows.recordCount(), ms(timer), qPrintable(lastId));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // The row count can be lowered for a quick run: bench_server 10000
    const int Rows = argc > 1 ? std::max(1000, QByteArray(argv[1]).toInt()) : 1'000'000;
    QTemporaryDir dir;
    const QString telMdb = dir.filePath(QStringLiteral("tel.mdb"));
    bench::createFilledDatabase(telMdb, Rows, Rows);

    Stores local;
    local.connection.setDatabasePath(telMdb);
    connectAndLookUp("tel.mdb", local.connection, local.customers, Rows);

    test::PgServer server;
    const ServerAddress address = server.loopbackAddress();

    QElapsedTimer timer;
    timer.start();
    {
        Connection target;
        target.setServer(address);
        // As the copy command waits: no window waits with it.
        target.setAnswerWait(60'000);
        const CopiedCounts counts = copyToServer(local.connection, target, ExistingCustomers::Refuse);
        std::printf("copying tel.mdb to the server: %lld customers and %lld calls in %.0f ms\n",
                    counts.customers, counts.calls, ms(timer));
    }
    server.query(QStringLiteral("ANALYZE"));

    Stores shared;
    shared.connection.setServer(address);
    connectAndLookUp("server over loopback", shared.connection, shared.customers, Rows);

    // As the line reports the number, and with the trunk 0 the line may put
    // before a mobile number, which only the number's key finds.
    constexpr int Lookups = 2000;
    for (const char *prefix : {"", "0"}) {
        std::vector<double> times;
        for (int i = 0; i < Lookups; ++i) {
            const QString number =
                QLatin1String(prefix) + bench::telOf(int(QRandomGenerator::global()->bounded(Rows)));
            timer.restart();
            if (!shared.customers.customerByTel(number))
                return 1;
            times.push_back(ms(timer));
        }
        std::sort(times.begin(), times.end());
        double total = 0;
        for (double time : times)
            total += time;
        std::printf(
            "number lookup on the server%s: mean %.3f ms, median %.3f ms, 99th %.3f ms, worst %.3f ms "
            "over %d\n",
            *prefix ? " by its key" : "", total / Lookups, times[Lookups / 2], times[Lookups * 99 / 100],
            times.back(), Lookups);
    }
    timer.restart();
    const bool unknown = shared.customers.customerByTel(QStringLiteral("000")).has_value();
    std::printf("unknown number lookup: %.3f ms (%s)\n", ms(timer), unknown ? "found?" : "none");

    firstPage("picker / customer list (all customers)", shared.customers.allCustomers());
    firstPage("customers with one code", shared.customers.customersWithCode(QStringLiteral("KH500")));
    const QDate day(2024, 3, 3);
    firstPage("call log of one day", shared.calls.callsBetween(day, day, {}));
    firstPage("call log of the whole year",
              shared.calls.callsBetween(QDate(2024, 1, 1), QDate(2024, 12, 31), {}));
    return 0;
}
