// The ring sounds shipped beside the executable and the built-in default sound:
// short, small, in the one format the program's own rings use, free of clicks
// at either end, and not clipped.

#include "platform/wavfile.h"

#include <QFileInfo>
#include <QTest>
#include <QtEndian>

namespace corvane {

namespace {

QString resource(const QString &name)
{
    return QStringLiteral(CORVANE_SOURCE_DIR "/resources/") + name;
}

qint16 sampleAt(const PcmSound &sound, qint64 index)
{
    return qFromLittleEndian<qint16>(sound.frames.constData() + 2 * index);
}

} // namespace

class RingSoundsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void soundIsWellMade_data();
    void soundIsWellMade();
    void ringsAreDistinct();
};

void RingSoundsTest::soundIsWellMade_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("shortest");
    QTest::addColumn<double>("longest");
    QTest::newRow("ringin1") << QStringLiteral("ringin1.wav") << 1.5 << 2.5;
    QTest::newRow("ringin2") << QStringLiteral("ringin2.wav") << 1.5 << 2.5;
    QTest::newRow("ringin3") << QStringLiteral("ringin3.wav") << 1.5 << 2.5;
    QTest::newRow("default") << QStringLiteral("default.wav") << 0.1 << 0.5;
}

void RingSoundsTest::soundIsWellMade()
{
    QFETCH(QString, name);
    QFETCH(double, shortest);
    QFETCH(double, longest);
    const std::optional<PcmSound> sound = readWavFile(resource(name));
    QVERIFY(sound);
    QCOMPARE(sound->channels, 1);
    QCOMPARE(sound->sampleRate, 22050);
    QCOMPARE(sound->bitsPerSample, 16);
    QVERIFY(sound->seconds() >= shortest);
    QVERIFY(sound->seconds() <= longest);
    QVERIFY(QFileInfo(resource(name)).size() < 128 * 1024);

    // Starting and ending on silence: no click when the device starts or stops.
    QCOMPARE(sampleAt(*sound, 0), 0);
    QCOMPARE(sampleAt(*sound, sound->frameCount() - 1), 0);
    int peak = 0;
    for (qint64 i = 0; i < sound->frameCount(); ++i) {
        peak = qMax(peak, qAbs(int(sampleAt(*sound, i))));
    }
    QVERIFY2(peak > 8000, "too quiet to be heard over a shop");
    QVERIFY2(peak < 32000, "clipped");
}

void RingSoundsTest::ringsAreDistinct()
{
    const QStringList names = {QStringLiteral("ringin1.wav"), QStringLiteral("ringin2.wav"),
                               QStringLiteral("ringin3.wav"), QStringLiteral("default.wav")};
    QList<QByteArray> frames;
    for (const QString &name : names) {
        frames.append(readWavFile(resource(name)).value_or(PcmSound{}).frames);
    }
    for (qsizetype a = 0; a < frames.size(); ++a) {
        for (qsizetype b = a + 1; b < frames.size(); ++b) {
            QVERIFY2(frames[a] != frames[b], qPrintable(names[a] + QLatin1Char('/') + names[b]));
        }
    }
}

} // namespace corvane

QTEST_GUILESS_MAIN(corvane::RingSoundsTest)
#include "tst_ringsounds.moc"
