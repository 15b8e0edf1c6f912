#include "platform/gbk.h"
#include "platform/profilefile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane;

class TestProfileFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_file;

    void write(const QByteArray &bytes)
    {
        QFile f(m_file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray bytes()
    {
        QFile f(m_file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString read(const QString &section, const QString &key)
    {
        return profile::readString(m_file, section, key, QStringLiteral("<default>"));
    }

    bool put(const QString &section, const QString &key, const QString &value)
    {
        return profile::writeString(m_file, section, key, value);
    }

private Q_SLOTS:
    void init()
    {
        m_file = m_dir.filePath(QStringLiteral("zel.ini"));
        QFile::remove(m_file);
    }

    void namesMatchWithoutCaseAndValuesAreTrimmed()
    {
        write("; a comment\r\n[ZeL]\r\nFather =  com2  \r\nschool=\t\xd6\xc6\xca\xbd"
              "1\r\n");
        QCOMPARE(read(QStringLiteral("zel"), QStringLiteral("father")), QStringLiteral("com2"));
        QCOMPARE(read(QStringLiteral("ZEL"), QStringLiteral("SCHOOL")), QStringLiteral("制式1"));
    }

    void missingFileSectionOrKeyReadsTheDefault()
    {
        QCOMPARE(read(QStringLiteral("zel"), QStringLiteral("father")), QStringLiteral("<default>"));
        write("[other]\nfather=com1\n[zel]\nschool=x\n");
        QCOMPARE(read(QStringLiteral("zel"), QStringLiteral("father")), QStringLiteral("<default>"));
        QCOMPARE(read(QStringLiteral("none"), QStringLiteral("school")), QStringLiteral("<default>"));
        QCOMPARE(read(QStringLiteral("zel"), QStringLiteral("school")), QStringLiteral("x"));
    }

    void firstOccurrenceWins()
    {
        write("[zel]\nfather=com1\nfather=com2\n[zel]\nfather=com3\n");
        QCOMPARE(read(QStringLiteral("zel"), QStringLiteral("father")), QStringLiteral("com1"));
    }

    void longValuesAreCutAt2047Characters()
    {
        write("[zel]\nfather=" + QByteArray(100 * 1024, 'a') + "\n");
        QCOMPARE(read(QStringLiteral("zel"), QStringLiteral("father")).size(), 2047);
    }

    void garbageDoesNotCrash()
    {
        QByteArray garbage(64 * 1024, Qt::Uninitialized);
        QRandomGenerator rng(42);
        for (char &c : garbage)
            c = char(rng.bounded(256));
        write(garbage);
        read(QStringLiteral("zel"), QStringLiteral("father"));
        QVERIFY(profile::writeString(m_file, QStringLiteral("zel"), QStringLiteral("father"),
                                     QStringLiteral("com1")));
        QCOMPARE(read(QStringLiteral("zel"), QStringLiteral("father")), QStringLiteral("com1"));
        // Everything that was there is still there, byte for byte.
        QVERIFY(bytes().startsWith(garbage));
    }

    void writeKeepsEveryOtherLine()
    {
        const QByteArray before = "; shop settings\r\n[ports]\r\ncom1=/dev/ttyUSB0\r\n\r\n[zel]\r\n"
                                  "; keep me\r\nfather=com1\r\nschool=old\r\n\r\n[tail]\r\nx=1\r\n";
        write(before);
        QVERIFY(profile::writeString(m_file, QStringLiteral("ZEL"), QStringLiteral("School"),
                                     QStringLiteral("制式2")));
        QByteArray expected = before;
        expected.replace("school=old", QByteArray("School=").append(gbk::encode(QStringLiteral("制式2"))));
        QCOMPARE(bytes(), expected);
    }

    void writeAddsMissingKeysAndSections()
    {
        write("[zel]\nfather=com1\n\n[other]\na=b\n");
        QVERIFY(profile::writeString(m_file, QStringLiteral("zel"), QStringLiteral("school"),
                                     QStringLiteral("m")));
        QVERIFY(
            profile::writeString(m_file, QStringLiteral("new"), QStringLiteral("k"), QStringLiteral("v")));
        QCOMPARE(bytes(), QByteArray("[zel]\nfather=com1\nschool=m\n\n[other]\na=b\n\n[new]\nk=v\n"));

        QFile::remove(m_file);
        QVERIFY(profile::writeString(m_file, QStringLiteral("zel"), QStringLiteral("father"),
                                     QStringLiteral("com3")));
        QCOMPARE(read(QStringLiteral("zel"), QStringLiteral("father")), QStringLiteral("com3"));
    }

    void gbkValuesRoundTripByteForByte()
    {
        const QString value = QStringLiteral("制式1 廣東 ＡＢ");
        QVERIFY(profile::writeString(m_file, QStringLiteral("zel"), QStringLiteral("school"), value));
        QVERIFY(bytes().contains(QByteArray("school=\xd6\xc6\xca\xbd"
                                            "1")));
        QCOMPARE(read(QStringLiteral("zel"), QStringLiteral("school")), value);
    }

    void emptyValuesReadBackLikeMissingOnes()
    {
        QVERIFY(profile::writeString(m_file, QStringLiteral("zel"), QStringLiteral("father"), QString()));
        QCOMPARE(bytes(), QByteArray("[zel]\nfather=\n"));
        QCOMPARE(profile::readString(m_file, QStringLiteral("zel"), QStringLiteral("father")), QString());
    }

    void encodings_data()
    {
        QTest::addColumn<QByteArray>("bom");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("GBK") << QByteArray() << false;
        QTest::newRow("UTF-8") << QByteArray() << true;
        QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF") << true;
    }

    // A file saved by a text editor as UTF-8 reads as one in GBK does, and a
    // write keeps the file in the encoding it came in, byte-order mark and all.
    void encodings()
    {
        QFETCH(QByteArray, bom);
        QFETCH(bool, utf8);
        const auto encode = [utf8](const QString &text) { return utf8 ? text.toUtf8() : gbk::encode(text); };
        const QByteArray before =
            bom + encode(QStringLiteral("; 本机设置\r\n[zel]\r\nfather=com1\r\nschool=制式1\r\n"
                                        "\r\n[其他]\r\n键 = 值\r\n"));
        write(before);
        QCOMPARE(read(QStringLiteral("zel"), QStringLiteral("school")), QStringLiteral("制式1"));
        QCOMPARE(read(QStringLiteral("其他"), QStringLiteral("键")), QStringLiteral("值"));

        QVERIFY(put(QStringLiteral("zel"), QStringLiteral("school"), QStringLiteral("制式2")));
        QVERIFY(put(QStringLiteral("其他"), QStringLiteral("新键"), QStringLiteral("新值")));
        QByteArray expected = before;
        expected.replace(encode(QStringLiteral("制式1")), encode(QStringLiteral("制式2")));
        expected.append(encode(QStringLiteral("新键=新值\r\n")));
        QCOMPARE(bytes(), expected);
        QCOMPARE(read(QStringLiteral("zel"), QStringLiteral("school")), QStringLiteral("制式2"));
    }

    void plainAsciiWithByteOrderMarkStaysUtf8()
    {
        const QByteArray bom = "\xEF\xBB\xBF";
        write(bom + "[zel]\nfather=com1\n");
        QCOMPARE(read(QStringLiteral("zel"), QStringLiteral("father")), QStringLiteral("com1"));
        QVERIFY(put(QStringLiteral("zel"), QStringLiteral("school"), QStringLiteral("制式1")));
        QCOMPARE(bytes(), bom + "[zel]\nfather=com1\nschool=" + QStringLiteral("制式1").toUtf8() + '\n');
    }

    void failedWriteIsReportedAndHarmless()
    {
        // A folder that cannot hold the file: the write fails, nothing crashes.
        write("[zel]\nfather=com1\n");
        const QString impossible = m_file + QStringLiteral("/zel.ini");
        QVERIFY(!profile::writeString(impossible, QStringLiteral("zel"), QStringLiteral("father"),
                                      QStringLiteral("com2")));
        QCOMPARE(bytes(), QByteArray("[zel]\nfather=com1\n"));
        QCOMPARE(profile::readString(impossible, QStringLiteral("zel"), QStringLiteral("father")), QString());
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
