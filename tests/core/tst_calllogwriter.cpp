#include "core/calllogwriter.h"
#include "coresupport.h"
#include "databaselock.h"
#include "loggedcall.h"
#include "store/transaction.h"

#include <QFile>
#include <QTest>

using namespace corvane;

namespace {

const QString keptMessage =
    QStringLiteral("数据库暂时无法写入，来电记录已保存在备用文件中，数据库恢复后将自动写入。");

CallLogRow call(const QString &tel)
{
    return {QStringLiteral("2026-03-21"), QStringLiteral("14:05"), tel, QStringLiteral("C001"),
            QStringLiteral("张三五金店")};
}

} // namespace

class CallLogWriterTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ProgramFolder> m_folder;
    // What every writer of the case told the user, in order.
    QStringList m_told;

    QString database() const { return m_folder->file(QStringLiteral("tel.mdb")); }
    QString journal() const { return m_folder->file(QStringLiteral("calls.journal")); }
    std::unique_ptr<CallLogWriter> writer(const QString &journalPath = {})
    {
        Connection place;
        place.setDatabasePath(database());
        auto log = std::make_unique<CallLogWriter>(place, journalPath.isEmpty() ? journal() : journalPath);
        connect(log.get(), &CallLogWriter::notice, this,
                [this](const QString &text) { m_told.append(text); });
        connect(log.get(), &CallLogWriter::failed, this,
                [this](const QString &text) { m_told.append(text); });
        return log;
    }
    QStringList takeTold() { return std::exchange(m_told, {}); }
    // The numbers in the call log, in the order they were written.
    QStringList logged()
    {
        return test::sqlColumn(database(), QStringLiteral("select tel from detail order by id"));
    }
    qsizetype journalLines() const { return CallLogJournal(journal()).read().size(); }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<test::ProgramFolder>();
        m_told.clear();
    }
    void cleanup() { m_folder.reset(); }

    void aFreeDatabaseTakesTheRowAtOnce()
    {
        auto log = writer();
        test::logCall(*log, call(QStringLiteral("5551234")));
        QCOMPARE(logged(), QStringList{QStringLiteral("5551234")});
        QVERIFY(!QFile::exists(journal()));
        QVERIFY(!log->retrying());
        QVERIFY(takeTold().isEmpty());
    }

    // While another program holds the database, rows are kept and the user is
    // told once; the next call after the lock writes them first, in order.
    void refusedRowsAreKeptToldOnceAndWrittenInOrder()
    {
        auto log = writer();
        test::logCall(*log, call(QStringLiteral("0")));
        {
            test::DatabaseLock lock(database());
            QVERIFY(lock.isHeld());
            test::logCall(*log, call(QStringLiteral("1")));
            test::logCall(*log, call(QStringLiteral("2")));
            QCOMPARE(log->keptCount(), 2);
            QCOMPARE(journalLines(), 2);
            QCOMPARE(takeTold(), QStringList{keptMessage});
            QVERIFY(log->retrying());
        }
        test::logCall(*log, call(QStringLiteral("3")));
        QCOMPARE(logged(), (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                                        QStringLiteral("3")}));
        QVERIFY(!QFile::exists(journal()));
        QVERIFY(!log->retrying());
        QVERIFY(takeTold().isEmpty());

        // A new refusal is told again.
        test::DatabaseLock lock(database());
        QVERIFY(lock.isHeld());
        test::logCall(*log, call(QStringLiteral("4")));
        QCOMPARE(takeTold(), QStringList{keptMessage});
    }

    void keptRowsAreWrittenByTheRetryWithoutAnotherCall()
    {
        auto log = writer();
        {
            test::DatabaseLock lock(database());
            QVERIFY(lock.isHeld());
            test::logCall(*log, call(QStringLiteral("1")));
        }
        QTRY_COMPARE_WITH_TIMEOUT(logged(), QStringList{QStringLiteral("1")},
                                  CallLogWriter::RetryIntervalMs * 3);
        QVERIFY(!QFile::exists(journal()));
        QVERIFY(!log->retrying());
        QCOMPARE(takeTold(), QStringList{keptMessage});
    }

    // Quitting while locked leaves the rows in the journal; the next start
    // writes them, oldest first, and tells the user if it still cannot.
    void rowsLeftAtQuitAreWrittenAtTheNextStart()
    {
        test::DatabaseLock lock(database());
        QVERIFY(lock.isHeld());
        {
            auto log = writer();
            test::logCall(*log, call(QStringLiteral("1")));
            test::logCall(*log, call(QStringLiteral("2")));
        }
        QCOMPARE(journalLines(), 2);
        takeTold();

        auto stillLocked = writer();
        stillLocked->resume();
        QTRY_VERIFY(stillLocked->retrying());
        QCOMPARE(takeTold(), QStringList{keptMessage});
        stillLocked.reset();
        QCOMPARE(journalLines(), 2);

        lock.release();
        auto log = writer();
        log->resume();
        QTRY_COMPARE(logged(), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
        QVERIFY(!QFile::exists(journal()));
        QVERIFY(takeTold().isEmpty());
    }

    void keptRowsAreWrittenOnTheWayOutWhenTheDatabaseIsFreeAgain()
    {
        {
            auto log = writer();
            test::DatabaseLock lock(database());
            QVERIFY(lock.isHeld());
            test::logCall(*log, call(QStringLiteral("1")));
            lock.release();
        }
        QCOMPARE(logged(), QStringList{QStringLiteral("1")});
        QVERIFY(!QFile::exists(journal()));
    }

    // A crash after the rows were committed with their tokens but before the
    // journal was emptied: the next start finds the rows already written and
    // adds none.
    void aJournalThatOutlivedItsRowsWritesNothingTwice()
    {
        const QList<KeptCall> committed{{QUuid::createUuid(), call(QStringLiteral("1"))},
                                        {QUuid::createUuid(), call(QStringLiteral("2"))}};
        {
            Connection connection;
            connection.setDatabasePath(database());
            CallLogStore calls(connection);
            Transaction transaction(connection);
            for (const KeptCall &kept : committed) {
                CallLogJournal(journal()).append(kept);
                calls.logKeptCall(kept.token.toString(QUuid::WithoutBraces), kept.row);
            }
            transaction.commit();
        }

        auto log = writer();
        log->resume();
        QTRY_VERIFY(!QFile::exists(journal()));
        test::logCall(*log, call(QStringLiteral("3")));
        QCOMPARE(logged(), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
        // Once no journal holds a row, its token is forgotten.
        QCOMPARE(test::sqlColumn(database(), QStringLiteral("select count(*) from kept_call_written")),
                 QStringList{QStringLiteral("0")});
    }

    // With nowhere to keep them, rows wait in memory and the user is warned
    // not to quit; they still reach the database once it is free.
    void rowsThatCannotBeJournaledWaitInMemory()
    {
        auto log = writer(QStringLiteral("/nonexistent-corvane-folder/calls.journal"));
        {
            test::DatabaseLock lock(database());
            QVERIFY(lock.isHeld());
            test::logCall(*log, call(QStringLiteral("1")));
            test::logCall(*log, call(QStringLiteral("2")));
            const QStringList texts = takeTold();
            QCOMPARE(texts.size(), 1);
            QVERIFY(texts[0].contains(QStringLiteral("请不要退出程序")));
            QVERIFY(texts[0].contains(QStringLiteral("/nonexistent-corvane-folder/calls.journal")));
        }
        QVERIFY(log->writeKept());
        QCOMPARE(logged(), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    }

    void aMissingDatabaseKeepsTheRowToo()
    {
        QVERIFY(QFile::rename(database(), database() + QStringLiteral(".away")));
        auto log = writer();
        test::logCall(*log, call(QStringLiteral("1")));
        QCOMPARE(journalLines(), 1);
        QCOMPARE(takeTold(), QStringList{keptMessage});
        QVERIFY(QFile::rename(database() + QStringLiteral(".away"), database()));
        QVERIFY(log->writeKept());
        QCOMPARE(logged(), QStringList{QStringLiteral("1")});
    }
};

QTEST_GUILESS_MAIN(CallLogWriterTest)
#include "tst_calllogwriter.moc"
