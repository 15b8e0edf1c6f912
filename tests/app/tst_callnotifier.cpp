// The desktop notification of each call, through a notification service of
// the test's own on a private session bus: what it says, how a repeat and the
// next call replace it, its action and its withdrawal, and nothing at all
// where there is no service.

#include "app/callnotifier.h"
#include "core/calldesk.h"
#include "desktop/linux/notificationservice.h"
#include "platform/ringplayer.h"
#include "sessionbus.h"
#include "store/stores.h"
#include "testsupport.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QSignalSpy>
#include <QTest>

using namespace corvane;

namespace {

const CallerIdReport FirstCall{QStringLiteral("5551234"), QStringLiteral("2024-03-21"),
                               QStringLiteral("14:05")};
const CallerIdReport NextCall{QStringLiteral("88888888"), QStringLiteral("2024-03-21"),
                              QStringLiteral("14:07")};

// A call's notifications as the program makes them, on the bus of the test.
struct Announcing
{
    explicit Announcing(const QStringList &capabilities)
        : server(bus.connect(QStringLiteral("server")), capabilities),
          service(bus.connect(QStringLiteral("client")), QImage(16, 16, QImage::Format_ARGB32))
    {
    }
    // The desk's sequence for one report, as far as the lookup tells it.
    void call(const CallerIdReport &report, const std::optional<Customer> &customer = std::nullopt)
    {
        Q_EMIT callDesk.callArrived();
        Q_EMIT callDesk.callShown(report);
        if (customer)
            Q_EMIT callDesk.customerShown(*customer);
    }
    // Returns once everything the server has sent reached the service: a
    // round trip on the client's connection comes back after it.
    void awaitDelivered()
    {
        const QDBusPendingCall answer =
            QDBusConnection(QStringLiteral("client"))
                .asyncCall(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
                                                          QStringLiteral("/org/freedesktop/Notifications"),
                                                          QStringLiteral("org.freedesktop.Notifications"),
                                                          QStringLiteral("GetServerInformation")));
        static_cast<void>(QTest::qWaitFor([&] { return answer.isFinished(); }, 5000));
        QCoreApplication::processEvents();
    }
    // What the server has received once it holds `count` notifications.
    QList<test::NotificationServer::Received> awaitReceived(int count)
    {
        static_cast<void>(QTest::qWaitFor([&] { return server.received().size() >= count; }, 5000));
        return server.received();
    }

    test::SessionBus bus;
    test::NotificationServer server;
    Stores stores;
    RingPlayer ringPlayer;
    CallDesk callDesk{stores, ringPlayer};
    NotificationService service;
    CallNotifier notifier{callDesk, service};
};

Customer customer(const QString &code, const QString &name)
{
    Customer found;
    found.customerCode = code;
    found.name = name;
    return found;
}

uchar urgency(const test::NotificationServer::Received &notification)
{
    return notification.hints.value(QStringLiteral("urgency")).value<uchar>();
}

} // namespace

class TestCallNotifier : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void aCallIsAnnouncedAndRepeatsAndTheNextCallReplaceIt()
    {
        Announcing desk({QStringLiteral("body"), QStringLiteral("body-markup"), QStringLiteral("actions")});
        QVERIFY(!desk.bus.address().isEmpty());
        // The number, then the customer the lookup found: one notification.
        desk.call(FirstCall, customer(QStringLiteral("K003"), QStringLiteral("O'Brien & <Sons>")));
        QList<test::NotificationServer::Received> got = desk.awaitReceived(1);
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0].summary, QStringLiteral("5551234"));
        QCOMPARE(got[0].body,
                 QStringLiteral("O'Brien &amp; &lt;Sons&gt;（客户编号 K003）\n来电时间：2024-03-21 14:05"));
        QCOMPARE(got[0].actions, (QStringList{QStringLiteral("default"), QStringLiteral("显示")}));
        QCOMPARE(got[0].replacesId, 0U);
        QCOMPARE(urgency(got[0]), uchar(2));
        QCOMPARE(got[0].appIcon, QStringLiteral("corvane"));
        QCOMPARE(got[0].hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("corvane"));
        QCOMPARE(got[0].hints.value(QStringLiteral("image-data")).value<QDBusArgument>().currentSignature(),
                 QStringLiteral("(iiibiiay)"));

        // The repeated report keeps its customer; the next call, a new number, replaces it too.
        desk.call(FirstCall);
        got = desk.awaitReceived(2);
        QCOMPARE(got.size(), 2);
        QCOMPARE(got[1].replacesId, got[0].id);
        QCOMPARE(got[1].body, got[0].body);
        desk.call(NextCall);
        Q_EMIT desk.callDesk.newNumber();
        got = desk.awaitReceived(3);
        QCOMPARE(got.size(), 3);
        QCOMPARE(got[2].replacesId, got[0].id);
        QCOMPARE(got[2].summary, QStringLiteral("88888888"));
        QCOMPARE(got[2].body, QStringLiteral("新号码，尚未保存为客户\n来电时间：2024-03-21 14:07"));

        // The ring is over: it may go away by itself.
        Q_EMIT desk.callDesk.ringEnded();
        got = desk.awaitReceived(4);
        QCOMPARE(got.size(), 4);
        QCOMPARE(got[3].replacesId, got[0].id);
        QCOMPARE(urgency(got[3]), uchar(1));
        // The start's empty display and "保存新号码" announce nothing.
        Q_EMIT desk.callDesk.callShown({});
        QTest::qWait(100);
        QCOMPARE(desk.server.received().size(), 4);
    }

    void itsActionShowsTheWindowAndItIsWithdrawnOrClosedForGood()
    {
        Announcing desk({QStringLiteral("body"), QStringLiteral("actions")});
        QSignalSpy activated(&desk.service, &NotificationService::activated);
        desk.call(FirstCall, customer(QStringLiteral("K003"), QStringLiteral("O'Brien & Sons")));
        QCOMPARE(desk.awaitReceived(1).size(), 1);
        const uint id = desk.server.received()[0].id;
        // A service without markup gets the name as it is.
        QVERIFY(desk.server.received()[0].body.startsWith(QStringLiteral("O'Brien & Sons（")));
        desk.server.invokeDefault(id, QStringLiteral("token-1"));
        QTRY_COMPARE(activated.size(), 1);
        QCOMPARE(activated[0][0].toString(), QStringLiteral("token-1"));
        // Chosen by the user: the end of the ring does not bring it back, even
        // before the service has said it closed it.
        desk.awaitDelivered();
        Q_EMIT desk.callDesk.ringEnded();
        QTest::qWait(100);
        QCOMPARE(desk.server.received().size(), 1);

        desk.call(NextCall);
        QCOMPARE(desk.awaitReceived(2).size(), 2);
        const uint next = desk.server.received()[1].id;
        desk.notifier.withdraw();
        QTRY_COMPARE(desk.server.closed(), QList<uint>{next});
    }

    // What the desk hands on for each kind of caller: a withheld or unknown
    // number and a failed lookup come with an empty record, no customer.
    void itsTextForEveryKindOfCaller()
    {
        using Caller = CallNotifier::Caller;
        const Customer shop = customer(QStringLiteral("K003"), QStringLiteral("Shop"));
        const struct
        {
            const char *number;
            Caller caller;
            Customer customer;
            const char *summary;
            const char *firstLine;
        } rows[] = {
            {"5551234", Caller::Known, shop, "5551234", "Shop（客户编号 K003）"},
            {"5551234", Caller::New, {}, "5551234", "新号码，尚未保存为客户"},
            {"5551234", Caller::Known, {}, "5551234", nullptr},
            {"5551234", Caller::Unknown, {}, "5551234", nullptr},
            {"P", Caller::Known, {}, "私人号码", nullptr},
            {"private", Caller::Known, {}, "私人号码", nullptr},
            {"O", Caller::Known, {}, "号码不详", nullptr},
            {"", Caller::Known, {}, "来电", nullptr},
        };
        for (const auto &row : rows) {
            const CallerIdReport call{QString::fromUtf8(row.number), FirstCall.dateText, FirstCall.timeText};
            const Notification told = CallNotifier::notificationOf(call, row.caller, row.customer, true);
            QString body = QStringLiteral("来电时间：2024-03-21 14:05");
            if (row.firstLine)
                body.prepend(QString::fromUtf8(row.firstLine) + QLatin1Char('\n'));
            QCOMPARE(told.summary, QString::fromUtf8(row.summary));
            QCOMPARE(told.body, body);
        }
    }

    void withoutServiceOrBusACallIsShownAsEver()
    {
        test::MessageCapture boxes;
        test::SessionBus bus;
        Stores stores;
        RingPlayer ringPlayer;
        CallDesk callDesk{stores, ringPlayer};
        NotificationService onEmptyBus(bus.connect(QStringLiteral("client")), {});
        NotificationService offBus(QDBusConnection(QStringLiteral("none")), {});
        CallNotifier first{callDesk, onEmptyBus};
        CallNotifier second{callDesk, offBus};
        QSignalSpy shown(&callDesk, &CallDesk::callShown);
        Q_EMIT callDesk.callArrived();
        Q_EMIT callDesk.callShown(FirstCall);
        first.withdraw();
        QTest::qWait(200);
        QCOMPARE(shown.size(), 1);
        QVERIFY(boxes.take().isEmpty());
    }
};

QTEST_MAIN(TestCallNotifier)
#include "tst_callnotifier.moc"
