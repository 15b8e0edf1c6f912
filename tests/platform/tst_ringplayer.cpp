// The ring player: one ring at a time on its own thread, the caller never
// waits, a ring asked for meanwhile follows the one that sounds, and the end
// of the program never waits on a ring stuck in the sound device.

#include "platform/ringplayer.h"
#include "ringrecorder.h"

#include <QSignalSpy>
#include <QTest>

namespace corvane {

class RingPlayerTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ringsFollowOneAnotherAndOnlyTheLastRequestWaits()
    {
        test::RingRecorder recorder(60000);
        RingPlayer player;
        QSignalSpy idle(&player, &RingPlayer::idle);
        QVERIFY(player.isIdle());

        player.play(QStringLiteral("a.wav"));
        QVERIFY(!player.isIdle());
        QTRY_VERIFY(recorder.sounding());
        // Asked for while "a" sounds: they wait, and "c" replaces "b".
        player.play(QStringLiteral("b.wav"));
        player.play(QStringLiteral("c.wav"));
        QTest::qWait(100);
        QCOMPARE(recorder.count(), 1);

        recorder.endRing();
        QTRY_COMPARE(recorder.count(), 2);
        QCOMPARE(recorder.files(), (QStringList{QStringLiteral("a.wav"), QStringLiteral("c.wav")}));
        // The next ring starts only once the previous one has ended.
        const QList<test::RingRecorder::Ring> rings = recorder.rings();
        QVERIFY(rings[1].startedMs >= rings[0].endedMs);
        QCOMPARE(idle.count(), 0);
        QVERIFY(!player.isIdle());

        recorder.endRing();
        QTRY_COMPARE(idle.count(), 1);
        QVERIFY(player.isIdle());
    }

    void aRingAskedForAfterTheLastOneEndedPlaysAtOnce()
    {
        test::RingRecorder recorder;
        RingPlayer player;
        QSignalSpy idle(&player, &RingPlayer::idle);
        for (int i = 1; i <= 3; ++i) {
            player.play(QStringLiteral("ring%1.wav").arg(i));
            QTRY_COMPARE(idle.count(), i);
        }
        QCOMPARE(recorder.count(), 3);
    }

    void endingDoesNotWaitForAStuckRing()
    {
        test::RingRecorder recorder(120000);
        auto player = std::make_unique<RingPlayer>();
        player->play(QStringLiteral("stuck.wav"));
        QTRY_VERIFY(recorder.sounding());
        player->play(QStringLiteral("next.wav"));
        player.reset();
        // The player is gone while its ring still holds the sound device, and
        // the ring that waited is never played.
        QVERIFY(recorder.sounding());
        recorder.endRing();
        QTest::qWait(200);
        QCOMPARE(recorder.files(), QStringList{QStringLiteral("stuck.wav")});
    }
};

} // namespace corvane

QTEST_GUILESS_MAIN(corvane::RingPlayerTest)
#include "tst_ringplayer.moc"
