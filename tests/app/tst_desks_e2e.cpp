// Two desks on one shared database: two real Corvane programs, each in a
// program folder, runtime folder and display of its own, on a private
// database server. Desk A has the fake modem on its line; desk B has none.

#include "modemsim.h"
#include "pgserver.h"
#include "records/dataset.h"
#include "runningprogram.h"
#include "store/stores.h"

#include <QTest>

using namespace corvane;

using Program = test::RunningProgram;

namespace {

const QString newNumberMessage = QStringLiteral("此号码为新号码，如果要保存的话请点击<保存新号码>按钮");

} // namespace

class TestDesksEndToEnd : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::PgServer> m_server;
    std::unique_ptr<test::ModemSim> m_modem;
    std::unique_ptr<Program> m_deskA;
    std::unique_ptr<Program> m_deskB;

    QString databaseIni() const
    {
        const ServerAddress address = m_server->socketAddress();
        return QStringLiteral(
                   "[database]\r\nengine=postgresql\r\nhost=%1\r\nport=%2\r\nname=%3\r\nuser=%4\r\n")
            .arg(address.host)
            .arg(address.port)
            .arg(address.name, address.user);
    }
    QStringList logged() const
    {
        return m_server->query(QStringLiteral("SELECT tel || '|' || atime || '|' || customercode FROM detail "
                                              "ORDER BY id"));
    }
    int listeningDesks() const
    {
        return m_server
            ->query(
                QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE query LIKE 'LISTEN corvane%'"))
            .value(0)
            .toInt();
    }
    // Saved as the entry form saves a new customer: a row appended to the
    // customer list and posted.
    void saveCustomer(const QString &code, const QString &name, const QString &tel) const
    {
        Stores stores;
        stores.connection.setServer(m_server->socketAddress());
        Dataset customers(stores.customers.allCustomers());
        customers.open();
        customers.append();
        customers.setFieldText(QStringLiteral("customercode"), code);
        customers.setFieldText(QStringLiteral("customername"), name);
        customers.setFieldText(QStringLiteral("tel"), tel);
        customers.post();
    }
    static QString date() { return test::todayText(); }
    // Both windows show the call and, when given, the customer's name.
    void verifyShownOnBothDesks(const QString &number, const QString &time, const QString &name)
    {
        for (Program *desk : {m_deskA.get(), m_deskB.get()}) {
            // The window fills the three boxes one after the other: each is waited for.
            QTRY_COMPARE_WITH_TIMEOUT(desk->windowText(QStringLiteral("callTimeEdit")), time, 10000);
            QTRY_COMPARE(desk->windowText(QStringLiteral("numberEdit")), number);
            QTRY_COMPARE(desk->windowText(QStringLiteral("callDateEdit")), date());
            if (!name.isEmpty())
                QTRY_COMPARE(desk->windowText(QStringLiteral("customerNameEdit")), name);
        }
    }

private Q_SLOTS:
    void init()
    {
        m_server = std::make_unique<test::PgServer>();
        m_modem = std::make_unique<test::ModemSim>();
        m_deskA = std::make_unique<Program>(QStringLiteral("制式1"), m_modem->devicePath(), databaseIni());
        m_deskB = std::make_unique<Program>(QStringLiteral("制式1"), QString(), databaseIni());
        QTRY_COMPARE_WITH_TIMEOUT(m_modem->recorded(), QByteArray("at#cid=1\r"), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(listeningDesks(), 2, 20000);
        saveCustomer(QStringLiteral("C1"), QStringLiteral("五金店"), QStringLiteral("5551234"));
    }
    void cleanup()
    {
        m_deskB.reset();
        m_deskA.reset();
        m_modem.reset();
        m_server.reset();
    }

    // A call on desk A's line is logged once and both windows show the caller;
    // a number nobody knows asks both desks to save it and is not logged.
    void aCallIsLoggedOnceAndShownOnBothDesks()
    {
        QVERIFY(m_modem->command(QStringLiteral("call 5551234 %1 1405").arg(test::todayAsReported())));
        verifyShownOnBothDesks(QStringLiteral("5551234"), QStringLiteral("14:05"), QStringLiteral("五金店"));
        QTRY_COMPARE_WITH_TIMEOUT(logged(), QStringList{QStringLiteral("5551234|14:05|C1")}, 10000);

        QVERIFY(m_modem->command(QStringLiteral("call 88888888 %1 1406").arg(test::todayAsReported())));
        verifyShownOnBothDesks(QStringLiteral("88888888"), QStringLiteral("14:06"), {});
        for (Program *desk : {m_deskA.get(), m_deskB.get()})
            QTRY_COMPARE_WITH_TIMEOUT(desk->messageTexts(), QStringList{newNumberMessage}, 10000);
        // Longer than a retry of the call log: still the one row.
        QTest::qWait(1500);
        QCOMPARE(logged(), QStringList{QStringLiteral("5551234|14:05|C1")});
    }

    // A customer saved at desk B is known to desk A's next call, on both
    // windows.
    void aCustomerSavedAtOneDeskIsFoundAtTheOther()
    {
        saveCustomer(QStringLiteral("C2"), QStringLiteral("张记粮油"), QStringLiteral("5559876"));
        QVERIFY(m_modem->command(QStringLiteral("call 5559876 %1 1410").arg(test::todayAsReported())));
        verifyShownOnBothDesks(QStringLiteral("5559876"), QStringLiteral("14:10"),
                               QStringLiteral("张记粮油"));
        QTRY_COMPARE_WITH_TIMEOUT(logged(), QStringList{QStringLiteral("5559876|14:10|C2")}, 10000);
        for (Program *desk : {m_deskA.get(), m_deskB.get()}) {
            QCOMPARE(desk->messageTexts(), QStringList());
            QVERIFY(desk->isRunning());
        }
    }

    // The server stopped mid-run and started again: desk A still shows the
    // call from its line and logs it once the server is back; afterwards both
    // desks show calls again. No row lost or doubled.
    void bothDesksCarryOnAfterTheServerWasAway()
    {
        QVERIFY(m_modem->command(QStringLiteral("call 5551234 %1 1415").arg(test::todayAsReported())));
        verifyShownOnBothDesks(QStringLiteral("5551234"), QStringLiteral("14:15"), QStringLiteral("五金店"));

        m_server->stop();
        QVERIFY(m_modem->command(QStringLiteral("call 5551234 %1 1420").arg(test::todayAsReported())));
        QTRY_COMPARE_WITH_TIMEOUT(m_deskA->windowText(QStringLiteral("callTimeEdit")),
                                  QStringLiteral("14:20"), 10000);
        QCOMPARE(m_deskA->windowText(QStringLiteral("numberEdit")), QStringLiteral("5551234"));
        QTRY_VERIFY_WITH_TIMEOUT(!m_deskA->messageTexts().isEmpty(), 10000);
        QVERIFY(m_deskA->messageTexts().constFirst().startsWith(QStringLiteral("无法连接数据库服务器")));

        m_server->start();
        const QStringList both{QStringLiteral("5551234|14:15|C1"), QStringLiteral("5551234|14:20|C1")};
        QTRY_COMPARE_WITH_TIMEOUT(logged(), both, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(listeningDesks(), 2, 20000);

        QVERIFY(m_modem->command(QStringLiteral("call 5551234 %1 1425").arg(test::todayAsReported())));
        verifyShownOnBothDesks(QStringLiteral("5551234"), QStringLiteral("14:25"), QStringLiteral("五金店"));
        QTRY_COMPARE_WITH_TIMEOUT(logged().size(), 3, 10000);
        // Longer than a retry of the call log: nothing written twice.
        QTest::qWait(3500);
        QCOMPARE(logged(), both + QStringList{QStringLiteral("5551234|14:25|C1")});
        QVERIFY(m_deskA->isRunning());
        QVERIFY(m_deskB->isRunning());
    }
};

QTEST_MAIN(TestDesksEndToEnd)
#include "tst_desks_e2e.moc"
