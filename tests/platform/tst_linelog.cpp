#include "platform/linelog.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane;

namespace {

QList<QByteArray> linesOf(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestLineLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() { m_dir.reset(); }

    // Every byte value comes out as one printable form that reads back
    // unambiguously: control bytes, the backslash and the high half escaped.
    void everyByteHasOnePrintableForm()
    {
        QCOMPARE(LineLog::escaped("\r\nNMBR = 5551234\r\n"), QByteArray("\\r\\nNMBR = 5551234\\r\\n"));
        QCOMPARE(LineLog::escaped(QByteArray("\x00\t\\\x7f\x80\xff", 6)),
                 QByteArray("\\x00\\t\\\\\\x7F\\x80\\xFF"));
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QByteArray escaped = LineLog::escaped(all);
        for (const char c : escaped)
            QVERIFY2(c >= 0x20 && c < 0x7f, "an unprintable byte in the log");
    }

    void eachReadOrWriteIsOneStampedLine()
    {
        const QString file = m_dir->filePath(QStringLiteral("line.log"));
        {
            LineLog log(file);
            log.sent("at#cid=1\r");
            log.received("at#cid=1\r\r\nOK\r\n");
        }
        LineLog(file).received("RING");
        const QList<QByteArray> lines = linesOf(file);
        QCOMPARE(lines.size(), 3);
        const QRegularExpression stamp(
            QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} $"));
        for (const QByteArray &line : lines)
            QVERIFY2(stamp.match(QString::fromLatin1(line.left(24))).hasMatch(), line.constData());
        QCOMPARE(lines[0].mid(24), QByteArray("> at#cid=1\\r"));
        QCOMPARE(lines[1].mid(24), QByteArray("< at#cid=1\\r\\r\\nOK\\r\\n"));
        QCOMPARE(lines[2].mid(24), QByteArray("< RING"));
    }

    // Past the limit the file moves to .1 (an older .1 goes); the newest
    // lines are never lost and neither file grows beyond the limit.
    void keptBelowTheLimitByRotation()
    {
        const QString file = m_dir->filePath(QStringLiteral("line.log"));
        constexpr qint64 Limit = 1000;
        LineLog log(file, Limit);
        for (int i = 0; i < 100; ++i)
            log.received(QByteArray::number(i).rightJustified(20, '-'));
        QVERIFY(QFile(file).size() <= Limit);
        QVERIFY(QFile(file + QStringLiteral(".1")).size() <= Limit);
        QVERIFY(!QFile::exists(file + QStringLiteral(".2")));
        const QList<QByteArray> newer = linesOf(file);
        const QList<QByteArray> older = linesOf(file + QStringLiteral(".1"));
        QVERIFY(!older.isEmpty());
        QVERIFY(newer.last().endsWith("--99"));
        // The two files together hold an unbroken run of the latest lines.
        const auto numberOf = [](const QByteArray &line) { return line.mid(26).replace('-', "").toInt(); };
        const QList<QByteArray> both = older + newer;
        for (qsizetype i = 1; i < both.size(); ++i)
            QCOMPARE(numberOf(both[i]), numberOf(both[i - 1]) + 1);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestLineLog)
#include "tst_linelog.moc"
