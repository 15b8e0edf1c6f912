// The call log when another program holds tel.mdb: the real Corvane in a
// program folder of its own, the fake modem, and this test as the other
// program holding the database's write lock.

#include "databaselock.h"
#include "modemsim.h"
#include "runningprogram.h"
#include "writtennumbers.h"

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QTest>

using namespace corvane;

using Program = test::RunningProgram;

namespace {

const QString keptMessage =
    QStringLiteral("数据库暂时无法写入，来电记录已保存在备用文件中，数据库恢复后将自动写入。");

} // namespace

class TestCallLogEndToEnd : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ModemSim> m_modem;
    std::unique_ptr<Program> m_program;

    QString file(const QString &name) const { return m_program->folder() + name; }
    QStringList logged() const
    {
        return m_program->query(
            QStringLiteral("select adate, atime, tel, customercode, customername from detail"));
    }
    QString expectedRow() const
    {
        return QStringLiteral("%1-03-21|14:05|5551234|C1|Shop").arg(QDate::currentDate().year());
    }
    qsizetype journalLines() const
    {
        QFile journal(file(QStringLiteral("calls.journal")));
        return journal.open(QIODevice::ReadOnly) ? journal.readAll().count('\n') : 0;
    }

private Q_SLOTS:
    void init()
    {
        m_modem = std::make_unique<test::ModemSim>();
        m_program =
            std::make_unique<Program>(QStringLiteral("制式1"), m_modem->devicePath(), test::AreaCode020);
        // As a database the program has used before: in WAL mode, so a lock
        // held for writing leaves the customer table readable.
        m_program->query(QStringLiteral("pragma journal_mode=wal"));
        m_program->query(QStringLiteral("insert into customer(customercode, customername, tel) "
                                        "values('C1', 'Shop', '5551234')"));
        QTRY_COMPARE_WITH_TIMEOUT(m_modem->recorded(), QByteArray("at#cid=1\r"), 20000);
        QTest::qWait(300);
    }
    void cleanup()
    {
        m_program.reset();
        m_modem.reset();
    }

    // The call is shown and the user told while the lock is still held (the
    // program did not wait for it); the row arrives after it, exactly once.
    void aRowRefusedDuringALockArrivesOnceAfterIt()
    {
        test::DatabaseLock lock(file(QStringLiteral("tel.mdb")));
        QVERIFY(lock.isHeld());
        QVERIFY(m_modem->command(QStringLiteral("call 5551234 0321 1405")));
        QTRY_COMPARE_WITH_TIMEOUT(m_program->messageTexts(), QStringList{keptMessage}, 10000);
        QCOMPARE(journalLines(), 1);
        QCOMPARE(logged(), QStringList());
        lock.release();

        QTRY_COMPARE_WITH_TIMEOUT(logged(), QStringList{expectedRow()}, 10000);
        QTRY_VERIFY(!QFile::exists(file(QStringLiteral("calls.journal"))));
        QTest::qWait(4000); // longer than a retry
        QCOMPARE(logged(), QStringList{expectedRow()});
        QCOMPARE(m_program->messageTexts(), QStringList{keptMessage});
        QVERIFY(m_program->isRunning());
    }

    // A signal to end, sent as soon as the lock is gone and before the next
    // retry: the program writes the kept row on its way out.
    void aKeptRowIsWrittenOnTheWayOutAfterASignal()
    {
        test::DatabaseLock lock(file(QStringLiteral("tel.mdb")));
        QVERIFY(lock.isHeld());
        QVERIFY(m_modem->command(QStringLiteral("call 5551234 0321 1405")));
        QTRY_COMPARE_WITH_TIMEOUT(m_program->messageTexts(), QStringList{keptMessage}, 10000);
        lock.release();
        QProcess &process = m_program->process();
        process.terminate();
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(logged(), QStringList{expectedRow()});
        QVERIFY(!QFile::exists(file(QStringLiteral("calls.journal"))));
    }

    // Killed while the row is only in the journal, started again while the
    // database is still locked: the row arrives once the lock ends, once.
    void aKeptRowSurvivesAKillAndARestart()
    {
        test::DatabaseLock lock(file(QStringLiteral("tel.mdb")));
        QVERIFY(lock.isHeld());
        QVERIFY(m_modem->command(QStringLiteral("call 5551234 0321 1405")));
        QTRY_COMPARE_WITH_TIMEOUT(m_program->messageTexts(), QStringList{keptMessage}, 10000);
        QProcess &process = m_program->process();
        process.kill();
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(journalLines(), 1);

        process.start();
        QVERIFY(process.waitForStarted());
        // The new run cannot write it either, and says so once.
        QTRY_COMPARE_WITH_TIMEOUT(m_program->messageTexts(), (QStringList{keptMessage, keptMessage}), 20000);
        QCOMPARE(logged(), QStringList());
        lock.release();

        QTRY_COMPARE_WITH_TIMEOUT(logged(), QStringList{expectedRow()}, 10000);
        QTRY_VERIFY(!QFile::exists(file(QStringLiteral("calls.journal"))));
        QTest::qWait(4000);
        QCOMPARE(logged(), QStringList{expectedRow()});
        QVERIFY(m_program->isRunning());
    }

    // Customers another program (sqlite3) wrote while Corvane was not
    // running are keyed at its next start, and found however their numbers
    // were written.
    void numbersWrittenByAnotherProgramAreFoundHoweverWritten()
    {
        QVERIFY(m_modem->command(QStringLiteral("call 5551234 0321 1405")));
        QTRY_COMPARE_WITH_TIMEOUT(logged(), QStringList{expectedRow()}, 10000);
        QProcess &process = m_program->process();
        process.terminate();
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(QProcess::execute(QStringLiteral("sqlite3"),
                                   {file(QStringLiteral("tel.mdb")), test::WrittenNumbersInsert}),
                 0);
        process.start();
        QVERIFY(process.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(m_modem->recorded().count("at#cid=1\r"), 2, 20000);

        test::callEveryWrittenNumber(*m_modem, *m_program, [this] {
            return m_program->query(QStringLiteral(
                "select tel || ' ' || customercode from detail where tel <> '5551234' order by id"));
        });
        QCOMPARE(m_program->query(QStringLiteral("select count(*) from customer_unkeyed")),
                 QStringList{QStringLiteral("0")});
    }
};

QTEST_MAIN(TestCallLogEndToEnd)
#include "tst_calllog_e2e.moc"
