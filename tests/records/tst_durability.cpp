#include "customerrows.h"
#include "testsupport.h"

#include <QProcess>
#include <QSet>
#include <QTest>

using namespace corvane;

class DurabilityTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyReturnedSaveSurvivesAKilledWriter()
    {
        test::ProgramFolder folder;
        const QString path = folder.file(QStringLiteral("tel.mdb"));
        QProcess writer;
        writer.start(QStringLiteral(RECORDS_WRITER), {path});
        QVERIFY2(writer.waitForStarted(), qPrintable(writer.errorString()));
        QByteArray output;
        while (output.count('\n') < 150 && writer.state() == QProcess::Running) {
            writer.waitForReadyRead(5000);
            output += writer.readAllStandardOutput();
        }
        writer.kill(); // SIGKILL: no chance to finish anything
        QVERIFY(writer.waitForFinished(10000));
        output += writer.readAllStandardOutput();
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);

        QSet<QString> returned;
        for (const QByteArray &line : output.split('\n')) {
            if (!line.isEmpty())
                returned.insert(QString::fromUtf8(line));
        }
        QVERIFY(returned.size() >= 150);

        Connection connection;
        connection.setDatabasePath(path);
        QCOMPARE(test::column(connection, QStringLiteral("PRAGMA integrity_check")), QStringList{"ok"});
        const QStringList stored = test::customerCodes(connection);
        const QSet<QString> storedSet(stored.begin(), stored.end());
        QVERIFY(storedSet.contains(returned));
        qInfo("%lld saves returned before the kill, %lld rows stored", qint64(returned.size()),
              qint64(stored.size()));
    }
};

QTEST_MAIN(DurabilityTest)
#include "tst_durability.moc"
