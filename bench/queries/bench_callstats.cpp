// Figures for 来电统计 with ten million calls over ten years up to now (a
// shop of 2,700 calls a day): the time from opening the window, and from
// each change of period, to the charts painted, and the memory the process
// holds. The calls are made by one recursive SQL statement.
#include "benchdata.h"
#include "core/callperiod.h"
#include "desktop/filechooser.h"
#include "peakmeter.h"
#include "records/callstatsform.h"
#include "store/callerfiguresreader.h"
#include "store/statement.h"
#include "store/stores.h"
#include "store/transaction.h"
#include "widgets/barchart/barchart.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace corvane;

namespace {

constexpr int Customers = 100'000;
constexpr int Years = 10;

class NoFileChooser : public FileChooser
{
public:
    QString fileToOpen(QWidget *, const QString &, const QString &) override { return {}; }
    QString fileToSave(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
};

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Oldest first, evenly up to the moment they are made: seven in ten from
// known customers, two in ten from new numbers, one in twelve withheld;
// three in ten not handled. The customers are keyed as the program keys them.
void fillCalls(Connection &connection, int rows)
{
    bench::withCallIndexesAfter(connection, [&] {
        Statement fill(
            connection,
            QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < :last) "
                "INSERT INTO calls (taken, number, numberkey, customercode, handled, token) "
                "SELECT datetime('now', 'localtime', '-' || ((:last - i) * :spread / :rows) || ' seconds'), "
                "number, CASE WHEN kind < 8 THEN '' ELSE number END, "
                "CASE WHEN kind >= 28 THEN 'KH' || customer END, i % 10 >= 3, 'b' || i FROM (SELECT i, kind, "
                "customer, CASE WHEN kind < 5 THEN 'P' WHEN kind < 8 THEN 'O' WHEN kind < 28 THEN "
                "printf('1390%07d', i % 9000000) ELSE printf('1380%07d', customer) END AS number FROM "
                "(SELECT i, "
                "i * 7919 % 100 AS kind, i * 104729 % :customers AS customer FROM n))"));
        fill.bind(":last", qint64(rows - 1));
        fill.bind(":rows", qint64(rows));
        fill.bind(":spread", qint64(Years) * 365 * 86400);
        fill.bind(":customers", qint64(Customers));
        fill.run();
    });
    Transaction transaction(connection);
    Statement(connection, QStringLiteral("INSERT OR IGNORE INTO customer_key (numberkey, customerid) "
                                         "SELECT tel, id FROM customer"))
        .run();
    Statement(connection, QStringLiteral("DELETE FROM customer_unkeyed")).run();
    transaction.commit();
}

// The file with its calls, made once and kept in the build folder.
QString filledDatabase(int rows)
{
    const QString cached = QStringLiteral(CORVANE_BENCH_CACHE "/callstats-%1.mdb").arg(rows);
    if (QFileInfo::exists(cached))
        return cached;
    const QString building = cached + QStringLiteral(".part");
    bench::createFilledDatabase(building, Customers, 0);
    {
        Connection connection;
        connection.setDatabasePath(building);
        QElapsedTimer timer;
        timer.start();
        fillCalls(connection, rows);
        std::printf("making %d calls: %.0f s (setup, not a target)\n", rows, ms(timer) / 1000);
    }
    QFile::rename(building, cached);
    return cached;
}

// Runs `action`, then the event loop until both charts have painted, and on
// until the callers (read in the background) are shown; in ms.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget *form) : m_totals(form->findChild<QLabel *>(QStringLiteral("totalsLabel")))
    {
        for (BarChart *chart : form->findChildren<BarChart *>())
            chart->installEventFilter(this);
    }

    // "wall ms (CPU ms)": on a machine shared with other work the wall time
    // alone overstates what the program itself costs. The longest gap
    // between two ticks of a 10 ms timer tells how long the window stood
    // still, the action itself included. The loop sleeps while it waits, so
    // that the reader's thread has the processor to itself.
    template <typename Action> QByteArray timeToPaint(Action action)
    {
        m_painted = 0;
        QElapsedTimer timer;
        timer.start();
        double lastTick = 0;
        double longestGap = 0;
        QTimer ticks;
        ticks.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, ms(timer) - lastTick);
            lastTick = ms(timer);
        });
        ticks.start(10);
        const double cpuAtStart = cpuMs();
        action();
        while (m_painted < 2)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        const QByteArray painted = QByteArray::number(ms(timer), 'f', 0) + " ms (CPU " +
                                   QByteArray::number(cpuMs() - cpuAtStart, 'f', 0) + " ms)";
        while (!m_totals->text().contains(QStringLiteral("号码 ")))
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        return painted + ", callers shown " + QByteArray::number(ms(timer), 'f', 0) +
               " ms, the window never still over " + QByteArray::number(longestGap, 'f', 0) + " ms";
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_painted;
        return false;
    }

private:
    const QLabel *m_totals;
    int m_painted = 0;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // The call count can be lowered for a quick run: bench_callstats 100000
    const int Rows = argc > 1 ? std::max(1000, QByteArray(argv[1]).toInt()) : 10'000'000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tel.mdb"));
    if (!QFile::copy(filledDatabase(Rows), path))
        return 1;

    Stores stores;
    stores.connection.setDatabasePath(path);
    // A file made by an older build gets the steps added since, as at a
    // start of the program.
    QElapsedTimer opening;
    opening.start();
    stores.connection.engine();
    std::printf("opening the database, brought up to date: %.0f ms (setup, not a target)\n", ms(opening));

    // Peak memory from here on: making the file is not the program's work.
    bench::PeakMeter meter;
    NoFileChooser files;
    CallerFiguresReader callers(stores.connection);
    CallStatsForm form(stores.callFigures, callers, files, [](qint64) {});
    PaintWatch watch(&form);
    std::printf("%d calls over %d years; opening 来电统计 on 本月 (target < 1000 ms): %s\n", Rows, Years,
                watch.timeToPaint([&] { form.show(); }).constData());
    auto *periods = form.findChild<QComboBox *>(QStringLiteral("periodBox"));
    const char *names[] = {"今天", "本周", "本月", "近30天", "今年"};
    for (const int choice : {0, 1, 3, 4, 2}) {
        std::printf("changing the period to %s (target < 1000 ms): %s\n", names[choice],
                    watch.timeToPaint([&] { periods->setCurrentIndex(choice); }).constData());
    }
    // Every call of the ten years, by month: beyond the periods offered, the
    // worst a user can pick.
    periods->setCurrentIndex(int(PeriodChoice::Dates));
    form.findChild<QDateEdit *>(QStringLiteral("lastDateEdit"))->setDate(QDate::currentDate());
    const QByteArray everything = watch.timeToPaint([&] {
        form.findChild<QDateEdit *>(QStringLiteral("firstDateEdit"))
            ->setDate(QDate::currentDate().addYears(-Years));
    });
    std::printf("changing the period to all %d years by two dates: %s\n", Years, everything.constData());
    meter.report("来电统计 open");
    return 0;
}
