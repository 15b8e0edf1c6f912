// The call log when another program holds tel.mdb, and the date it gets: the
// real Corvane in a program folder of its own with tel.mdb as the build
// makes it, the fake modem, and this test as the other program holding the
// database.

#include "databaselock.h"
#include "modemsim.h"
#include "runningprogram.h"
#include "writtennumbers.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane;

using Program = test::RunningProgram;
using Hold = test::DatabaseLock::Hold;

namespace {

const QString keptMessage =
    QStringLiteral("数据库暂时无法写入，来电记录已保存在备用文件中，数据库恢复后将自动写入。");
// The start of what the user is told when the lookup cannot read tel.mdb.
const QString heldMessage = QStringLiteral("数据库文件 ");

QString callCommand(const QString &date = test::todayAsReported(),
                    const QString &time = QStringLiteral("1405"))
{
    return QStringLiteral("call 5551234 %1 %2").arg(date, time);
}

#ifdef CORVANE_FAKETIME
// The program's clock faked by libfaketime: FAKETIME or its file still to be
// given.
QProcessEnvironment fakedClock()
{
    QProcessEnvironment clockSet;
    clockSet.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(CORVANE_FAKETIME));
    // Timers keep the real clock's pace.
    clockSet.insert(QStringLiteral("FAKETIME_DONT_FAKE_MONOTONIC"), QStringLiteral("1"));
    // The sanitizer build's runtime would refuse a library loaded before it.
    const QString sanitizerOptions = qEnvironmentVariable("ASAN_OPTIONS");
    clockSet.insert(QStringLiteral("ASAN_OPTIONS"), sanitizerOptions +
                                                        (sanitizerOptions.isEmpty() ? "" : ":") +
                                                        QStringLiteral("verify_asan_link_order=0"));
    return clockSet;
}
#endif

} // namespace

class TestCallLogEndToEnd : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ModemSim> m_modem;
    std::unique_ptr<Program> m_program;

    QString file(const QString &name) const { return m_program->folder() + name; }
    QStringList logged() const
    {
        return m_program->query(
            QStringLiteral("select adate, atime, tel, customercode, customername from detail"));
    }
    static QString expectedRow() { return QStringLiteral("%1|14:05|5551234|C1|Shop").arg(test::todayText()); }
    qsizetype journalLines() const
    {
        QFile journal(file(QStringLiteral("calls.journal")));
        return journal.open(QIODevice::ReadOnly) ? journal.readAll().count('\n') : 0;
    }

    void startProgram(const QProcessEnvironment &environment = {})
    {
        m_modem = std::make_unique<test::ModemSim>();
        m_program = std::make_unique<Program>(QStringLiteral("制式1"), m_modem->devicePath(),
                                              test::AreaCode020, environment);
        m_program->query(QStringLiteral("insert into customer(customercode, customername, tel) "
                                        "values('C1', 'Shop', '5551234')"));
        QTRY_COMPARE_WITH_TIMEOUT(m_modem->recorded(), QByteArray("at#cid=1\r"), 20000);
        QTest::qWait(300);
    }

private Q_SLOTS:
    void init()
    {
        const QLatin1String own[] = {QLatin1String("theYearIsTheOneNearestThePcClock"),
                                     QLatin1String("theOpenListKeepsACallAfterTheClockWentBack"),
                                     QLatin1String("aFullDiskIsToldAsItIs")};
        if (std::find(std::begin(own), std::end(own), QLatin1String(QTest::currentTestFunction())) ==
            std::end(own))
            startProgram();
    }
    void cleanup()
    {
        m_program.reset();
        m_modem.reset();
    }

    // The call is shown and the user told while the lock is still held (the
    // program did not wait for it); the row arrives after it, exactly once.
    void aRowRefusedDuringALockArrivesOnceAfterIt()
    {
        test::DatabaseLock lock(file(QStringLiteral("tel.mdb")));
        QVERIFY(lock.isHeld());
        QVERIFY(m_modem->command(callCommand()));
        QTRY_COMPARE_WITH_TIMEOUT(m_program->messageTexts(), QStringList{keptMessage}, 10000);
        QCOMPARE(journalLines(), 1);
        QCOMPARE(logged(), QStringList());
        lock.release();

        QTRY_COMPARE_WITH_TIMEOUT(logged(), QStringList{expectedRow()}, 10000);
        QTRY_VERIFY(!QFile::exists(file(QStringLiteral("calls.journal"))));
        QTest::qWait(4000); // longer than a retry
        QCOMPARE(logged(), QStringList{expectedRow()});
        QCOMPARE(m_program->query(QStringLiteral("select number, customercode from calls")),
                 QStringList{QStringLiteral("5551234|C1")});
        QCOMPARE(m_program->messageTexts(), QStringList{keptMessage});
        QVERIFY(m_program->isRunning());
    }

    // A signal to end, sent as soon as the lock is gone and before the next
    // retry: the program writes the kept row on its way out.
    void aKeptRowIsWrittenOnTheWayOutAfterASignal()
    {
        test::DatabaseLock lock(file(QStringLiteral("tel.mdb")));
        QVERIFY(lock.isHeld());
        QVERIFY(m_modem->command(callCommand()));
        QTRY_COMPARE_WITH_TIMEOUT(m_program->messageTexts(), QStringList{keptMessage}, 10000);
        lock.release();
        QProcess &process = m_program->process();
        process.terminate();
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(logged(), QStringList{expectedRow()});
        QVERIFY(!QFile::exists(file(QStringLiteral("calls.journal"))));
    }

    // Killed while the row is only in the journal, started again while the
    // database is still locked: the row arrives once the lock ends, once.
    // Held for writing, the customer is found and the row waits; held
    // against readers too, the lookup fails and the call waits for it.
    void aKeptRowSurvivesAKillAndARestart_data()
    {
        QTest::addColumn<bool>("againstReaders");
        QTest::addColumn<QStringList>("firstRun");
        QTest::addColumn<QStringList>("afterRestart");
        QTest::newRow("held for writing")
            << false << QStringList{keptMessage} << QStringList{keptMessage, keptMessage};
        QTest::newRow("held against readers")
            << true << QStringList{heldMessage} << QStringList{heldMessage, heldMessage, keptMessage};
    }
    void aKeptRowSurvivesAKillAndARestart()
    {
        QFETCH(bool, againstReaders);
        QFETCH(QStringList, firstRun);
        QFETCH(QStringList, afterRestart);
        const auto told = [this](const QStringList &expected) {
            const QStringList texts = m_program->messageTexts();
            if (texts.size() != expected.size())
                return false;
            for (qsizetype i = 0; i < texts.size(); ++i)
                if (!texts[i].startsWith(expected[i]))
                    return false;
            return true;
        };
        QProcess &process = m_program->process();
        const auto kill = [&] {
            process.kill();
            QVERIFY(process.waitForFinished(10000));
        };
        // Nobody can keep readers out of a file in WAL mode that the program
        // has open: that lock is taken before the program starts.
        if (againstReaders)
            kill();
        test::DatabaseLock lock(file(QStringLiteral("tel.mdb")),
                                againstReaders ? Hold::Everything : Hold::Writes);
        QVERIFY(lock.isHeld());
        if (againstReaders) {
            process.start();
            QTRY_COMPARE_WITH_TIMEOUT(m_modem->recorded(), QByteArray("at#cid=1\rat#cid=1\r"), 20000);
            QTest::qWait(300);
        }
        QVERIFY(m_modem->command(callCommand()));
        QTRY_COMPARE_WITH_TIMEOUT(journalLines(), 1, 10000);
        QTRY_VERIFY2_WITH_TIMEOUT(told(firstRun), qPrintable(m_program->messageTexts().join(u'\n')), 10000);
        kill();
        process.start();
        // The new run cannot write it either, and says so once.
        QTRY_VERIFY2_WITH_TIMEOUT(told(afterRestart), qPrintable(m_program->messageTexts().join(u'\n')),
                                  20000);
        if (!againstReaders)
            QCOMPARE(logged(), QStringList());
        lock.release();

        QTRY_COMPARE_WITH_TIMEOUT(logged(), QStringList{expectedRow()}, 10000);
        QTRY_VERIFY(!QFile::exists(file(QStringLiteral("calls.journal"))));
        QTest::qWait(4000);
        QCOMPARE(logged(), QStringList{expectedRow()});
        QVERIFY(m_program->isRunning());
    }

    // Customers another program (sqlite3) wrote while Corvane was not
    // running are keyed at its next start, and found however their numbers
    // were written.
    void numbersWrittenByAnotherProgramAreFoundHoweverWritten()
    {
        QVERIFY(m_modem->command(callCommand()));
        QTRY_COMPARE_WITH_TIMEOUT(logged(), QStringList{expectedRow()}, 10000);
        QProcess &process = m_program->process();
        process.terminate();
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(QProcess::execute(QStringLiteral("sqlite3"),
                                   {file(QStringLiteral("tel.mdb")), test::WrittenNumbersInsert}),
                 0);
        process.start();
        QVERIFY(process.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(m_modem->recorded().count("at#cid=1\r"), 2, 20000);

        test::callEveryWrittenNumber(*m_modem, *m_program, [this] {
            return m_program->query(QStringLiteral(
                "select tel || ' ' || customercode from detail where tel <> '5551234' order by id"));
        });
        QCOMPARE(m_program->customersWaitingForKeys(), 0);
    }

    // The data folder on a full disk: the box says the call waits in memory
    // when the journal could not take it, and the call is written once the
    // disk has room again.
    void aFullDiskIsToldAsItIs()
    {
        QTemporaryDir base;
        if (QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               // Room for the program (far larger in the sanitizer build) and 64 MB.
                               QStringLiteral("size=%1").arg(
                                   QFileInfo(QStringLiteral(CORVANE_UNDER_TEST)).size() + (qint64(64) << 20)),
                               QStringLiteral("tmpfs"), base.path()}) != 0)
            QSKIP("a small tmpfs cannot be mounted here (that needs root)");
        const auto unmount = qScopeGuard([&] {
            m_program.reset();
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("--lazy"), base.path()});
        });
        const QByteArray tmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", base.path().toLocal8Bit());
        startProgram();
        qputenv("TMPDIR", tmp);
        QVERIFY(m_program->folder().startsWith(base.path()));
        // The test's own logs of the program stay off the full disk.
        QTemporaryDir logs;
        for (const QString &name : {QStringLiteral("messages.log"), QStringLiteral("window.log")}) {
            QFile::rename(file(name), logs.filePath(name));
            QVERIFY(QFile::link(logs.filePath(name), file(name)));
        }
        QFile filler(file(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(4096, 'x')) > 0) {
        }
        QVERIFY(m_modem->command(callCommand()));
        QTRY_VERIFY_WITH_TIMEOUT(!m_program->messageTexts().isEmpty(), 10000);
        const QStringList told = m_program->messageTexts();
        QCOMPARE(told.size(), 1);
        QCOMPARE(journalLines(), 0);
        QVERIFY2(told.first().contains(QStringLiteral("暂时只保存在内存中")), qPrintable(told.first()));
        QVERIFY(filler.remove());
        QTRY_COMPARE_WITH_TIMEOUT(logged(), QStringList{expectedRow()}, 10000);
    }

    // A book of an older release, without keys, of 100,000 customers: the
    // window answers while they are keyed in the background and a call is
    // shown and logged meanwhile; killed half way, the next start goes on
    // from the customers still waiting and notes nobody again.
    void anOlderBookIsKeyedInTheBackgroundAndResumedAfterAKill()
    {
        constexpr int Customers = 100000;
        QProcess &process = m_program->process();
        process.terminate();
        QVERIFY(process.waitForFinished(10000));
        const QString olderBook =
            QStringLiteral("DROP TRIGGER customer_added; DROP TRIGGER customer_tel_changed; "
                           "DROP TRIGGER customer_removed; DROP TABLE customer_key; "
                           "DROP TABLE customer_unkeyed; DROP TABLE customer_keying; DROP TABLE calls; "
                           "DROP TABLE schema_version; WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL "
                           "SELECT i + 1 FROM n WHERE i < %1) INSERT INTO customer (customercode, tel) "
                           "SELECT 'K' || i, '1380' || substr('0000000' || i, -7) FROM n")
                .arg(Customers);
        QCOMPARE(QProcess::execute(QStringLiteral("sqlite3"), {file(QStringLiteral("tel.mdb")), olderBook}),
                 0);
        const auto unkeyed = [this] { return int(m_program->customersWaitingForKeys()); };
        const double startMs = double(QDateTime::currentMSecsSinceEpoch());
        process.start();
        QVERIFY(process.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(m_modem->recorded().count("at#cid=1\r"), 2, 20000);
        QVERIFY(m_modem->command(callCommand()));
        QTRY_COMPARE_WITH_TIMEOUT(logged(), QStringList{expectedRow()}, 10000);
        qInfo("call logged with %d of %d customers not yet keyed", unkeyed(), Customers);
        QTRY_VERIFY_WITH_TIMEOUT(unkeyed() < Customers, 20000);
        process.kill();
        QVERIFY(process.waitForFinished(10000));
        const int left = unkeyed();
        qInfo("killed with %d not yet keyed; longest stall %.0f ms", left,
              m_program->longestStallMs(startMs));

        const double againMs = double(QDateTime::currentMSecsSinceEpoch());
        process.start();
        QVERIFY(process.waitForStarted());
        QVERIFY(unkeyed() <= left);
        QTRY_COMPARE_WITH_TIMEOUT(unkeyed(), 0, 60000);
        QCOMPARE(
            m_program->query(QStringLiteral("select count(*), count(distinct customerid) from customer_key")),
            QStringList{QStringLiteral("%1|%1").arg(Customers)});
        qInfo("started again: longest stall %.0f ms", m_program->longestStallMs(againMs));
    }

    // The PC clock at the turn of the year: a call reported on 31 December
    // and read after midnight keeps its year, one reported on 1 January and
    // read before it takes the next; a month and day that are no date keep
    // the clock's year; a report of the number alone takes the clock's date
    // and time.
    void theYearIsTheOneNearestThePcClock_data()
    {
        QTest::addColumn<QString>("clock");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("just after midnight on 1 January")
            << "2028-01-01 00:00:30"
            << QStringList{callCommand(QStringLiteral("1231"), QStringLiteral("2359")),
                           callCommand(QStringLiteral("1399"), QStringLiteral("1000")),
                           QStringLiteral("alone")}
            << QStringList{QStringLiteral("2027-12-31|23:59"), QStringLiteral("2028-13-99|10:00"),
                           QStringLiteral("2028-01-01|00:0")};
        QTest::newRow("before midnight on 31 December")
            << "2025-12-31 23:50:00"
            << QStringList{callCommand(QStringLiteral("0101"), QStringLiteral("0000"))}
            << QStringList{QStringLiteral("2026-01-01|00:00")};
    }
    void theYearIsTheOneNearestThePcClock()
    {
#ifndef CORVANE_FAKETIME
        QSKIP("libfaketime is not installed (setup.sh installs it)");
#else
        QFETCH(QString, clock);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, rows);
        QProcessEnvironment clockSet = fakedClock();
        clockSet.insert(QStringLiteral("FAKETIME"), QLatin1Char('@') + clock);
        startProgram(clockSet);
        const auto logged = [this] {
            return m_program->query(QStringLiteral("select adate || '|' || atime from detail order by id"));
        };
        // Each call once the one before is logged, so the line reads them apart.
        for (qsizetype i = 0; i < calls.size(); ++i) {
            QVERIFY(calls[i] == QLatin1String("alone")
                        ? m_modem->send(QStringLiteral("\r\nNMBR = 5551234\r\n\r\n"))
                        : m_modem->command(calls[i]));
            QTRY_COMPARE_WITH_TIMEOUT(logged().size(), i + 1, 10000);
            QVERIFY2(logged()[i].startsWith(rows[i]), qPrintable(logged()[i]));
        }
#endif
    }

    // The PC clock goes back an hour between two calls while 最近来电 is
    // open: the later call, taken an hour "before" the first, is listed too,
    // below it.
    void theOpenListKeepsACallAfterTheClockWentBack()
    {
#ifndef CORVANE_FAKETIME
        QSKIP("libfaketime is not installed (setup.sh installs it)");
#else
        QTemporaryDir clockDir;
        const QString clock = clockDir.filePath(QStringLiteral("clock"));
        const auto setClock = [&](const QByteArray &offset) {
            QFile file(clock);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(offset + '\n') > 0);
        };
        setClock("+0");
        QProcessEnvironment clockSet = fakedClock();
        clockSet.insert(QStringLiteral("FAKETIME_TIMESTAMP_FILE"), clock);
        clockSet.insert(QStringLiteral("FAKETIME_CACHE_DURATION"), QStringLiteral("1"));
        clockSet.insert(QStringLiteral("CORVANE_OPEN_RECENT_CALLS"), QStringLiteral("1"));
        startProgram(clockSet);
        QVERIFY(m_modem->command(callCommand()));
        QTRY_COMPARE_WITH_TIMEOUT(m_program->recentCalls(), QStringList{QStringLiteral("5551234|0|")}, 10000);

        setClock("-3600");
        QTest::qWait(1500); // longer than the clock's file is cached
        QVERIFY(m_modem->command(QStringLiteral("call 5559876 %1 1406").arg(test::todayAsReported())));
        // Below the first: the list runs newest first by the time taken.
        QTRY_COMPARE_WITH_TIMEOUT(m_program->recentCalls(),
                                  (QStringList{QStringLiteral("5551234|0|"), QStringLiteral("5559876|0|")}),
                                  10000);
        QCOMPARE(m_program->messageTexts(),
                 QStringList{QStringLiteral("此号码为新号码，如果要保存的话请点击<保存新号码>按钮")});
#endif
    }
};

QTEST_MAIN(TestCallLogEndToEnd)
#include "tst_calllog_e2e.moc"
