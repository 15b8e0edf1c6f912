// The call desk and the call log on a shared server: the fake modem on a
// pseudo-terminal, a private server, a program folder whose zel.ini points at
// it. The server is stopped and started as an outage would take it away.

#include "calldesklog.h"
#include "core/calldesk.h"
#include "core/calllogwriter.h"
#include "coresupport.h"
#include "loggedcall.h"
#include "modemsim.h"
#include "pgserver.h"
#include "platform/ringplayer.h"
#include "platform/serialcontrol.h"
#include "ringrecorder.h"
#include "store/statement.h"
#include "store/stores.h"

#include <QFile>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTest>

using namespace corvane;
using test::CallDeskLog;

namespace {

const QString serverAway = QStringLiteral("notice 无法连接数据库服务器");

CallLogRow callRow(const QString &tel)
{
    return {QStringLiteral("2026-03-21"), QStringLiteral("14:05"), tel, QStringLiteral("C001"),
            QStringLiteral("张三五金店")};
}

} // namespace

class TestServerDesk : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::PgServer> m_server;
    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<test::ModemSim> m_modem;
    std::unique_ptr<test::RingRecorder> m_rings;
    std::unique_ptr<Stores> m_stores;
    std::unique_ptr<RingPlayer> m_ringPlayer;
    std::unique_ptr<CallDesk> m_desk;
    CallDeskLog m_log;

    // The [database] section of a desk on the test's server, over the
    // loopback address with the password.
    QByteArray databaseSection() const
    {
        return "[database]\r\nengine=postgresql\r\nhost=127.0.0.1\r\nport=" +
               QByteArray::number(m_server->port()) + "\r\nname=" + m_server->databaseName().toUtf8() +
               "\r\nuser=" + m_server->user().toUtf8() + "\r\npassword=" + m_server->password().toUtf8() +
               "\r\n";
    }
    QByteArray lineSection() const
    {
        return "[zel]\r\nfather=com1\r\n[ports]\r\ncom1=" + m_modem->devicePath().toUtf8() + "\r\n";
    }
    // The connection a call log on the server is written through.
    void pointAtServer(Connection &connection) const
    {
        connection.setServer({QStringLiteral("127.0.0.1"), m_server->port(), m_server->databaseName(),
                              m_server->user(), m_server->password(), QStringLiteral("prefer")});
    }
    QStringList loggedOnServer() const
    {
        return m_server->query(
            QStringLiteral("SELECT tel || ' ' || atime || ' ' || customercode FROM detail ORDER BY id"));
    }
    void startDesk(const QByteArray &ini)
    {
        m_folder->writeFile(QStringLiteral("zel.ini"), ini);
        m_desk = std::make_unique<CallDesk>(*m_stores, *m_ringPlayer);
        m_log.watch(*m_desk);
        m_desk->start();
    }
    void send(const QString &number, const QString &time)
    {
        QSignalSpy arrived(m_desk.get(), &CallDesk::callArrived);
        QVERIFY(m_modem->send(test::callerIdReport(number, test::todayAsReported(), time)));
        QTRY_VERIFY(!arrived.isEmpty());
    }
    // What the desk shows for C001's number called at `time` (hh:mm).
    static QStringList knownCallShown(const QString &time)
    {
        return {QStringLiteral("arrived"), CallDeskLog::shown(QStringLiteral("5551234"), time),
                QStringLiteral("customer C001")};
    }
    // What it shows, with no database to look in, for the calls sent at
    // 14:05 and 14:06: the numbers only, no customer beside them.
    static QStringList numbersOnlyShown()
    {
        return {QStringLiteral("arrived"),
                CallDeskLog::shown(QStringLiteral("5551234")),
                QStringLiteral("customer "),
                QStringLiteral("arrived"),
                CallDeskLog::shown(QStringLiteral("5559876"), QStringLiteral("14:06")),
                QStringLiteral("customer ")};
    }

private Q_SLOTS:
    void initTestCase() { m_server = std::make_unique<test::PgServer>(); }

    void init()
    {
        m_server->emptyDatabaseWithTables();
        m_server->query(QStringLiteral("INSERT INTO customer (customercode, customername, tel) "
                                       "VALUES ('C001', '张三五金店', '5551234')"));
        m_folder = std::make_unique<test::ProgramFolder>();
        m_modem = std::make_unique<test::ModemSim>();
        m_rings = std::make_unique<test::RingRecorder>();
        m_stores = std::make_unique<Stores>();
        m_ringPlayer = std::make_unique<RingPlayer>();
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
        if (!m_server->isReady())
            m_server->start();
    }

    // A call on the line is looked up and logged on the server, not in the
    // tel.mdb beside the program.
    void aCallIsLookedUpAndLoggedOnTheServer()
    {
        startDesk(lineSection() + databaseSection());
        m_log.clear();
        send(QStringLiteral("5551234"), QStringLiteral("1405"));
        QCOMPARE(m_log.entries(), knownCallShown(QStringLiteral("14:05")));
        QCOMPARE(loggedOnServer(), QStringList{QStringLiteral("5551234 14:05 C001")});
        QCOMPARE(test::sqlColumn(m_folder->file(QStringLiteral("tel.mdb")),
                                 QStringLiteral("SELECT count(*) FROM detail")),
                 QStringList{QStringLiteral("0")});
    }

    // Two desks on the server, one with the line: a call is one row, which
    // the line's desk wrote before it announced the call. Both desks tell of
    // it, and the other desk reads the row as it hears of it.
    void aCallIsOneRowThatBothDesksSee()
    {
        startDesk(lineSection() + databaseSection());
        // The other desk has no modem of its own.
        m_folder->writeFile(QStringLiteral("zel.ini"), databaseSection());
        Stores otherStores;
        CallDesk other(otherStores, *m_ringPlayer);
        other.start();
        QTRY_COMPARE(m_server->query(QStringLiteral(
                         "SELECT count(*) FROM pg_stat_activity WHERE query LIKE 'LISTEN corvane%'")),
                     QStringList{QStringLiteral("2")});
        QSignalSpy changedHere(m_desk.get(), &CallDesk::callsChanged);
        qint64 rowsWhenHeard = -1;
        connect(&other, &CallDesk::callsChanged, this, [&] {
            Statement row(otherStores.connection,
                          QStringLiteral("SELECT count(*) FROM calls WHERE token = ?"));
            row.bind(1, other.shownCallToken());
            rowsWhenHeard = row.step() ? row.integer(0) : 0;
        });
        // Told before the new-number question, which waits for the user.
        qint64 rowsAtQuestion = -1;
        connect(&other, &CallDesk::newNumber, this, [&] { rowsAtQuestion = rowsWhenHeard; });
        send(QStringLiteral("88888888"), QStringLiteral("1405"));
        QTRY_COMPARE(rowsAtQuestion, qint64(1));
        QCOMPARE(changedHere.size(), 1);
        QCOMPARE(other.shownCallToken(), m_desk->shownCallToken());
        QCOMPARE(m_server->query(QStringLiteral("SELECT number || ' ' || desk FROM calls")),
                 QStringList{QStringLiteral("88888888 ") + QSysInfo::machineHostName()});
    }

    // A desk on the server needs no modem: no port, no failure.
    void aDeskOnTheServerMayHaveNoPort()
    {
        m_folder->writeFile(QStringLiteral("zel.ini"), databaseSection());
        m_desk = std::make_unique<CallDesk>(*m_stores, *m_ringPlayer);
        QCOMPARE(test::failureOf([this] { m_desk->start(); }), QString());
        QVERIFY(!m_desk->serialPort().isOpen());
    }

    // Broken settings are told once at start; the line still shows calls
    // without a box for each.
    void brokenSettingsAreToldOnceAndCallsStillShow()
    {
        startDesk(lineSection() + "[database]\r\nengine=oracle\r\n");
        QCOMPARE(m_log.countStartingWith(QStringLiteral("failed ")), 1);
        QVERIFY(m_log.entries().join(QLatin1Char('\n')).contains(QStringLiteral("engine=oracle")));
        m_log.clear();
        send(QStringLiteral("5551234"), QStringLiteral("1405"));
        send(QStringLiteral("5559876"), QStringLiteral("1406"));
        QCOMPARE(m_log.entries(), numbersOnlyShown());
    }

    // The server away at start and during work: told once per outage, never
    // the password; numbers still shown and their calls kept; back by itself,
    // with no call failing once it is up again.
    void aServerAwayIsToldOncePerOutageAndComesBackByItself()
    {
        m_server->stop();
        startDesk(lineSection() + databaseSection());
        QCOMPARE(m_log.countStartingWith(serverAway), 1);
        m_log.clear();
        send(QStringLiteral("5551234"), QStringLiteral("1405"));
        send(QStringLiteral("5559876"), QStringLiteral("1406"));
        QCOMPARE(m_log.entries(), numbersOnlyShown());
        m_log.clear();

        m_server->start();
        send(QStringLiteral("5551234"), QStringLiteral("1407"));
        QCOMPARE(m_log.entries(), knownCallShown(QStringLiteral("14:07")));
        m_log.clear();

        m_server->stop();
        send(QStringLiteral("5551234"), QStringLiteral("1408"));
        send(QStringLiteral("5559876"), QStringLiteral("1409"));
        QCOMPARE(m_log.countStartingWith(serverAway), 1);
        QVERIFY(!m_log.entries().join(QLatin1Char('\n')).contains(m_server->password()));
        QVERIFY(
            m_log.entries().contains(CallDeskLog::shown(QStringLiteral("5559876"), QStringLiteral("14:09"))));
        m_log.clear();

        m_server->start();
        send(QStringLiteral("5551234"), QStringLiteral("1410"));
        QCOMPARE(m_log.entries(), knownCallShown(QStringLiteral("14:10")));
        // The calls of the outages are logged once each, in order; the
        // unknown number is not.
        QCOMPARE(loggedOnServer(),
                 (QStringList{QStringLiteral("5551234 14:05 C001"), QStringLiteral("5551234 14:07 C001"),
                              QStringLiteral("5551234 14:08 C001"), QStringLiteral("5551234 14:10 C001")}));
        QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("calls.journal"))));
    }

    // Rows the server could not take wait in the journal and reach it once
    // it is back, each once, also across a restart of the program.
    void callLogRowsWaitForTheServerAndArriveOnce()
    {
        Connection place;
        pointAtServer(place);
        const QString journal = m_folder->file(QStringLiteral("calls.journal"));
        {
            CallLogWriter log(place, journal);
            QSignalSpy told(&log, &CallLogWriter::notice);
            test::logCall(log, callRow(QStringLiteral("1")));
            m_server->stop();
            test::logCall(log, callRow(QStringLiteral("2")));
            test::logCall(log, callRow(QStringLiteral("3")));
            QCOMPARE(log.keptCount(), 2);
            QCOMPARE(told.size(), 1);
            m_server->start();
            QTRY_COMPARE_WITH_TIMEOUT(log.keptCount(), 0, CallLogWriter::RetryIntervalMs * 3);
            m_server->stop();
            test::logCall(log, callRow(QStringLiteral("4")));
        }
        m_server->start();
        CallLogWriter again(place, journal);
        again.resume();
        QTRY_COMPARE(again.keptCount(), 0);
        QCOMPARE(m_server->query(QStringLiteral("SELECT tel FROM detail ORDER BY id")),
                 (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                              QStringLiteral("4")}));
    }

    // A commit the server takes longer over than a call waits: the row is
    // kept as if refused, though the server went on to write it; its token
    // keeps the next try from writing it again.
    void aRowTheServerWroteAfterTheWaitIsNotWrittenAgain()
    {
        m_server->query(QStringLiteral(
            "CREATE TABLE kept_call_written (token TEXT PRIMARY KEY); "
            "CREATE FUNCTION slow_commit() RETURNS trigger LANGUAGE plpgsql AS "
            "$$ BEGIN PERFORM pg_sleep(1.5); RETURN NULL; END $$; "
            "CREATE CONSTRAINT TRIGGER slow_commit AFTER INSERT ON detail DEFERRABLE INITIALLY DEFERRED "
            "FOR EACH ROW EXECUTE FUNCTION slow_commit()"));
        Connection place;
        pointAtServer(place);
        CallLogWriter log(place, m_folder->file(QStringLiteral("calls.journal")));
        test::logCall(log, callRow(QStringLiteral("1")));
        QCOMPARE(log.keptCount(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(log.keptCount(), 0, CallLogWriter::RetryIntervalMs * 3);
        QCOMPARE(m_server->query(QStringLiteral("SELECT tel FROM detail")), QStringList{QStringLiteral("1")});
    }
};

QTEST_GUILESS_MAIN(TestServerDesk)
#include "tst_serverdesk.moc"
