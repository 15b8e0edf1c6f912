#include "coresupport.h"
#include "store/backup.h"
#include "store/calllogstore.h"
#include "store/connection.h"
#include "store/transaction.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QThread>

#include <atomic>
#include <thread>

using namespace corvane;

class BackupTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ProgramFolder> m_folder;

    QString database() const { return m_folder->file(QStringLiteral("tel.mdb")); }
    static void verifyComplete(const QString &copy)
    {
        QCOMPARE(test::sqlColumn(copy, QStringLiteral("pragma integrity_check")), QStringList{"ok"});
    }

private Q_SLOTS:
    void init() { m_folder = std::make_unique<test::ProgramFolder>(); }
    void cleanup() { m_folder.reset(); }

    // Each call is logged as two rows in one transaction, like a row and its
    // journal token: a copy with an odd count caught a call half written.
    void aCopyTakenWhileCallsAreLoggedHoldsWholeCalls()
    {
        std::atomic<bool> stop = false;
        std::atomic<int> calls = 0;
        std::thread logger([&] {
            Connection connection;
            connection.setDatabasePath(database());
            CallLogStore log(connection);
            while (!stop) {
                Transaction call(connection);
                const QString tel = QString::number(13800000000LL + calls);
                log.logCall({QStringLiteral("2026-12-08"), QStringLiteral("20:00"), tel, QStringLiteral("C1"),
                             QStringLiteral("张三")});
                log.logCall({QStringLiteral("2026-12-08"), QStringLiteral("20:00"), tel, QStringLiteral("C1"),
                             QStringLiteral("张三")});
                call.commit();
                ++calls;
            }
        });
        Connection program;
        program.setDatabasePath(database());
        const QString copy = m_folder->file(QStringLiteral("备份/tel-备份.mdb"));
        QVERIFY(QDir().mkpath(m_folder->file(QStringLiteral("备份"))));
        QStringList counts;
        for (int i = 0; i < 20; ++i) {
            while (calls < i * 5)
                QThread::yieldCurrentThread();
            backupDatabase(program, copy);
            verifyComplete(copy);
            counts.append(test::sqlColumn(copy, QStringLiteral("select count(*) % 2 from detail")));
        }
        stop = true;
        logger.join();
        QCOMPARE(counts, QStringList(20, QStringLiteral("0")));
        QVERIFY(!QFile::exists(copy + QStringLiteral(".part")));
        QVERIFY(calls >= 95);
    }

    void aFailedBackupLeavesTheOldCopyAlone()
    {
        Connection program;
        program.setDatabasePath(database());
        const QString copy = m_folder->file(QStringLiteral("copy.mdb"));
        backupDatabase(program, copy);
        const QString nowhere = m_folder->file(QStringLiteral("missing/folder/copy.mdb"));
        QVERIFY(!test::failureOf([&] { backupDatabase(program, nowhere); }).isEmpty());
        QVERIFY(!QFile::exists(nowhere));

        Connection gone;
        gone.setDatabasePath(m_folder->file(QStringLiteral("gone.mdb")));
        QVERIFY(!test::failureOf([&] { backupDatabase(gone, copy); }).isEmpty());
        verifyComplete(copy);
        QCOMPARE(test::sqlColumn(copy, QStringLiteral("select count(*) from ring")), QStringList{"3"});
    }
};

QTEST_GUILESS_MAIN(BackupTest)
#include "tst_backup.moc"
