#include "platform/wavfile.h"
#include "wavimage.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace corvane {

using namespace test;

class WavFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsMono16();
    void readsStereo8();
    void readsExtensiblePcm();
    void rejectsUnplayableFormats_data();
    void rejectsUnplayableFormats();
    void skipsOtherChunksAndPadBytes();
    void acceptsDataBeforeFormat();
    void ignoresWrongRiffSize();
    void keepsWholeFramesOnly();
    void rejectsEmptyData();
    void everyTruncationIsSafe();
    void hugeDataSizePlaysWhatIsThere();
    void hugeFormatSizeIsRejected();
    void hugeUnknownChunkIsRejected();
    void garbageIsRejected();
    void mutatedFilesNeverOverrun();
    void readsFile();
    void unreadableFilesGiveNothing();
    void oversizedFileIsNotRead();
};

void WavFileTest::readsMono16()
{
    const QByteArray frames = tone16(100, 440, 22050);
    const std::optional<PcmSound> sound = parseWav(pcmWav(1, 22050, 16, frames));
    QVERIFY(sound);
    QCOMPARE(sound->channels, 1);
    QCOMPARE(sound->sampleRate, 22050);
    QCOMPARE(sound->bitsPerSample, 16);
    QCOMPARE(sound->frames, frames);
    QCOMPARE(sound->frameCount(), 100);
}

void WavFileTest::readsStereo8()
{
    const QByteArray frames("\x80\x90\x70\xA0\x60\xB0", 6);
    const std::optional<PcmSound> sound = parseWav(pcmWav(2, 8000, 8, frames));
    QVERIFY(sound);
    QCOMPARE(sound->channels, 2);
    QCOMPARE(sound->bitsPerSample, 8);
    QCOMPARE(sound->bytesPerFrame(), 2);
    QCOMPARE(sound->frameCount(), 3);
    QCOMPARE(sound->frames, frames);
}

void WavFileTest::readsExtensiblePcm()
{
    const QByteArray pcmGuid("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 16);
    const QByteArray extension = le16(22) + le16(16) + le32(0x4) + pcmGuid;
    const QByteArray format = formatBody(0xFFFE, 1, 44100, 16) + extension;
    const QByteArray frames = tone16(10, 1000, 44100);
    const std::optional<PcmSound> sound = parseWav(riff(chunk("fmt ", format) + chunk("data", frames)));
    QVERIFY(sound);
    QCOMPARE(sound->frames, frames);

    QByteArray floatGuid = pcmGuid;
    floatGuid[0] = 3;
    const QByteArray floatFormat =
        formatBody(0xFFFE, 1, 44100, 16) + le16(22) + le16(16) + le32(4) + floatGuid;
    QVERIFY(!parseWav(riff(chunk("fmt ", floatFormat) + chunk("data", frames))));
    QVERIFY(!parseWav(riff(chunk("fmt ", format.first(30)) + chunk("data", frames))));
}

void WavFileTest::rejectsUnplayableFormats_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("IEEE float") << formatBody(3, 1, 22050, 32);
    QTest::newRow("ADPCM") << formatBody(2, 1, 22050, 4);
    QTest::newRow("A-law") << formatBody(6, 1, 8000, 8);
    QTest::newRow("MP3") << formatBody(0x55, 2, 44100, 16);
    QTest::newRow("24-bit") << formatBody(1, 1, 48000, 24);
    QTest::newRow("32-bit") << formatBody(1, 1, 48000, 32);
    QTest::newRow("no channels") << formatBody(1, 0, 22050, 16);
    QTest::newRow("six channels") << formatBody(1, 6, 48000, 16);
    QTest::newRow("rate zero") << formatBody(1, 1, 0, 16);
    QTest::newRow("rate 4 GHz") << formatBody(1, 1, 0xFFFFFFFF, 16);
    QTest::newRow("short chunk") << formatBody(1, 1, 22050, 16).first(14);
    QByteArray misaligned = formatBody(1, 2, 22050, 16);
    misaligned[12] = 2; // block align of a mono file
    QTest::newRow("block align") << misaligned;
}

void WavFileTest::rejectsUnplayableFormats()
{
    QFETCH(QByteArray, format);
    QVERIFY(!parseWav(riff(chunk("fmt ", format) + chunk("data", QByteArray(4000, '\x10')))));
}

void WavFileTest::skipsOtherChunksAndPadBytes()
{
    const QByteArray frames = tone16(50, 300, 11025);
    const QByteArray list = chunk("LIST", QByteArray("INFOISFT\x05\0\0\0Corv", 17));
    const QByteArray file = riff(list + chunk("fmt ", formatBody(1, 1, 11025, 16)) + chunk("fact", le32(50)) +
                                 chunk("data", frames) + chunk("smpl", QByteArray(36, '\0')));
    const std::optional<PcmSound> sound = parseWav(file);
    QVERIFY(sound);
    QCOMPARE(sound->frames, frames);
}

void WavFileTest::acceptsDataBeforeFormat()
{
    const QByteArray frames = tone16(20, 300, 8000);
    const std::optional<PcmSound> sound =
        parseWav(riff(chunk("data", frames) + chunk("fmt ", formatBody(1, 1, 8000, 16))));
    QVERIFY(sound);
    QCOMPARE(sound->frames, frames);
}

void WavFileTest::ignoresWrongRiffSize()
{
    const QByteArray frames = tone16(20, 300, 8000);
    for (quint32 size : {0u, 7u, 0xFFFFFFFFu}) {
        QByteArray file = pcmWav(1, 8000, 16, frames);
        file.replace(4, 4, le32(size));
        const std::optional<PcmSound> sound = parseWav(file);
        QVERIFY(sound);
        QCOMPARE(sound->frames, frames);
    }
}

void WavFileTest::keepsWholeFramesOnly()
{
    const QByteArray frames = QByteArray(4 * 7, '\x11') + "\x22\x22\x22";
    const std::optional<PcmSound> sound = parseWav(pcmWav(2, 22050, 16, frames));
    QVERIFY(sound);
    QCOMPARE(sound->frameCount(), 7);
    QCOMPARE(sound->frames, frames.first(28));
}

void WavFileTest::rejectsEmptyData()
{
    QVERIFY(!parseWav(pcmWav(1, 22050, 16, {})));
    QVERIFY(!parseWav(pcmWav(1, 22050, 16, "\x01")));
    QVERIFY(!parseWav(riff(chunk("fmt ", formatBody(1, 1, 22050, 16)))));
}

void WavFileTest::everyTruncationIsSafe()
{
    const QByteArray frames = tone16(40, 500, 22050);
    const QByteArray file = pcmWav(1, 22050, 16, frames);
    const qsizetype dataStart = file.indexOf("data") + 8;
    for (qsizetype length = 0; length <= file.size(); ++length) {
        const std::optional<PcmSound> sound = parseWav(QByteArrayView(file).first(length));
        const qsizetype wholeFrames = (length - dataStart) / 2;
        if (wholeFrames <= 0) {
            QVERIFY2(!sound, qPrintable(QString::number(length)));
        } else {
            QVERIFY2(sound, qPrintable(QString::number(length)));
            QCOMPARE(sound->frames, frames.first(wholeFrames * 2));
        }
    }
}

void WavFileTest::hugeDataSizePlaysWhatIsThere()
{
    // Recorders that stream write 0xFFFFFFFF and never come back to fix it.
    const QByteArray frames = tone16(30, 500, 22050);
    const std::optional<PcmSound> sound =
        parseWav(riff(chunk("fmt ", formatBody(1, 1, 22050, 16)) + chunk("data", frames, 0xFFFFFFFF)));
    QVERIFY(sound);
    QCOMPARE(sound->frames, frames);
}

void WavFileTest::hugeFormatSizeIsRejected()
{
    const QByteArray file =
        riff(chunk("fmt ", formatBody(1, 1, 22050, 16), 0xFFFFFFF0) + chunk("data", tone16(30, 500, 22050)));
    QVERIFY(!parseWav(file));
}

void WavFileTest::hugeUnknownChunkIsRejected()
{
    const QByteArray file =
        riff(chunk("JUNK", QByteArray(8, '\0'), 0x7FFFFFFF) + chunk("fmt ", formatBody(1, 1, 22050, 16)) +
             chunk("data", tone16(30, 500, 22050)));
    QVERIFY(!parseWav(file));
}

void WavFileTest::garbageIsRejected()
{
    QRandomGenerator random(20261208);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(int(random.bounded(0, 512)), '\0');
        random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
        QVERIFY(!parseWav(bytes));
    }
    QVERIFY(!parseWav(QByteArray("RIFF")));
    QVERIFY(!parseWav(QByteArray("RIFF\0\0\0\0WAVX", 12)));
    QVERIFY(!parseWav(QByteArray("ID3\x04 this is an mp3 file, not a wav file")));
    QVERIFY(!parseWav(QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16)));
}

void WavFileTest::mutatedFilesNeverOverrun()
{
    const QByteArray valid =
        riff(chunk("LIST", QByteArray(9, 'x')) + chunk("fmt ", formatBody(1, 2, 22050, 16)) +
             chunk("data", tone16(64, 700, 22050)));
    QRandomGenerator random(7);
    for (int round = 0; round < 5000; ++round) {
        QByteArray file = valid;
        for (int flips = int(random.bounded(1, 6)); flips > 0; --flips) {
            file[random.bounded(int(file.size()))] = char(random.bounded(256));
        }
        file.truncate(random.bounded(12, int(file.size()) + 1));
        const std::optional<PcmSound> sound = parseWav(file);
        if (sound) {
            QVERIFY(sound->frames.size() > 0);
            QVERIFY(sound->frames.size() <= file.size() - 20);
            QCOMPARE(sound->frames.size() % sound->bytesPerFrame(), 0);
        }
    }
}

void WavFileTest::readsFile()
{
    QTemporaryDir dir;
    const QByteArray frames = tone16(300, 440, 22050);
    QFile file(dir.filePath(QStringLiteral("ring.wav")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(pcmWav(1, 22050, 16, frames));
    file.close();
    const std::optional<PcmSound> sound = readWavFile(file.fileName());
    QVERIFY(sound);
    QCOMPARE(sound->frames, frames);
}

void WavFileTest::unreadableFilesGiveNothing()
{
    QTemporaryDir dir;
    QVERIFY(!readWavFile(dir.filePath(QStringLiteral("missing.wav"))));
    QVERIFY(!readWavFile(QString()));
    QVERIFY(!readWavFile(dir.path()));
    QFile empty(dir.filePath(QStringLiteral("empty.wav")));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    QVERIFY(!readWavFile(empty.fileName()));
    // Neither a FIFO without a writer nor an endless device may hang the reader.
    const QString fifo = dir.filePath(QStringLiteral("fifo.wav"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(!readWavFile(fifo));
    QVERIFY(!readWavFile(QStringLiteral("/dev/zero")));
}

void WavFileTest::oversizedFileIsNotRead()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("huge.wav")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(pcmWav(1, 22050, 16, tone16(100, 440, 22050)));
    QVERIFY(file.resize(MaxWavFileSize + 1)); // sparse: costs no disk
    file.close();
    QVERIFY(!readWavFile(file.fileName()));
}

} // namespace corvane

QTEST_GUILESS_MAIN(corvane::WavFileTest)
#include "tst_wavfile.moc"
