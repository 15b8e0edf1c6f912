// Figures for the caller's history under the record with 10,000,000 calls:
// a known customer's last calls, how often a number called (a usual caller
// and the shop's busiest one), each with the call shown left out.
#include "benchdata.h"
#include "store/callhistory.h"
#include "store/statement.h"
#include "store/stores.h"
#include "store/transaction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace corvane;

namespace {

constexpr int Customers = 1'000'000;

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void timeEach(const char *what, int times, const std::function<void(int)> &action)
{
    std::vector<double> elapsed;
    QElapsedTimer timer;
    for (int i = 0; i < times; ++i) {
        timer.restart();
        action(i);
        elapsed.push_back(ms(timer));
    }
    std::sort(elapsed.begin(), elapsed.end());
    double sum = 0;
    for (double e : elapsed)
        sum += e;
    std::printf("%s: mean %.3f ms, 99th %.3f ms, worst %.3f ms over %d\n", what, sum / times,
                elapsed[std::size_t(times * 99 / 100)], elapsed.back(), times);
}

// Ten calls a second from 2020 on; nine in ten from one of a million known
// customers, and one number in every hundred calls is the busiest caller's.
void fillCalls(Connection &connection, int rows)
{
    bench::withCallIndexesAfter(connection, [&] {
        Statement fill(
            connection,
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < :last) "
                           "INSERT INTO calls (taken, number, numberkey, customercode, note, token) "
                           "SELECT datetime('2020-01-01', '+' || (i / 10) || ' seconds'), "
                           "k, k, CASE WHEN i % 10 <> 9 THEN 'C' || (i / 10 % :customers) END, "
                           "'note ' || i, 'b' || i "
                           "FROM (SELECT i, CASE WHEN i % 100 = 0 THEN '13900000000' "
                           "ELSE printf('1380%07d', i % :customers) END AS k FROM n)"));
        fill.bind(":last", qint64(rows - 1));
        fill.bind(":customers", qint64(Customers));
        fill.run();
    });
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // The row count can be lowered for a quick run: bench_history 100000
    const int Rows = argc > 1 ? std::max(1000, QByteArray(argv[1]).toInt()) : 10'000'000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tel.mdb"));
    bench::createFilledDatabase(path, 1000, 0);
    Stores stores;
    stores.connection.setDatabasePath(path);
    QElapsedTimer timer;
    timer.start();
    fillCalls(stores.connection, Rows);
    std::printf("building %d calls: %.0f ms (setup, not a target)\n", Rows, ms(timer));

    CallHistory &history = stores.callHistory;
    QRandomGenerator random(24);
    qint64 shownCalls = 0;
    timeEach("a known customer's last 3 calls (target < 1 ms)", 2000, [&](int i) {
        const QString code = QStringLiteral("C%1").arg(random.bounded(Customers));
        shownCalls += history.lastCalls(code, QStringLiteral("b%1").arg(i), 3).size();
    });
    std::printf("(%.2f calls shown a customer on average)\n", double(shownCalls) / 2000);
    timeEach("how often a number called (target < 1 ms)", 2000, [&](int i) {
        history.callCount(QStringLiteral("1380%1").arg(random.bounded(Customers), 7, 10, QLatin1Char('0')),
                          QStringLiteral("b%1").arg(i));
    });
    qint64 busiest = 0;
    timeEach("how often the busiest number called", 20,
             [&](int) { busiest = history.callCount(QStringLiteral("13900000000"), QStringLiteral("b0")); });
    std::printf("(the busiest number called %lld times)\n", busiest);
    return 0;
}
