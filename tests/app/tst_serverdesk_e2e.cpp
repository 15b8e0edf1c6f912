// The real Corvane on a shared server: a program folder whose zel.ini points
// at a private server, the fake modem, and the server taken away and brought
// back while the program runs.

#include "modemsim.h"
#include "pgserver.h"
#include "runningprogram.h"
#include "store/stores.h"
#include "writtennumbers.h"

#include <QDate>
#include <QTest>

using namespace corvane;

using Program = test::RunningProgram;

namespace {

const QString newNumberMessage = QStringLiteral("此号码为新号码，如果要保存的话请点击<保存新号码>按钮");

} // namespace

class TestServerDeskEndToEnd : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::PgServer> m_server;
    std::unique_ptr<test::ModemSim> m_modem;
    std::unique_ptr<Program> m_program;

    QString databaseSection() const
    {
        return QStringLiteral("[database]\r\nengine=postgresql\r\nhost=127.0.0.1\r\nport=%1\r\nname=%2\r\n"
                              "user=%3\r\npassword=%4\r\n")
            .arg(QString::number(m_server->port()), m_server->databaseName(), m_server->user(),
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
};

QTEST_GUILESS_MAIN(TestServerDeskEndToEnd)
#include "tst_serverdesk_e2e.moc"
