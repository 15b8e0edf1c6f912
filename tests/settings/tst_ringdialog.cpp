#include "desktop/messagebox.h"
#include "layoutfaults.h"
#include "platform/ringplayer.h"
#include "ringrecorder.h"
#include "settings/ringdialog.h"
#include "store/stores.h"
#include "testsupport.h"

#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

using namespace corvane;

// A program folder with a fresh tel.mdb, the program's stores on it, and
// every played file name recorded instead of sounded.
struct RingFixture
{
    test::ProgramFolder folder;
    Stores stores;
    test::RingRecorder rings;
    RingPlayer player;

    RingFixture() { stores.connection.setDatabasePath(folder.file(QStringLiteral("tel.mdb"))); }

    // Runs statements on a connection of the test's own, as another program would.
    void run(const QStringList &statements) const
    {
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(folder.file(QStringLiteral("tel.mdb")));
            QVERIFY(db.open());
            for (const QString &statement : statements) {
                QSqlQuery query(db);
                QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
            }
        }
        QSqlDatabase::removeDatabase(name);
    }

    // The flags of table ring as "code:bz" in code order.
    QStringList flags() const
    {
        QStringList rows;
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(folder.file(QStringLiteral("tel.mdb")));
            if (db.open()) {
                QSqlQuery query(QStringLiteral("select code, bz from ring order by code"), db);
                while (query.next())
                    rows.append(query.value(0).toString() + QLatin1Char(':') + query.value(1).toString());
            }
        }
        QSqlDatabase::removeDatabase(name);
        return rows;
    }
};

class TestRingDialog : public QObject
{
    Q_OBJECT

    static QRadioButton *ringButton(const RingDialog &d, int ring)
    {
        const QByteArray name = "ring" + QByteArray::number(ring) + "Button";
        return test::child<QRadioButton>(d, name.constData());
    }
    static void click(const RingDialog &d, const char *button)
    {
        test::child<QPushButton>(d, button)->click();
    }

    static QString checked(const RingDialog &d)
    {
        return QString::fromLatin1("%1%2%3")
            .arg(int(ringButton(d, 1)->isChecked()))
            .arg(int(ringButton(d, 2)->isChecked()))
            .arg(int(ringButton(d, 3)->isChecked()));
    }

private Q_SLOTS:
    void eachShowingChecksTheStoredRing_data()
    {
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ring 1 as shipped") << QStringList() << QStringLiteral("100");
        QTest::newRow("ring 3") << QStringList{QStringLiteral("update ring set bz='0'"),
                                               QStringLiteral("update ring set bz='1' where code='3'")}
                                << QStringLiteral("001");
        QTest::newRow("no current ring")
            << QStringList{QStringLiteral("update ring set bz='0'")} << QStringLiteral("000");
        QTest::newRow("unknown code")
            << QStringList{QStringLiteral("update ring set bz='0'"),
                           QStringLiteral("insert into ring (code, bz) values ('7', '1')")}
            << QStringLiteral("000");
        QTest::newRow("two current, first decides")
            << QStringList{QStringLiteral("update ring set bz='1' where code='2'")} << QStringLiteral("100");
    }

    void eachShowingChecksTheStoredRing()
    {
        QFETCH(QStringList, setup);
        QFETCH(QString, expected);
        RingFixture fixture;
        fixture.run(setup);
        test::MessageCapture capture;
        RingDialog dialog(fixture.stores.rings, fixture.player);
        QCOMPARE(checked(dialog), QStringLiteral("010"));
        dialog.showFromMenu();
        QCOMPARE(checked(dialog), expected);

        // A choice left with "退出" is forgotten at the next showing.
        ringButton(dialog, 2)->click();
        click(dialog, "exitButton");
        QVERIFY(!dialog.isVisible());
        dialog.showFromMenu();
        QCOMPARE(checked(dialog), expected);
        QCOMPARE(capture.takeTexts(), QStringList());
    }

    void savingStoresTheChoiceAndConfirmsIt_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QStringList>("flags");
        QTest::addColumn<QString>("message");
        QTest::newRow("ring 2") << 2
                                << QStringList{QStringLiteral("1:0"), QStringLiteral("2:1"),
                                               QStringLiteral("3:0")}
                                << QStringLiteral("您选择的是铃声2,已成功保存");
        QTest::newRow("none checked")
            << 0 << QStringList{QStringLiteral("1:0"), QStringLiteral("2:0"), QStringLiteral("3:0")}
            << QStringLiteral("您选择的是铃声,已成功保存");
    }

    void savingStoresTheChoiceAndConfirmsIt()
    {
        QFETCH(int, button);
        QFETCH(QStringList, flags);
        QFETCH(QString, message);
        RingFixture fixture;
        if (button == 0)
            fixture.run({QStringLiteral("update ring set bz='0'")});
        test::MessageCapture capture;
        RingDialog dialog(fixture.stores.rings, fixture.player);
        dialog.showFromMenu();
        if (button == 2)
            ringButton(dialog, 2)->click();
        click(dialog, "saveButton");
        QCOMPARE(fixture.flags(), flags);
        const QList<msg::Box> shown = capture.take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, message);
        QCOMPARE(shown[0].icon, msg::Icon::None);
        // The window stays open for another choice.
        QVERIFY(dialog.isVisible());
    }

    void previewPlaysTheCheckedRingFromTheProgramFolder()
    {
        RingFixture fixture;
        RingDialog dialog(fixture.stores.rings, fixture.player);
        dialog.showFromMenu();
        ringButton(dialog, 3)->click();
        click(dialog, "previewButton");
        // A second preview asked for before the first has started replaces it.
        QTRY_COMPARE(fixture.rings.count(), 1);
        fixture.run({QStringLiteral("update ring set bz='0'")});
        dialog.hide();
        dialog.showFromMenu();
        click(dialog, "previewButton");
        QTRY_COMPARE(fixture.rings.files(), (QStringList{fixture.folder.file(QStringLiteral("ringin3.wav")),
                                                         fixture.folder.file(QStringLiteral("ringin.wav"))}));
    }

    void refusedSecondStatementKeepsThePreviousRing()
    {
        RingFixture fixture;
        fixture.run({QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON ring WHEN NEW.bz='1' "
                                    "BEGIN SELECT RAISE(ABORT, 'refused'); END")});
        test::MessageCapture capture;
        RingDialog dialog(fixture.stores.rings, fixture.player);
        dialog.showFromMenu();
        ringButton(dialog, 3)->click();
        click(dialog, "saveButton");
        const QList<msg::Box> shown = capture.take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].icon, msg::Icon::Error);
        QCOMPARE(shown[0].text, QStringLiteral("refused."));
        QCOMPARE(fixture.flags(),
                 (QStringList{QStringLiteral("1:1"), QStringLiteral("2:0"), QStringLiteral("3:0")}));

        // The connection is usable again: nothing of the failed save hangs on.
        fixture.run({QStringLiteral("DROP TRIGGER refuse")});
        click(dialog, "saveButton");
        QCOMPARE(capture.takeTexts(), QStringList{QStringLiteral("您选择的是铃声3,已成功保存")});
        QCOMPARE(fixture.flags(),
                 (QStringList{QStringLiteral("1:0"), QStringLiteral("2:0"), QStringLiteral("3:1")}));
    }

    void missingRingTableIsReportedAndTheWindowShowsAllTheSame()
    {
        RingFixture fixture;
        fixture.run({QStringLiteral("DROP TABLE ring")});
        test::MessageCapture capture;
        RingDialog dialog(fixture.stores.rings, fixture.player);
        dialog.showFromMenu();
        QVERIFY(dialog.isVisible());
        QCOMPARE(checked(dialog), QStringLiteral("000"));
        click(dialog, "saveButton");
        const QList<msg::Box> shown = capture.take();
        QCOMPARE(shown.size(), 2);
        for (const msg::Box &box : shown) {
            QCOMPARE(box.icon, msg::Icon::Error);
            QVERIFY2(box.text.contains(QStringLiteral("no such table: ring")), qPrintable(box.text));
        }
    }

    void controlsShowWhole()
    {
        RingFixture fixture;
        RingDialog dialog(fixture.stores.rings, fixture.player);
        dialog.showFromMenu();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(test::layoutFaults(dialog), QString());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("来电铃声设置"));
        test::saveScreenshot(&dialog, QStringLiteral("ring-dialog.png"));
    }
};

QTEST_MAIN(TestRingDialog)
#include "tst_ringdialog.moc"
