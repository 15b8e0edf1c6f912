// The desks' call announcements through a private server: each desk hears the
// others' calls and edits and never its own, whatever the number holds, and listens
// again by itself when the server comes back.

#include "pgserver.h"
#include "store/callannouncements.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <vector>

using namespace corvane;

namespace {

// One desk's channel and what it heard.
struct Desk
{
    explicit Desk(const test::PgServer &server)
        : channel(server.loopbackAddress()), heard(&channel, &CallAnnouncements::heard),
          listening(&channel, &CallAnnouncements::listeningChanged)
    {
        channel.open();
    }

    AnnouncedCall heardCall(qsizetype index) const { return heard.at(index).at(0).value<AnnouncedCall>(); }

    CallAnnouncements channel;
    QSignalSpy heard;
    QSignalSpy listening;
};

} // namespace

class TestCallAnnouncements : public QObject
{
    Q_OBJECT
private Q_SLOTS:

    // Every other desk hears a call once, exactly as announced, quotes and
    // SQL in the number included; the announcing desk hears nothing. Text
    // that is not an announcement is passed over.
    void everyOtherDeskHearsTheCall()
    {
        test::PgServer server;
        Desk a(server);
        Desk b(server);
        Desk c(server);
        // Not yet connected: the announcement is dropped, nothing breaks.
        a.channel.announce(
            {QStringLiteral("5550000"), QStringLiteral("2026-01-01"), QStringLiteral("09:00")});
        for (Desk *desk : {&a, &b, &c})
            QTRY_VERIFY(desk->channel.isListening());

        server.query(QStringLiteral("NOTIFY corvane_calls, 'not json'; "
                                    "NOTIFY corvane_calls, '{\"number\": \"no desk\"}'"));
        const AnnouncedCall odd{QStringLiteral("O'Brien\"; DROP TABLE customer;--\\ 号码 $1 :name ?"),
                                QStringLiteral("2026-12-08"), QStringLiteral("22:05"),
                                QStringLiteral("9b2f4c1e-6a53-4d8e-a1f0-3c7d5e2b8a91")};
        a.channel.announce(odd);
        const AnnouncedCall plain{QStringLiteral("5551234"), QStringLiteral("2026-12-08"),
                                  QStringLiteral("22:06")};
        a.channel.announce(plain);
        for (Desk *desk : {&b, &c}) {
            QTRY_COMPARE(desk->heard.size(), 2);
            QCOMPARE(desk->heardCall(0), odd);
            QCOMPARE(desk->heardCall(1), plain);
        }
        b.channel.announce(plain);
        QTRY_COMPARE(a.heard.size(), 1);
        QTRY_COMPARE(c.heard.size(), 3);
        QCOMPARE(b.heard.size(), 2);

        // A saved note is heard by the other desks as its call's row, and
        // by none as a call.
        QSignalSpy editsAtA(&a.channel, &CallAnnouncements::editHeard);
        QSignalSpy editsAtB(&b.channel, &CallAnnouncements::editHeard);
        c.channel.announceEdit(42);
        QTRY_COMPARE(editsAtA.size(), 1);
        QTRY_COMPARE(editsAtB.size(), 1);
        QCOMPARE(editsAtA.at(0).at(0).toLongLong(), 42);
        b.channel.announce(plain);
        QTRY_COMPARE(c.heard.size(), 4);
        QTRY_COMPARE(a.heard.size(), 2);
        QCOMPARE(editsAtB.size(), 1);
    }

    // The server stopped and started again: each desk notices once, listens
    // again by itself once, and the calls flow again. A server away when the
    // desk starts is waited for the same way.
    void theDesksListenAgainWhenTheServerIsBack()
    {
        test::PgServer server;
        server.stop();
        Desk a(server);
        server.start();
        Desk b(server);
        QTRY_VERIFY_WITH_TIMEOUT(a.channel.isListening(), 10000);
        QTRY_VERIFY(b.channel.isListening());

        server.stop();
        QTRY_VERIFY(!a.channel.isListening());
        QTRY_VERIFY(!b.channel.isListening());
        a.channel.announce(
            {QStringLiteral("5550000"), QStringLiteral("2026-12-08"), QStringLiteral("22:00")});
        // Several tries at the absent server, each silent.
        QTest::qWait(1500);
        server.start();
        QTRY_VERIFY_WITH_TIMEOUT(a.channel.isListening(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(b.channel.isListening(), 10000);
        QCOMPARE(a.listening.size(), 3);
        QCOMPARE(b.listening.size(), 3);

        const AnnouncedCall call{QStringLiteral("5551234"), QStringLiteral("2026-12-08"),
                                 QStringLiteral("22:10")};
        a.channel.announce(call);
        QTRY_COMPARE(b.heard.size(), 1);
        QCOMPARE(b.heardCall(0), call);
        QCOMPARE(a.heard.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCallAnnouncements)
#include "tst_callannouncements.moc"
