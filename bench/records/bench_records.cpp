// Figures for the customer records with a million customers and a million
// logged calls: the incoming-number lookup, a save of the entry form, opening
// the entry form's dataset,
// moving to its last row, a year of calls, and the memory the snapshots take.
#include "benchdata.h"
#include "records/dataset.h"
#include "store/pagedquery.h"
#include "store/stores.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <numeric>
#include <vector>

using namespace corvane;

namespace {

// Resident and peak memory of this process in MB, from /proc.
double memoryMb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// CPU time of this process in ms: on a machine shared with other work the
// wall time alone overstates what the program itself costs.
double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Runs `action` `times` times and prints the mean, 99th percentile and worst
// time, wall and CPU.
void timeEach(const char *what, int times, const std::function<void()> &action)
{
    std::vector<double> elapsed;
    QElapsedTimer timer;
    const double cpu = cpuMs();
    for (int i = 0; i < times; ++i) {
        timer.restart();
        action();
        elapsed.push_back(ms(timer));
    }
    const double cpuMean = (cpuMs() - cpu) / times;
    std::sort(elapsed.begin(), elapsed.end());
    const double mean = std::accumulate(elapsed.begin(), elapsed.end(), 0.0) / times;
    std::printf("%s: mean %.3f ms (CPU %.3f ms), 99th %.3f ms, worst %.3f ms over %d\n", what, mean, cpuMean,
                elapsed[std::size_t(times * 99 / 100)], elapsed.back(), times);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // The row count can be lowered for a quick run: bench_records 10000
    const int Rows = argc > 1 ? std::max(1000, QByteArray(argv[1]).toInt()) : 1'000'000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tel.mdb"));
    QElapsedTimer timer;
    timer.start();
    bench::createFilledDatabase(path, Rows, Rows);
    std::printf("building %d customers and %d calls: %.0f ms (setup, not a target)\n", Rows, Rows, ms(timer));
    std::printf("resident memory before opening: %.1f MB\n", memoryMb("VmRSS:"));

    Stores stores;
    stores.connection.setDatabasePath(path);
    timer.restart();
    stores.connection.engine();
    std::printf("opening the connection: %.2f ms\n", ms(timer));

    // The incoming-call lookup the main window runs: a number written as
    // the line reports it, and one the line reports with the trunk 0, which
    // only its key finds.
    const auto lookUp = [&](const QString &prefix) {
        const QString number = prefix + bench::telOf(int(QRandomGenerator::global()->bounded(Rows)));
        if (!stores.customers.customerByTel(number, QStringLiteral("020")))
            std::exit(1);
    };
    timeEach("number lookup (target < 1 ms)", 2000, [&] { lookUp({}); });
    timeEach("number lookup by its key (target < 1 ms)", 2000, [&] { lookUp(QStringLiteral("0")); });

    // A save of the entry form: a new customer, then a change of its number.
    const auto entryRows = stores.customers.allCustomers();
    const qsizetype telColumn = entryRows->fields().indexOf(QStringLiteral("tel"));
    std::vector<bool> given(std::size_t(entryRows->fields().size()), true);
    given[std::size_t(entryRows->keyColumn())] = false;
    std::vector<bool> telOnly(given.size(), false);
    telOnly[std::size_t(telColumn)] = true;
    Record saved(given.size());
    int saves = 0;
    qint64 savedKey = 0;
    timeEach("saving a new customer", 200, [&] {
        ++saves;
        saved[1] = QStringLiteral("NEW%1").arg(saves);
        saved[std::size_t(telColumn)] = QStringLiteral("020-8%1").arg(saves, 7, 10, QLatin1Char('0'));
        savedKey = entryRows->insert(saved, given);
    });
    timeEach("changing a customer's number", 200, [&] {
        saved[std::size_t(telColumn)] = QStringLiteral("139 %1").arg(++saves, 8, 10, QLatin1Char('0'));
        entryRows->update(savedKey, saved, telOnly);
    });

    // Peak memory from here on: the building above is not the program's.
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
    clearRefs.close();
    timer.restart();
    const double openCpu = cpuMs();
    Dataset entry(stores.customers.allCustomers());
    entry.open();
    std::printf("opening the entry form's dataset, %d rows (target < 1000 ms): %.0f ms (CPU %.0f ms)\n",
                entry.recordCount(), ms(timer), cpuMs() - openCpu);
    timer.restart();
    entry.last();
    const QString lastCode = entry.fieldText(QStringLiteral("customercode"));
    std::printf("moving to the last row (%s): %.3f ms\n", qPrintable(lastCode), ms(timer));
    std::printf(
        "resident memory with the dataset open (target < 300 MB): %.1f MB, peak since opening %.1f MB\n",
        memoryMb("VmRSS:"), memoryMb("VmHWM:"));

    timer.restart();
    const QDate day(2024, 3, 3);
    Dataset calls(stores.calls.callsBetween(day, day, {}));
    calls.open();
    std::printf("call log of one day (%d calls): %.1f ms\n", calls.recordCount(), ms(timer));

    // A date range covering every call: paged like the whole table.
    timer.restart();
    const double yearCpu = cpuMs();
    calls.setQuery(stores.calls.callsBetween(QDate(2024, 1, 1), QDate(2024, 12, 31), {}));
    calls.open();
    std::printf("call log of the whole year (%d calls, target < 1000 ms): %.0f ms (CPU %.0f ms), resident "
                "memory %.1f MB\n",
                calls.recordCount(), ms(timer), cpuMs() - yearCpu, memoryMb("VmRSS:"));
    timer.restart();
    calls.last();
    std::printf("moving to its last call (%s): %.3f ms\n",
                qPrintable(calls.fieldText(QStringLiteral("adate"))), ms(timer));
    timer.restart();
    calls.moveTo(calls.recordCount() / 2);
    std::printf("moving to its middle call: %.0f ms\n", ms(timer));
    std::printf("peak resident memory since opening: %.1f MB\n", memoryMb("VmHWM:"));
    return 0;
}
