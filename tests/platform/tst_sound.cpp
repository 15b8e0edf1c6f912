#include "platform/sound.h"
#include "wavimage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace corvane {

using namespace test;

class SoundTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultSoundIsAShortBeep();
    void playableFileIsPlayedAsItIs();
    void anythingElseFallsBackToTheDefault_data();
    void anythingElseFallsBackToTheDefault();
    void testPlayerReceivesTheNameInsteadOfPlaying();

private:
    QString write(const char *name, const QByteArray &bytes);
    QTemporaryDir m_dir;
};

QString SoundTest::write(const char *name, const QByteArray &bytes)
{
    QFile file(m_dir.filePath(QLatin1String(name)));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", name);
    }
    return file.fileName();
}

void SoundTest::defaultSoundIsAShortBeep()
{
    const PcmSound &beep = sound::defaultSound();
    QVERIFY(beep.frameCount() > 0);
    QVERIFY(beep.seconds() >= 0.1);
    QVERIFY(beep.seconds() < 1.0);
    QCOMPARE(beep, *readWavFile(QStringLiteral(CORVANE_SOURCE_DIR "/resources/default.wav")));
}

void SoundTest::playableFileIsPlayedAsItIs()
{
    const QByteArray frames = tone16(2000, 660, 22050);
    const PcmSound chosen = sound::soundForFile(write("ring.wav", pcmWav(1, 22050, 16, frames)));
    QCOMPARE(chosen.frames, frames);
    QVERIFY(chosen != sound::defaultSound());
}

void SoundTest::anythingElseFallsBackToTheDefault_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("missing") << m_dir.filePath(QStringLiteral("ringin.wav"));
    QTest::newRow("empty name") << QString();
    QTest::newRow("folder") << m_dir.path();
    QTest::newRow("empty file") << write("empty.wav", {});
    QTest::newRow("garbage") << write("garbage.wav", QByteArray(3000, '\xEE'));
    QTest::newRow("header only") << write("header.wav", pcmWav(1, 22050, 16, {}));
    QTest::newRow("float") << write(
        "float.wav", riff(chunk("fmt ", formatBody(3, 1, 22050, 32)) + chunk("data", QByteArray(400, '\1'))));
}

void SoundTest::anythingElseFallsBackToTheDefault()
{
    QFETCH(QString, fileName);
    QCOMPARE(sound::soundForFile(fileName), sound::defaultSound());
}

void SoundTest::testPlayerReceivesTheNameInsteadOfPlaying()
{
    QStringList played;
    sound::setPlayerForTests([&played](const QString &name) { played.append(name); });
    sound::playFile(QStringLiteral("/a/ringin2.wav"));
    sound::playFile(QStringLiteral("/a/ringin.wav"));
    sound::setPlayerForTests({});
    QCOMPARE(played, QStringList({QStringLiteral("/a/ringin2.wav"), QStringLiteral("/a/ringin.wav")}));
}

} // namespace corvane

QTEST_GUILESS_MAIN(corvane::SoundTest)
#include "tst_sound.moc"
