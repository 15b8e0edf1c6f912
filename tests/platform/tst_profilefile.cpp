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

private Q_SLOTS:
    void init()
    {
        m_file = m_dir.filePath(QStringLiteral("zel.ini"));
        QFile::remove(m_file);
    }

    void namesMatchWithoutCaseAndValuesAreTrimmed()
    {
        write("; a comment\r\n[ZeL]\r\nFather =  com2  \r\nschool=\t\xd6\xc6\xca\xbd" "1\r\n");
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
        QVERIFY(profile::writeString(m_file, QStringLiteral("zel"), QStringLiteral("father"), QStringLiteral("com1")));
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
        QVERIFY(profile::writeString(m_file, QStringLiteral("zel"), QStringLiteral("school"), QStringLiteral("m")));
        QVERIFY(profile::writeString(m_file, QStringLiteral("new"), QStringLiteral("k"), QStringLiteral("v")));
        QCOMPARE(bytes(), QByteArray("[zel]\nfather=com1\nschool=m\n\n[other]\na=b\n\n[new]\nk=v\n"));

        QFile::remove(m_file);
        QVERIFY(profile::writeString(m_file, QStringLiteral("zel"), QStringLiteral("father"), QStringLiteral("com3")));
        QCOMPARE(read(QStringLiteral("zel"), QStringLiteral("father")), QStringLiteral("com3"));
    }

    void gbkValuesRoundTripByteForByte()
    {
        const QString value = QStringLiteral("制式1 廣東 ＡＢ");
        QVERIFY(profile::writeString(m_file, QStringLiteral("zel"), QStringLiteral("school"), value));
        QVERIFY(bytes().contains(QByteArray("school=\xd6\xc6\xca\xbd" "1")));
        QCOMPARE(read(QStringLiteral("zel"), QStringLiteral("school")), value);
    }

    void emptyValuesReadBackLikeMissingOnes()
    {
        QVERIFY(profile::writeString(m_file, QStringLiteral("zel"), QStringLiteral("father"), QString()));
        QCOMPARE(bytes(), QByteArray("[zel]\nfather=\n"));
        QCOMPARE(profile::readString(m_file, QStringLiteral("zel"), QStringLiteral("father")), QString());
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
