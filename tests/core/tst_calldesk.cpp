// The call desk without a window: the fake modem on a pseudo-terminal, a real
// tel.mdb in a program folder of the test's own, the rings recorded. What a
// window would show is recorded in the order the desk emits it.

#include "calldesklog.h"
#include "core/calldesk.h"
#include "coresupport.h"
#include "databaselock.h"
#include "modemsim.h"
#include "platform/ringplayer.h"
#include "platform/serialcontrol.h"
#include "ringrecorder.h"
#include "store/stores.h"

#include <QFile>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTest>

#include <optional>

using namespace corvane;
using test::CallDeskLog;

namespace {

const QString newNumberText = QStringLiteral("newNumber");

} // namespace

class TestCallDesk : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<test::ModemSim> m_modem;
    std::unique_ptr<test::RingRecorder> m_rings;
    std::unique_ptr<Stores> m_stores;
    std::unique_ptr<RingPlayer> m_ringPlayer;
    std::unique_ptr<CallDesk> m_desk;
    CallDeskLog m_log;

    QString database() const { return m_folder->file(QStringLiteral("tel.mdb")); }
    QStringList logged() const
    {
        return test::sqlColumn(database(), QStringLiteral("select tel || ' ' || atime || ' ' || customercode "
                                                          "from detail order by id"));
    }
    // Table calls: number, number key, customer code (- for none), desk, token.
    QStringList callRows() const
    {
        return test::sqlColumn(database(),
                               QStringLiteral("select number || '|' || numberkey || '|' || "
                                              "ifnull(customercode, '-') || '|' || desk || '|' || "
                                              "token from calls order by id"));
    }
    void send(const QString &text)
    {
        // The modem's answers to the mode command may come first.
        QSignalSpy arrived(m_desk.get(), &CallDesk::callArrived);
        QVERIFY(m_modem->send(text));
        QTRY_VERIFY(!arrived.isEmpty());
    }
private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<test::ProgramFolder>();
        m_modem = std::make_unique<test::ModemSim>();
        m_folder->writeFile(QStringLiteral("zel.ini"),
                            "[zel]\r\nfather=com1\r\nschool=制式1\r\n[ports]\r\ncom1=" +
                                m_modem->devicePath().toUtf8() + "\r\n");
        test::sqlColumn(database(), QStringLiteral("insert into customer(customercode, customername, tel) "
                                                   "values('C001', '张三五金店', '5551234')"));
        m_rings = std::make_unique<test::RingRecorder>();
        m_stores = std::make_unique<Stores>();
        m_ringPlayer = std::make_unique<RingPlayer>();
        m_desk = std::make_unique<CallDesk>(*m_stores, *m_ringPlayer);
        m_log.clear();
        m_log.setDuringNewNumber({});
        m_log.watch(*m_desk);
        m_desk->start();
        QVERIFY(m_desk->serialPort().isOpen());
        QCOMPARE(m_log.entries(), (QStringList{QStringLiteral("customer "), QStringLiteral("call   ")}));
        m_log.clear();
    }
    void cleanup()
    {
        m_desk.reset();
        m_ringPlayer.reset();
        m_stores.reset();
        m_rings.reset();
        m_modem.reset();
        m_folder.reset();
    }

    // A known caller is shown and logged once; the same report again only
    // rings; the same number at another time is a new call.
    void aKnownCallerIsShownAndLoggedOncePerCall()
    {
        // The modem was told its mode when the line opened.
        QTRY_VERIFY(m_modem->recorded().contains("at#cid=1\r"));
        send(test::callerIdReport(QStringLiteral("5551234")));
        QCOMPARE(m_log.entries(),
                 (QStringList{QStringLiteral("arrived"), CallDeskLog::shown(QStringLiteral("5551234")),
                              QStringLiteral("customer C001")}));
        QCOMPARE(m_desk->shownCustomer().name, QStringLiteral("张三五金店"));
        QCOMPARE(logged(), QStringList{QStringLiteral("5551234 14:05 C001")});
        QVERIFY(m_desk->ringRepeating());
        QVERIFY(m_desk->ringPeriodRunning());
        m_log.clear();

        send(test::callerIdReport(QStringLiteral("5551234")));
        QCOMPARE(m_log.entries(),
                 (QStringList{QStringLiteral("arrived"), CallDeskLog::shown(QStringLiteral("5551234"))}));
        QCOMPARE(logged().size(), 1);
        QTRY_COMPARE(m_rings->count(), 2);
        m_log.clear();

        send(
            test::callerIdReport(QStringLiteral("5551234"), test::todayAsReported(), QStringLiteral("1409")));
        QCOMPARE(m_log.entries().last(), QStringLiteral("customer C001"));
        QCOMPARE(logged().size(), 2);

        // Handed on: the number is shown no more, and the same report is a call again.
        m_desk->clearNumber();
        QCOMPARE(m_desk->shownCall().number, QString());
        QCOMPARE(m_desk->shownCall().timeText, QStringLiteral("14:09"));
        send(
            test::callerIdReport(QStringLiteral("5551234"), test::todayAsReported(), QStringLiteral("1409")));
        QCOMPARE(logged().size(), 3);
    }

    // Every call shown is one row of table calls, with the token the desk
    // shows and written before it is announced: a known customer's with its
    // code, a new number answered without saving and a withheld one without.
    // The same report again adds none; the call log holds the known one alone.
    void everyCallShownIsOneRowOfCalls_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("row");
        QTest::addColumn<int>("logRows");
        QTest::newRow("known") << "5551234"
                               << "5551234|5551234|C001" << 1;
        QTest::newRow("new number") << "020-8888 8888"
                                    << "020-8888 8888|02088888888|-" << 0;
        QTest::newRow("withheld") << "P"
                                  << "P||-" << 0;
    }
    void everyCallShownIsOneRowOfCalls()
    {
        QFETCH(QString, number);
        QFETCH(QString, row);
        QFETCH(int, logRows);
        QSignalSpy changed(m_desk.get(), &CallDesk::callsChanged);
        QStringList rowsWhenReported;
        connect(m_desk.get(), &CallDesk::callReported, this, [&] { rowsWhenReported = callRows(); });
        send(test::callerIdReport(number));
        const QString token = m_desk->shownCallToken();
        QVERIFY(!QUuid::fromString(token).isNull());
        send(test::callerIdReport(number));
        QCOMPARE(m_desk->shownCallToken(), token);
        const QStringList expected{row + QLatin1Char('|') + QSysInfo::machineHostName() + QLatin1Char('|') +
                                   token};
        QCOMPARE(callRows(), expected);
        QCOMPARE(rowsWhenReported, expected);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(logged().size(), logRows);
        QVERIFY(test::sqlColumn(database(), QStringLiteral("select taken from calls"))
                    .value(0)
                    .startsWith(test::todayText() + QLatin1Char(' ')));
    }

    // Unknown numbers ask to be saved and are never logged; the customer shown
    // before is gone from beside them. While the question is open the current
    // report's timers do not run yet, and the previous report's repeat still
    // does.
    void anUnknownNumberIsAnnouncedButNotLogged()
    {
        send(test::callerIdReport(QStringLiteral("5551234")));
        m_log.clear();
        bool periodDuringQuestion = false;
        bool repeatDuringQuestion = false;
        m_log.setDuringNewNumber([&] {
            periodDuringQuestion = m_desk->ringPeriodRunning();
            repeatDuringQuestion = m_desk->ringRepeating();
        });
        send(test::callerIdReport(QStringLiteral("88888888")));
        QCOMPARE(m_log.entries(),
                 (QStringList{QStringLiteral("arrived"), CallDeskLog::shown(QStringLiteral("88888888")),
                              QStringLiteral("customer "), newNumberText}));
        QVERIFY(periodDuringQuestion);
        QVERIFY(repeatDuringQuestion);
        QCOMPARE(m_desk->shownCustomer().name, QString());
        QCOMPARE(logged().size(), 1);
        QVERIFY(m_desk->ringRepeating());

        // The first report of a cycle: nothing runs while the user is asked.
        m_desk.reset();
        m_desk = std::make_unique<CallDesk>(*m_stores, *m_ringPlayer);
        m_log.watch(*m_desk);
        m_desk->start();
        send(test::callerIdReport(QStringLiteral("77777777")));
        QVERIFY(!periodDuringQuestion);
        QVERIFY(!repeatDuringQuestion);
        QVERIFY(m_desk->ringPeriodRunning());
    }

    // Another desk's call is shown, rung and looked up as a line's report but
    // never logged here; this desk announces each report from its own line,
    // repeats and unknown numbers included, before the new-number question.
    void callsAreSharedWithTheOtherDesks()
    {
        QSignalSpy reported(m_desk.get(), &CallDesk::callReported);
        int reportedBeforeQuestion = -1;
        m_log.setDuringNewNumber([&] { reportedBeforeQuestion = int(reported.size()); });
        const CallerIdReport known{QStringLiteral("5551234"), QStringLiteral("2026-12-08"),
                                   QStringLiteral("22:05")};
        m_desk->showAnnouncedCall(known);
        QCOMPARE(m_log.entries(),
                 (QStringList{QStringLiteral("arrived"), QStringLiteral("call 5551234 2026-12-08 22:05"),
                              QStringLiteral("customer C001")}));
        QTRY_COMPARE(m_rings->count(), 1);
        QVERIFY(m_desk->ringPeriodRunning());
        m_desk->showAnnouncedCall({QStringLiteral("88888888"), known.dateText, known.timeText});
        QCOMPARE(m_log.entries().last(), newNumberText);
        QVERIFY(reported.isEmpty());
        QVERIFY(logged().isEmpty());

        send(test::callerIdReport(QStringLiteral("5551234")));
        send(test::callerIdReport(QStringLiteral("5551234")));
        send(test::callerIdReport(QStringLiteral("77777777")));
        QCOMPARE(reported.size(), 3);
        QCOMPARE(reported.at(0).at(0).value<CallerIdReport>(), reported.at(1).at(0).value<CallerIdReport>());
        QCOMPARE(reported.at(2).at(0).value<CallerIdReport>().number, QStringLiteral("77777777"));
        QCOMPARE(reportedBeforeQuestion, 3);
        QCOMPARE(logged(), QStringList{QStringLiteral("5551234 14:05 C001")});
    }

    // A report without a number rings and shows but is not looked up; the
    // customer before it is not shown beside it.
    void aBlankNumberIsNotLookedUp()
    {
        send(test::callerIdReport(QStringLiteral("5551234")));
        m_log.clear();
        send(test::callerIdReport(QStringLiteral("\r\nNAME = WITHHELD")));
        QCOMPARE(m_log.entries().size(), 3);
        QCOMPARE(m_log.entries()[0], QStringLiteral("arrived"));
        QVERIFY(m_log.entries()[1].startsWith(QStringLiteral("call  ")));
        QCOMPARE(m_log.entries()[2], QStringLiteral("customer "));
        QCOMPARE(logged().size(), 1);
        QTRY_COMPARE(m_rings->count(), 2);
        QVERIFY(m_desk->ringRepeating());
    }

    // The database in the way: a locked file keeps the row and tells the user
    // after the customer is shown; a lookup that fails for a reason of no
    // known kind is told in the error box, and its call kept all the same
    // and logged with its customer once the lookup works again.
    void databaseTroubleIsToldInItsPlace()
    {
        // The desk has read the database before the other program came.
        send(test::callerIdReport(QStringLiteral("88888888")));
        m_log.clear();
        {
            test::DatabaseLock lock(database());
            QVERIFY(lock.isHeld());
            send(test::callerIdReport(QStringLiteral("5551234")));
            QCOMPARE(m_log.entries().size(), 4);
            QCOMPARE(m_log.entries()[2], QStringLiteral("customer C001"));
            QVERIFY(m_log.entries()[3].startsWith(QStringLiteral("notice 数据库暂时无法写入")));
        }
        QTRY_COMPARE(logged(), QStringList{QStringLiteral("5551234 14:05 C001")});
        QCOMPARE(callRows().size(), 2);

        m_log.clear();
        test::sqlColumn(database(), QStringLiteral("alter table customer rename to away"));
        send(
            test::callerIdReport(QStringLiteral("5551234"), test::todayAsReported(), QStringLiteral("1500")));
        QCOMPARE(
            m_log.entries(),
            (QStringList{QStringLiteral("arrived"),
                         CallDeskLog::shown(QStringLiteral("5551234"), QStringLiteral("15:00")),
                         QStringLiteral("customer "), QStringLiteral("failed no such table: customer")}));
        QVERIFY(m_desk->ringPeriodRunning());

        test::sqlColumn(database(), QStringLiteral("alter table away rename to customer"));
        send(
            test::callerIdReport(QStringLiteral("5551234"), test::todayAsReported(), QStringLiteral("1501")));
        QCOMPARE(m_log.entries().last(), QStringLiteral("customer C001"));
        QCOMPARE(logged(),
                 (QStringList{QStringLiteral("5551234 14:05 C001"), QStringLiteral("5551234 15:00 C001"),
                              QStringLiteral("5551234 15:01 C001")}));
        QCOMPARE(test::sqlColumn(database(), QStringLiteral("select ifnull(customercode, '-') from calls")),
                 (QStringList{QStringLiteral("-"), QStringLiteral("C001"), QStringLiteral("C001"),
                              QStringLiteral("C001")}));
    }

    // tel.mdb missing, empty, damaged, read-only or held against readers
    // when the desk starts: the user is told what to do, once, with the data
    // folder named; the call is shown, its customer where the file can be
    // read, and its row written once the file is whole and writable again.
    void aDatabaseFileInTroubleKeepsTheCall_data()
    {
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("customer");
        QTest::newRow("missing") << "missing"
                                 << "找不到数据库文件"
                                 << "";
        QTest::newRow("empty") << "empty"
                               << "是空的（0 字节）"
                               << "";
        QTest::newRow("damaged") << "damaged"
                                 << "已损坏"
                                 << "";
        QTest::newRow("read-only") << "read-only"
                                   << "是只读的"
                                   << "C001";
        QTest::newRow("held") << "held"
                              << "正被其他程序占用"
                              << "";
    }
    void aDatabaseFileInTroubleKeepsTheCall()
    {
        QFETCH(QString, trouble);
        QFETCH(QString, told);
        QFETCH(QString, customer);
        m_desk.reset();
        m_stores->connection.close();
        const QString saved = database() + QStringLiteral(".saved");
        const bool replaced = trouble == QLatin1String("missing") || trouble == QLatin1String("empty") ||
                              trouble == QLatin1String("damaged");
        if (replaced)
            QVERIFY(QFile::rename(database(), saved));
        if (trouble == QLatin1String("empty"))
            m_folder->writeFile(QStringLiteral("tel.mdb"), {});
        if (trouble == QLatin1String("damaged"))
            m_folder->writeFile(QStringLiteral("tel.mdb"), QByteArray(8192, 'x'));
        std::optional<test::Unwritable> readOnly;
        if (trouble == QLatin1String("read-only"))
            readOnly.emplace(database());
        std::optional<test::DatabaseLock> held;
        if (trouble == QLatin1String("held"))
            held.emplace(database(), test::DatabaseLock::Hold::Everything);

        m_log.clear();
        m_desk = std::make_unique<CallDesk>(*m_stores, *m_ringPlayer);
        m_log.watch(*m_desk);
        m_desk->start();
        const QString notice = m_log.entries().value(0);
        QVERIFY2(notice.startsWith(QStringLiteral("notice ")) && notice.contains(told) &&
                     notice.contains(m_folder->path().chopped(1)),
                 qPrintable(notice));
        send(test::callerIdReport(QStringLiteral("5551234")));
        QCOMPARE(m_desk->shownCall().number, QStringLiteral("5551234"));
        QCOMPARE(m_desk->shownCustomer().customerCode, customer);
        // Told at start, not again at the call; a read-only file's row is
        // refused as it is written, and that is told too.
        QCOMPARE(m_log.countStartingWith(QStringLiteral("notice ")), readOnly ? 2 : 1);
        QVERIFY(QFile::exists(m_folder->file(QStringLiteral("calls.journal"))));

        readOnly.reset();
        held.reset();
        if (replaced) {
            QVERIFY(QFile::remove(database()) || trouble == QLatin1String("missing"));
            QVERIFY(QFile::rename(saved, database()));
        }
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(m_folder->file(QStringLiteral("calls.journal"))), 8000);
        QCOMPARE(logged(), QStringList{QStringLiteral("5551234 14:05 C001")});
    }

    // After the first ring the ring repeats every 3 s until 9 s after the
    // report, and then both timers are off.
    void theRingRepeatsUntilThePeriodEnds()
    {
        send(test::callerIdReport(QStringLiteral("5551234")));
        QTRY_VERIFY_WITH_TIMEOUT(!m_desk->ringPeriodRunning(), 12000);
        QVERIFY(!m_desk->ringRepeating());
        QTest::qWait(3500);
        const QList<test::RingRecorder::Ring> rings = m_rings->rings();
        QVERIFY2(rings.size() == 3 || rings.size() == 4, qPrintable(QString::number(rings.size())));
        QVERIFY(rings.last().startedMs < rings.first().startedMs + 9400);
    }

    // A line the settings name but whose device is missing: the user is told
    // it is not plugged in, and the line is taken up once the device is
    // there. No port number at all ends the start in a failure.
    void theLineTellsWhatIsWrongWithIt()
    {
        m_desk.reset();
        QVERIFY(m_modem->command(QStringLiteral("unplug")));
        m_desk = std::make_unique<CallDesk>(*m_stores, *m_ringPlayer);
        m_log.watch(*m_desk);
        m_log.clear();
        QCOMPARE(test::failureOf([this] { m_desk->start(); }), QString());
        QCOMPARE(m_log.countStartingWith(QStringLiteral("notice 没有找到串口设备 ") + m_modem->devicePath()),
                 1);
        QVERIFY(!m_desk->serialPort().isOpen());
        QVERIFY(m_modem->command(QStringLiteral("replug")));
        QTRY_VERIFY_WITH_TIMEOUT(m_desk->serialPort().isOpen(), 8000);
        send(test::callerIdReport(QStringLiteral("5551234")));
        QCOMPARE(logged().size(), 1);

        m_desk.reset();
        m_folder->writeFile(QStringLiteral("zel.ini"), "[zel]\r\nfather=com9\r\n");
        m_desk = std::make_unique<CallDesk>(*m_stores, *m_ringPlayer);
        QCOMPARE(test::failureOf([this] { m_desk->start(); }),
                 QStringLiteral("'' is not a valid integer value"));
    }
};

QTEST_GUILESS_MAIN(TestCallDesk)
#include "tst_calldesk.moc"
