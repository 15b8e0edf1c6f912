// Real-time playback through ALSA's "default" device into a private PulseAudio
// whose pipe sink runs on the system clock: a ring must block for as long as it
// sounds, and the samples that come out must be the file's.

#include "platform/ringplayer.h"
#include "platform/sound.h"
#include "pulse-sink.h"
#include "wavimage.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace corvane {

using namespace test;

namespace {

constexpr int SinkRate = 22050;
// Time for the sink's last block to pass through the FIFO to the reader.
constexpr int SettleMilliseconds = 300;
const char *ChildVariable = "CORVANE_SOUND_CHILD_PLAY";

QString resource(const char *name)
{
    return QStringLiteral(CORVANE_SOURCE_DIR "/resources/") + QLatin1String(name);
}

// The non-zero samples of 16-bit audio. Silence the sink adds before, after or
// (should the player fall behind) inside a sound then does not count, while
// every sample of the sound itself must be there, in order.
QByteArray audibleSamples(QByteArrayView samples)
{
    QByteArray audible;
    for (qsizetype i = 0; i + 1 < samples.size(); i += 2) {
        if (samples[i] != 0 || samples[i + 1] != 0) {
            audible.append(samples.sliced(i, 2));
        }
    }
    return audible;
}

// A ring must not return before its sound is out, nor hang on after it. The
// upper margin is fixed, not proportional: closing the device costs the same
// tenth of a second or so for any length, and more on a loaded machine.
bool blockedFor(double seconds, double length)
{
    return seconds >= length * 0.9 && seconds <= length + 1.0;
}

void writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class SoundRealtimeTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void ringBlocksForItsDurationAndPlaysItsSamples_data();
    void ringBlocksForItsDurationAndPlaysItsSamples();
    void unplayableFilePlaysTheDefaultSound_data();
    void unplayableFilePlaysTheDefaultSound();
    void truncatedFilePlaysWhatIsThere();
    void otherFormatsPlayInRealTime_data();
    void otherFormatsPlayInRealTime();
    void noAudioDeviceReturnsAtOnceQuietly_data();
    void noAudioDeviceReturnsAtOnceQuietly();
    void ringPlayerSoundsTheWholeRingWhileItsCallerGoesOn();
    void ringPlayerEndsARingCutShortAtTheEnd();
    void stalledSoundServerHoldsNothingUp();

private:
    // Plays the file and returns the seconds playFile blocked for.
    double play(const QString &fileName);
    QByteArray playedAudible();

    PulsePipeSink m_sink{SinkRate, 1};
    QTemporaryDir m_dir;
};

void SoundRealtimeTest::initTestCase()
{
    QVERIFY2(m_sink.start(), qPrintable(m_sink.errorString()));
    qputenv("ALSA_CONFIG_PATH", QFile::encodeName(m_sink.alsaConfig()));
    qputenv("PULSE_CLIENTCONFIG", QFile::encodeName(m_sink.clientConfig()));
}

double SoundRealtimeTest::play(const QString &fileName)
{
    m_sink.clear();
    QElapsedTimer clock;
    clock.start();
    sound::playFile(fileName);
    const double seconds = clock.nsecsElapsed() / 1e9;
    QThread::msleep(SettleMilliseconds);
    return seconds;
}

QByteArray SoundRealtimeTest::playedAudible()
{
    return audibleSamples(m_sink.captured());
}

void SoundRealtimeTest::ringBlocksForItsDurationAndPlaysItsSamples_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("ringin1") << resource("ringin1.wav");
    QTest::newRow("ringin2") << resource("ringin2.wav");
    QTest::newRow("ringin3") << resource("ringin3.wav");
}

void SoundRealtimeTest::ringBlocksForItsDurationAndPlaysItsSamples()
{
    QFETCH(QString, fileName);
    const std::optional<PcmSound> ring = readWavFile(fileName);
    QVERIFY(ring);
    QCOMPARE(ring->sampleRate, SinkRate);

    const double seconds = play(fileName);
    qInfo("%s: %.3f s for %.3f s of sound", qPrintable(fileName), seconds, ring->seconds());
    QVERIFY2(blockedFor(seconds, ring->seconds()), qPrintable(QString::number(seconds)));

    const QByteArray expected = audibleSamples(ring->frames);
    const QByteArray played = playedAudible();
    QCOMPARE(played.size(), expected.size());
    QVERIFY(played == expected);
}

void SoundRealtimeTest::unplayableFilePlaysTheDefaultSound_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("missing") << m_dir.filePath(QStringLiteral("ringin.wav"));
    const QString garbage = m_dir.filePath(QStringLiteral("garbage.wav"));
    writeFile(garbage, QByteArray(5000, '\x5A'));
    QTest::newRow("garbage") << garbage;
    const QString floats = m_dir.filePath(QStringLiteral("float.wav"));
    writeFile(floats,
              riff(chunk("fmt ", formatBody(3, 1, SinkRate, 32)) + chunk("data", QByteArray(8000, '\1'))));
    QTest::newRow("float samples") << floats;
}

void SoundRealtimeTest::unplayableFilePlaysTheDefaultSound()
{
    QFETCH(QString, fileName);
    const PcmSound &beep = sound::defaultSound();
    QVERIFY(beep.frameCount() > 0);

    const double seconds = play(fileName);
    QVERIFY2(seconds >= beep.seconds() * 0.9, qPrintable(QString::number(seconds)));
    QVERIFY(playedAudible() == audibleSamples(beep.frames));
}

void SoundRealtimeTest::truncatedFilePlaysWhatIsThere()
{
    // One second of tone cut off in the middle of a sample, after 0.5 s.
    const QByteArray frames = tone16(SinkRate, 523.25, SinkRate);
    const QByteArray file = pcmWav(1, SinkRate, 16, frames);
    const qsizetype header = file.size() - frames.size();
    const qsizetype kept = SinkRate;
    const QString fileName = m_dir.filePath(QStringLiteral("cut.wav"));
    writeFile(fileName, file.first(header + kept + 1));

    const double seconds = play(fileName);
    QVERIFY2(blockedFor(seconds, 0.5), qPrintable(QString::number(seconds)));
    QVERIFY(playedAudible() == audibleSamples(frames.first(kept)));
}

void SoundRealtimeTest::otherFormatsPlayInRealTime_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("bits");
    QTest::newRow("8-bit mono 8 kHz") << 1 << 8000 << 8;
    QTest::newRow("16-bit stereo 44.1 kHz") << 2 << 44100 << 16;
    QTest::newRow("8-bit stereo 11.025 kHz") << 2 << 11025 << 8;
}

void SoundRealtimeTest::otherFormatsPlayInRealTime()
{
    QFETCH(int, channels);
    QFETCH(int, rate);
    QFETCH(int, bits);
    const int frameBytes = channels * bits / 8;
    const double length = 1.5;
    // A buzz that never rests on the zero line, in whatever format.
    QByteArray frames(qsizetype(length * rate) * frameBytes, '\0');
    for (qsizetype i = 0; i < frames.size(); ++i) {
        frames[i] = char((i / frameBytes) % 16 < 8 ? 0x40 : 0xC0);
    }
    const QString fileName = m_dir.filePath(QStringLiteral("format.wav"));
    writeFile(fileName, pcmWav(quint16(channels), quint32(rate), quint16(bits), frames));

    const double seconds = play(fileName);
    QVERIFY2(blockedFor(seconds, length), qPrintable(QString::number(seconds)));
    QVERIFY(!playedAudible().isEmpty());
}

void SoundRealtimeTest::noAudioDeviceReturnsAtOnceQuietly_data()
{
    QTest::addColumn<bool>("withSystemConfig");
    QTest::addColumn<QByteArray>("alsaConfig");
    QTest::newRow("no sound card") << true << QByteArray("pcm.!default \"plughw:NoSuchCard\"\n");
    QTest::newRow("sound server not running")
        << true << QByteArray("pcm.!default { type pulse; server \"unix:/nonexistent/corvane/native\" }\n");
    QTest::newRow("no default device") << false << QByteArray("# nothing here\n");
}

void SoundRealtimeTest::noAudioDeviceReturnsAtOnceQuietly()
{
    QFETCH(bool, withSystemConfig);
    QFETCH(QByteArray, alsaConfig);
    const QString config = m_dir.filePath(QStringLiteral("nodevice.conf"));
    writeFile(config, alsaConfig);
    const QString configPath =
        withSystemConfig ? QStringLiteral("/usr/share/alsa/alsa.conf:") + config : config;
    // Five seconds of sound: a player that did find a device would take that long.
    const QString fileName = m_dir.filePath(QStringLiteral("long.wav"));
    writeFile(fileName, pcmWav(1, SinkRate, 16, tone16(5 * SinkRate, 440, SinkRate)));

    // In a child process of its own, so that its stderr can be watched and
    // libasound reads the configuration afresh.
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ALSA_CONFIG_PATH"), configPath);
    env.insert(QString::fromLatin1(ChildVariable), fileName);
    child.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(30000));
    const double seconds = clock.nsecsElapsed() / 1e9;

    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(QString::fromLocal8Bit(child.readAllStandardError()), QString());
    QCOMPARE(QString::fromLocal8Bit(child.readAllStandardOutput()), QString());
    QVERIFY2(seconds < 2.5, qPrintable(QString::number(seconds)));
}

void SoundRealtimeTest::ringPlayerSoundsTheWholeRingWhileItsCallerGoesOn()
{
    const QString fileName = resource("ringin2.wav");
    const std::optional<PcmSound> ring = readWavFile(fileName);
    QVERIFY(ring);
    m_sink.clear();
    RingPlayer player;
    QSignalSpy idle(&player, &RingPlayer::idle);
    // The caller's event loop: it keeps turning while the ring sounds.
    int turns = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&turns] { ++turns; });
    tick.start(10);
    player.play(fileName);
    QVERIFY(!player.isIdle());
    QVERIFY(idle.wait(int(ring->seconds() * 1000) + 5000));
    QThread::msleep(SettleMilliseconds);
    qInfo("%d turns of a 10 ms timer during %.3f s of ring", turns, ring->seconds());
    QVERIFY(turns > 0);
    QVERIFY(playedAudible() == audibleSamples(ring->frames));
}

void SoundRealtimeTest::ringPlayerEndsARingCutShortAtTheEnd()
{
    const QString fileName = m_dir.filePath(QStringLiteral("long-ring.wav"));
    writeFile(fileName, pcmWav(1, SinkRate, 16, tone16(30 * SinkRate, 440, SinkRate)));
    m_sink.clear();
    {
        RingPlayer player;
        player.play(fileName);
        QTRY_VERIFY(!playedAudible().isEmpty());
    }
    // The ring stops with its player, long before its 30 s are out.
    QThread::msleep(SettleMilliseconds);
    const qsizetype heard = playedAudible().size();
    QThread::msleep(500);
    QCOMPARE(playedAudible().size(), heard);
    QVERIFY(heard < 10 * SinkRate * 2);
}

void SoundRealtimeTest::stalledSoundServerHoldsNothingUp()
{
    m_sink.freeze();
    {
        RingPlayer player;
        player.play(resource("ringin1.wav"));
        player.play(resource("ringin2.wav"));
        QTest::qWait(500);
        // Leaving the player's scope is the end of the program: it must not
        // wait for the stalled server.
    }
    m_sink.thaw();
    // The server answers again: rings sound again.
    m_sink.clear();
    RingPlayer player;
    QSignalSpy idle(&player, &RingPlayer::idle);
    player.play(resource("ringin1.wav"));
    QVERIFY(idle.wait(15000));
}

} // namespace corvane

int main(int argc, char **argv)
{
    // Child mode of noAudioDeviceReturnsAtOnceQuietly: play one file and end.
    const QByteArray child = qgetenv(corvane::ChildVariable);
    if (!child.isEmpty()) {
        corvane::sound::playFile(QFile::decodeName(child));
        return 0;
    }
    QCoreApplication app(argc, argv);
    corvane::SoundRealtimeTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sound_realtime.moc"
