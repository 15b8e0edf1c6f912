// Two desks on one shared database: two real Corvane programs, each in a
// program folder, runtime folder and display of its own, on a private
// database server. Desk A has the fake modem on its line; desk B has none.
// Two more desks in this process, where the test types, have their 最近来电
// open on connections and a channel of their own.

#include "modemsim.h"
#include "pgserver.h"
#include "records/dataset.h"
#include "records/recentcallsform.h"
#include "records/recentcallsmodel.h"
#include "runningprogram.h"
#include "store/callannouncements.h"
#include "store/stores.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <QTest>

using namespace corvane;

using Program = test::RunningProgram;

namespace {

const QString newNumberMessage = QStringLiteral("此号码为新号码，如果要保存的话请点击<保存新号码>按钮");

// A desk whose 最近来电 is open, wired to the server's channel as the
// program wires it through its call desk.
struct ListDesk
{
    explicit ListDesk(const ServerAddress &server) : channel(server)
    {
        stores.connection.setServer(server);
        QObject::connect(&channel, &CallAnnouncements::heard, &form, [this] { form.onCallsChanged(); });
        QObject::connect(&channel, &CallAnnouncements::editHeard, &form, [this] { form.onCallsChanged(); });
        QObject::connect(&form, &RecentCallsForm::callEdited, &channel, &CallAnnouncements::announceEdit);
        channel.open();
        form.show();
    }

    QTableView *list() const { return form.findChild<QTableView *>(QStringLiteral("callList")); }
    QString note() const { return list()->model()->index(0, RecentCallsModel::Note).data().toString(); }
    QPointer<QLineEdit> editNote() const
    {
        list()->edit(list()->model()->index(0, RecentCallsModel::Note));
        return list()->viewport()->findChild<QLineEdit *>();
    }

    Stores stores;
    test::NoFileChooser files;
    CallAnnouncements channel;
    RecentCallsForm form{stores.recentCalls, stores.customers, files, {}};
};

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

    // Desks X and Y type a note on one call, both from its empty cell: X's
    // is saved; Y, whose typing goes on while X's note comes in beneath it, is
    // told and keeps both, and so does the server. Every open list, desk B's
    // in the real program too, shows the note both desks kept and the
    // handled mark ticked at one of them.
    void aNoteTypedAtTwoDesksKeepsBothAndEveryListShowsIt()
    {
        m_deskB.reset();
        QProcessEnvironment listOpen;
        listOpen.insert(QStringLiteral("CORVANE_OPEN_RECENT_CALLS"), QStringLiteral("1"));
        m_deskB = std::make_unique<Program>(QStringLiteral("制式1"), QString(), databaseIni(), listOpen);
        test::MessageCapture capture;
        ListDesk x(m_server->socketAddress());
        ListDesk y(m_server->socketAddress());
        QTRY_COMPARE_WITH_TIMEOUT(listeningDesks(), 4, 20000);

        QVERIFY(m_modem->command(QStringLiteral("call 5551234 %1 1430").arg(test::todayAsReported())));
        QTRY_COMPARE_WITH_TIMEOUT(m_deskB->recentCalls(), QStringList{QStringLiteral("5551234|0|")}, 10000);
        for (ListDesk *desk : {&x, &y})
            QTRY_COMPARE_WITH_TIMEOUT(desk->list()->model()->rowCount(), 1, 10000);

        const QPointer<QLineEdit> typedAtX = x.editNote();
        const QPointer<QLineEdit> typedAtY = y.editNote();
        QVERIFY(typedAtX && typedAtY);
        typedAtY->insert(QStringLiteral("已回电"));
        typedAtX->insert(QStringLiteral("明天送货"));
        QTest::keyClick(typedAtX, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(y.note(), QStringLiteral("明天送货"), 10000);
        QVERIFY(typedAtY);
        typedAtY->insert(QStringLiteral("，客户满意"));
        QCOMPARE(typedAtY->text(), QStringLiteral("已回电，客户满意"));
        QTest::keyClick(typedAtY, Qt::Key_Return);
        QTRY_VERIFY(!typedAtY); // the view commits and closes its editor after the key

        const QString both = QStringLiteral("明天送货\n已回电，客户满意");
        const QStringList told = capture.takeTexts();
        QCOMPARE(told.size(), 1);
        QVERIFY2(
            told.first().startsWith(QStringLiteral("另一台电脑刚刚改过这个来电的备注，两段备注都已保留")) &&
                told.first().contains(both),
            qPrintable(told.first()));
        QCOMPARE(y.note(), both);
        QTRY_COMPARE_WITH_TIMEOUT(x.note(), both, 10000);
        QCOMPARE(m_server->query(QStringLiteral("SELECT replace(note, chr(10), '/') FROM calls")),
                 QStringList{QStringLiteral("明天送货/已回电，客户满意")});
        QTRY_COMPARE_WITH_TIMEOUT(m_deskB->recentCalls(), QStringList{QStringLiteral("5551234|0|") + both},
                                  10000);

        QVERIFY(x.list()->model()->setData(x.list()->model()->index(0, RecentCallsModel::Handled),
                                           Qt::Checked, Qt::CheckStateRole));
        QTRY_COMPARE_WITH_TIMEOUT(m_deskB->recentCalls(), QStringList{QStringLiteral("5551234|1|") + both},
                                  10000);
        QCOMPARE(capture.takeTexts(), QStringList());
        QCOMPARE(m_deskB->messageTexts(), QStringList());
        test::saveScreenshot(&y.form, QStringLiteral("recent-calls-note-of-two-desks.png"));
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
