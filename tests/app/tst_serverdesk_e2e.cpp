// The real Corvane on a shared server: a program folder whose zel.ini points
// at a private server, the fake modem, and the server taken away, halted or
// named through a name service that never answers while the program runs.

#include "core/calllogjournal.h"
#include "modemsim.h"
#include "pgserver.h"
#include "privateresolver.h"
#include "runningprogram.h"
#include "store/stores.h"
#include "writtennumbers.h"

#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <csignal>

using namespace corvane;

using Program = test::RunningProgram;

namespace {

const QString newNumberMessage = QStringLiteral("此号码为新号码，如果要保存的话请点击<保存新号码>按钮");
const QString serverAway = QStringLiteral("无法连接数据库服务器");

double nowMs()
{
    return double(QDateTime::currentMSecsSinceEpoch());
}

} // namespace

class TestServerDeskEndToEnd : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::PgServer> m_server;
    std::unique_ptr<test::ModemSim> m_modem;
    std::unique_ptr<Program> m_program;

    QString databaseSection(const QString &host = QStringLiteral("127.0.0.1")) const
    {
        return QStringLiteral("[database]\r\nengine=postgresql\r\nhost=%1\r\nport=%2\r\nname=%3\r\n"
                              "user=%4\r\npassword=%5\r\n")
            .arg(host, QString::number(m_server->port()), m_server->databaseName(), m_server->user(),
                 m_server->password());
    }
    QStringList loggedOnServer() const
    {
        return m_server->query(QStringLiteral("SELECT atime || ' ' || tel || ' ' || customercode || ' ' || "
                                              "customername FROM detail ORDER BY id"));
    }
    QStringList messagesOtherThanNewNumber() const
    {
        QStringList texts = m_program->messageTexts();
        texts.removeAll(newNumberMessage);
        return texts;
    }
    QString journal() const { return m_program->folder() + QStringLiteral("calls.journal"); }
    // A call on the line; returns once the window shows its time ("hh:mm").
    void callAt(const QString &hhmm)
    {
        QVERIFY(
            m_modem->command(QStringLiteral("call 5551234 0321 ") + QString(hhmm).remove(QLatin1Char(':'))));
        QTRY_COMPARE_WITH_TIMEOUT(m_program->windowText(QStringLiteral("callTimeEdit")), hhmm, 10000);
    }
    void verifyToldOnceServerAway()
    {
        QTRY_COMPARE_WITH_TIMEOUT(messagesOtherThanNewNumber().size(), 1, 10000);
        QVERIFY(messagesOtherThanNewNumber().constFirst().startsWith(serverAway));
    }
    // The longest the window stood still since `sinceMs`, said and bounded
    // generously: without limits it stood still until the server came back.
    void verifyNeverFrozen(double sinceMs, const char *while_)
    {
        const double stall = m_program->longestStallMs(sinceMs);
        qInfo("%s: the event loop stood still %.0f ms at the longest", while_, stall);
        QVERIFY2(stall < 3000, qPrintable(QString::number(stall)));
    }
    void endBySignal(const char *while_)
    {
        QElapsedTimer ending;
        ending.start();
        QCOMPARE(::kill(pid_t(m_program->process().processId()), SIGTERM), 0);
        QVERIFY(m_program->process().waitForFinished(5000));
        qInfo("%s: SIGTERM ended the program in %lld ms", while_, ending.elapsed());
        QCOMPARE(m_program->process().exitCode(), 0);
    }

private Q_SLOTS:
    void initTestCase() { m_server = std::make_unique<test::PgServer>(); }

    void init()
    {
        m_server->emptyDatabaseWithTables();
        m_server->query(QStringLiteral("INSERT INTO customer (customercode, customername, tel) "
                                       "VALUES ('C1', 'Shop', '5551234')"));
        // Written before the desk connects, which keys them.
        m_server->query(test::WrittenNumbersInsert);
        m_modem = std::make_unique<test::ModemSim>();
        m_program = std::make_unique<Program>(QStringLiteral("制式1"), m_modem->devicePath(),
                                              databaseSection() + test::AreaCode020);
        QTRY_COMPARE_WITH_TIMEOUT(m_modem->recorded(), QByteArray("at#cid=1\r"), 20000);
    }

    void cleanup()
    {
        m_program.reset();
        m_modem.reset();
        m_server->resume();
        if (!m_server->isReady())
            m_server->start();
    }

    // A known caller is found on the server and logged there once, with no
    // message; an unknown one gets the new-number message and no row.
    void aReportIsLookedUpAndLoggedOnTheServer()
    {
        QVERIFY(m_modem->command(QStringLiteral("call 5551234 0321 1405")));
        QTRY_COMPARE_WITH_TIMEOUT(loggedOnServer(), QStringList{QStringLiteral("14:05 5551234 C1 Shop")},
                                  10000);
        QVERIFY(m_modem->command(QStringLiteral("call 5559999 0321 1406")));
        QTRY_COMPARE_WITH_TIMEOUT(m_program->messageTexts(), QStringList{newNumberMessage}, 10000);
        QCOMPARE(loggedOnServer(), QStringList{QStringLiteral("14:05 5551234 C1 Shop")});
        QCOMPARE(m_program->query(QStringLiteral("SELECT count(*) FROM detail")),
                 QStringList{QStringLiteral("0")});
        QVERIFY(m_program->isRunning());
    }

    // Customers written on the server before the desk connected are keyed
    // by it, and found however their numbers were written.
    void aNumberIsFoundOnTheServerHoweverItWasWritten()
    {
        test::callEveryWrittenNumber(*m_modem, *m_program, [this] {
            return m_server->query(
                QStringLiteral("SELECT tel || ' ' || customercode FROM detail ORDER BY id"));
        });
        QCOMPARE(m_server->query(QStringLiteral("SELECT count(*) FROM customer_unkeyed")),
                 QStringList{QStringLiteral("0")});
    }

    // The server stopped mid-run: the user is told once, without the
    // password, the program keeps running, and every call of the outage
    // reaches the server once it is back, none twice.
    void callsDuringAnOutageReachTheServerOnce()
    {
        QVERIFY(m_modem->command(QStringLiteral("call 5551234 0321 1405")));
        QTRY_COMPARE_WITH_TIMEOUT(loggedOnServer().size(), 1, 10000);

        m_server->stop();
        QVERIFY(m_modem->command(QStringLiteral("call 5551234 0321 1406")));
        QTRY_COMPARE_WITH_TIMEOUT(m_program->messageTexts().size(), 1, 10000);
        QVERIFY(m_modem->command(QStringLiteral("call 5551234 0321 1407")));
        QTest::qWait(1500);
        const QStringList told = m_program->messageTexts();
        QCOMPARE(told.size(), 1);
        QVERIFY2(told.first().startsWith(QStringLiteral("无法连接数据库服务器")), qPrintable(told.first()));
        QVERIFY(!told.first().contains(m_server->password()));
        QVERIFY(m_program->isRunning());

        m_server->start();
        // The kept calls go by themselves at the next retry, before any call.
        QTRY_COMPARE_WITH_TIMEOUT(loggedOnServer().size(), 3, 10000);
        QVERIFY(m_modem->command(QStringLiteral("call 5551234 0321 1408")));
        QTRY_COMPARE_WITH_TIMEOUT(loggedOnServer().size(), 4, 10000);
        QTest::qWait(4000); // longer than a retry: nothing comes twice
        QCOMPARE(
            loggedOnServer(),
            (QStringList{QStringLiteral("14:05 5551234 C1 Shop"), QStringLiteral("14:06 5551234 C1 Shop"),
                         QStringLiteral("14:07 5551234 C1 Shop"), QStringLiteral("14:08 5551234 C1 Shop")}));
        QCOMPARE(messagesOtherThanNewNumber().size(), 1);
    }

    // The server's processes halted, their sockets still open: the window
    // never stands still for long, every number is shown, the user is told
    // once, and the calls reach the server once it goes on. Ended while it
    // is halted, the program leaves the call in the journal.
    void aHaltedServerNeverHoldsTheWindow()
    {
        callAt(QStringLiteral("14:05"));
        QTRY_COMPARE_WITH_TIMEOUT(loggedOnServer().size(), 1, 10000);

        const double halted = nowMs();
        m_server->pause();
        callAt(QStringLiteral("14:06"));
        callAt(QStringLiteral("14:07"));
        verifyToldOnceServerAway();
        verifyNeverFrozen(halted, "server halted");
        m_server->resume();
        const QStringList logged{QStringLiteral("14:05 5551234 C1 Shop"),
                                 QStringLiteral("14:06 5551234 C1 Shop"),
                                 QStringLiteral("14:07 5551234 C1 Shop")};
        QTRY_COMPARE_WITH_TIMEOUT(loggedOnServer(), logged, 20000);
        QTRY_VERIFY(!QFile::exists(journal()));

        m_server->pause();
        callAt(QStringLiteral("14:08"));
        endBySignal("server halted, a call being looked up");
        m_server->resume();
        QCOMPARE(CallLogJournal(journal()).read().size(), 1);
        QCOMPARE(loggedOnServer(), logged);

        // Killed in the middle of a lookup: the call was kept before it, and
        // the next start writes both calls once the server answers.
        m_program->restart();
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(journal()), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(m_modem->recorded().count("at#cid=1\r"), 2, 20000);
        m_server->pause();
        QVERIFY(m_modem->command(QStringLiteral("call 5551234 0321 1409")));
        QTRY_COMPARE_WITH_TIMEOUT(CallLogJournal(journal()).read().size(), 1, 10000);
        m_program->process().kill();
        QVERIFY(m_program->process().waitForFinished(5000));
        m_server->resume();
        m_program->restart();
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(journal()), 20000);
        QCOMPARE(loggedOnServer(), (logged + QStringList{QStringLiteral("14:08 5551234 C1 Shop"),
                                                         QStringLiteral("14:09 5551234 C1 Shop")}));
        QCOMPARE(m_server->query(QStringLiteral("SELECT count(*), count(DISTINCT token) FROM calls")),
                 QStringList{QStringLiteral("5|5")});
    }

    // The server named by a host whose name service never answers: the
    // window never waits for the name, the number is shown and the user told
    // once; ended while the name is still asked for, the program keeps the
    // call, and once the name answers it reaches the server once.
    void anUnanswerableServerNameNeverHoldsTheWindow()
    {
        test::PrivateResolver resolver;
        if (!resolver.unusable().isEmpty())
            QSKIP(qPrintable(resolver.unusable()));
        const QString host = QStringLiteral("db.corvane.test");
        m_program.reset();
        m_modem = std::make_unique<test::ModemSim>();
        const double started = nowMs();
        m_program =
            std::make_unique<Program>(QStringLiteral("制式1"), m_modem->devicePath(), databaseSection(host),
                                      QProcessEnvironment(), resolver.childSetUp());
        QTRY_COMPARE_WITH_TIMEOUT(m_modem->recorded(), QByteArray("at#cid=1\r"), 20000);
        verifyToldOnceServerAway();
        callAt(QStringLiteral("14:06"));
        verifyNeverFrozen(started, "server name unanswered");
        endBySignal("server name unanswered");
        QCOMPARE(CallLogJournal(journal()).read().size(), 1);

        // Started again with the name still unanswered: the kept call reaches
        // the server once the name answers, without another start.
        m_program->restart();
        QTRY_COMPARE_WITH_TIMEOUT(m_modem->recorded().count("at#cid=1\r"), 2, 20000);
        QVERIFY(QFile::exists(journal()));
        resolver.answer(host, QStringLiteral("127.0.0.1"));
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(journal()), 20000);
        QCOMPARE(loggedOnServer(), QStringList{QStringLiteral("14:06 5551234 C1 Shop")});
    }
};

QTEST_GUILESS_MAIN(TestServerDeskEndToEnd)
#include "tst_serverdesk_e2e.moc"
