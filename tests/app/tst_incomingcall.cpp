// The call display end to end: caller-ID reports streamed at line rate by the
// fake modem on a pseudo-terminal, the program's windows as start-up makes
// them, a real tel.mdb, and the ring player recorded.

#include "app/application.h"
#include "app/mainwindow.h"
#include "core/calldesk.h"
#include "desktop/guard.h"
#include "modemsim.h"
#include "platform/programfolder.h"
#include "platform/serialcontrol.h"
#include "platform/timer.h"
#include "records/customerentryform.h"
#include "records/dbedit.h"
#include "ringrecorder.h"
#include "settings/linesettingsdialog.h"
#include "testsupport.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

using namespace corvane;

namespace {

// A second connection of the test's own, as another program would have.
class Sql
{
public:
    explicit Sql(const QString &file) : m_name(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(file);
        db.open();
    }
    ~Sql() { QSqlDatabase::removeDatabase(m_name); }
    QSqlQuery run(const QString &statement)
    {
        QSqlQuery q(QSqlDatabase::database(m_name));
        if (!q.exec(statement))
            qWarning() << q.lastError().text();
        return q;
    }
    int count(const QString &table)
    {
        return scalar(QStringLiteral("select count(*) from ") + table).toInt();
    }
    QVariant scalar(const QString &statement)
    {
        QSqlQuery q = run(statement);
        return q.next() ? q.value(0) : QVariant();
    }
    void addCustomer(const QStringList &v)
    {
        QSqlQuery q(QSqlDatabase::database(m_name));
        q.prepare(
            QStringLiteral("insert into customer(customercode,customername,address,code,person,tel,email,qq) "
                           "values(?,?,?,?,?,?,?,?)"));
        for (const QString &value : v)
            q.addBindValue(value);
        QVERIFY(q.exec());
    }

private:
    QString m_name;
};

} // namespace

class TestIncomingCall : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<test::MessageCapture> m_capture;
    std::unique_ptr<test::ModemSim> m_modem;
    std::unique_ptr<Sql> m_sql;
    std::unique_ptr<test::RingRecorder> m_rings;

    std::unique_ptr<Application> m_app;

    MainWindow &w() { return m_app->mainWindow(); }
    QLineEdit *edit(const char *name) { return test::child<QLineEdit>(w(), name); }
    Timer *timer(const char *name) { return test::child<Timer>(m_app->callDesk(), name); }
    // The modem sends the report; the whole sequence has run once the receive
    // handler has noted the count of what arrived.
    void send(const QString &text)
    {
        QSignalSpy arrived(&m_app->callDesk(), &CallDesk::lineDataArrived);
        QVERIFY(m_modem->send(text));
        QTRY_VERIFY(!arrived.isEmpty());
    }
    // Returns once the whole report is read and shown: its bytes come at line
    // rate, so the first of them arriving is not enough on a loaded machine.
    void call(const QString &number, const QString &time = QStringLiteral("1405"))
    {
        QSignalSpy shown(&m_app->callDesk(), &CallDesk::callShown);
        send(test::callerIdReport(number, test::todayAsReported(), time));
        QTRY_VERIFY(!shown.isEmpty());
    }
    QStringList customerEdits()
    {
        QStringList texts;
        for (const char *name : {"customerCodeEdit", "postcodeEdit", "contactEdit", "telEdit",
                                 "customerNameEdit", "qqEdit", "emailEdit", "addressEdit"})
            texts.append(edit(name)->text());
        return texts;
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<test::ProgramFolder>();
        m_capture = std::make_unique<test::MessageCapture>();
        m_modem = std::make_unique<test::ModemSim>();
        m_folder->writeFile(QStringLiteral("zel.ini"), "[zel]\r\nfather=com1\r\n[ports]\r\ncom1=" +
                                                           m_modem->devicePath().toUtf8() + "\r\n");
        m_app = std::make_unique<Application>();
        // Shown as at start-up: the show handler opens the port.
        w().show();
        QTRY_VERIFY(m_app->callDesk().serialPort().isOpen());
        QVERIFY(m_capture->take().isEmpty());
        m_sql = std::make_unique<Sql>(m_folder->file(QStringLiteral("tel.mdb")));
        m_sql->addCustomer({QStringLiteral("C001"), QStringLiteral("张三五金店"), QStringLiteral("人民路1号"),
                            QStringLiteral("510000"), QStringLiteral("张三"), QStringLiteral("5551234"),
                            QStringLiteral("z@example.com"), QStringLiteral("10001")});
        m_rings = std::make_unique<test::RingRecorder>();
    }
    void cleanup()
    {
        m_app.reset();
        m_rings.reset();
        m_modem.reset();
        m_sql.reset();
        m_capture.reset();
        m_folder.reset();
    }

    void knownNumberShowsTheCustomerAndLogsOneCall()
    {
        call(QStringLiteral("5551234"));
        QCOMPARE(edit("numberEdit")->text(), QStringLiteral("5551234"));
        QCOMPARE(edit("callDateEdit")->text(), test::todayText());
        QCOMPARE(edit("callTimeEdit")->text(), QStringLiteral("14:05"));
        QCOMPARE(
            customerEdits(),
            (QStringList{QStringLiteral("C001"), QStringLiteral("510000"), QStringLiteral("张三"),
                         QStringLiteral("5551234"), QStringLiteral("张三五金店"), QStringLiteral("10001"),
                         QStringLiteral("z@example.com"), QStringLiteral("人民路1号")}));
        QCOMPARE(m_sql->count(QStringLiteral("detail")), 1);
        QSqlQuery row =
            m_sql->run(QStringLiteral("select adate,atime,tel,customercode,customername from detail"));
        QVERIFY(row.next());
        QCOMPARE(row.value(0).toString(), test::todayText());
        QCOMPARE(row.value(1).toString(), QStringLiteral("14:05"));
        QCOMPARE(row.value(2).toString(), QStringLiteral("5551234"));
        QCOMPARE(row.value(3).toString(), QStringLiteral("C001"));
        QCOMPARE(row.value(4).toString(), QStringLiteral("张三五金店"));
        QVERIFY(m_capture->take().isEmpty());
        QTRY_COMPARE(m_rings->files(), QStringList{m_folder->file(QStringLiteral("ringin1.wav"))});
        QVERIFY(timer("repeatRingTimer")->enabled());
        QVERIFY(timer("ringPeriodTimer")->enabled());
    }

    // The customer of the call before is not left beside the new number.
    void newNumberAsksToSaveAndEmptiesTheCustomer()
    {
        call(QStringLiteral("5551234"));
        call(QStringLiteral("88888888"));
        QCOMPARE(m_capture->takeTexts(),
                 QStringList{QStringLiteral("此号码为新号码，如果要保存的话请点击<保存新号码>按钮")});
        QCOMPARE(edit("numberEdit")->text(), QStringLiteral("88888888"));
        QCOMPARE(customerEdits(), QStringList(8, QString()));
        QCOMPARE(m_sql->count(QStringLiteral("detail")), 1);
        QVERIFY(timer("repeatRingTimer")->enabled());
    }

    // A NAME, MESG or a late DATE line after the number belongs to no number:
    // the known customer is found and logged with the plain number.
    void linesAfterTheNumberAreNotPartOfIt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("NAME") << test::callerIdReport(QStringLiteral("5551234\r\nNAME = ZHANG SAN"));
        QTest::newRow("NAME and MESG")
            << test::callerIdReport(QStringLiteral("5551234\r\nNAME = ZHANG\r\nMESG = 0102AB"));
        QTest::newRow("number first")
            << QStringLiteral("\r\nNMBR = 5551234\r\nDATE = 0321\r\nTIME = 1405\r\n\r\n");
    }
    void linesAfterTheNumberAreNotPartOfIt()
    {
        QFETCH(QString, text);
        send(text);
        QCOMPARE(edit("numberEdit")->text(), QStringLiteral("5551234"));
        QCOMPARE(edit("customerCodeEdit")->text(), QStringLiteral("C001"));
        QCOMPARE(
            m_sql->scalar(QStringLiteral("select group_concat(tel || '/' || atime) from detail")).toString(),
            QStringLiteral("5551234/14:05"));
        QVERIFY(m_capture->take().isEmpty());

        // Saving the shown number hands the entry form the plain number.
        test::child<QPushButton>(w(), "saveNewNumberButton")->click();
        QCOMPARE(edit("numberEdit")->text(), QString());
        QCOMPARE(test::child<DBEdit>(m_app->customerEntryForm(), "telEdit")->text(),
                 QStringLiteral("5551234"));
    }

    // No number, or one the caller withheld: the window comes back and rings
    // as for any call, nothing is looked up or asked, and "保存新号码" gives
    // the new customer no number.
    void aWithheldOrEmptyNumberIsNotLookedUp_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << QStringLiteral("\r\nNAME = WITHHELD") << QString();
        QTest::newRow("P") << QStringLiteral("P") << QStringLiteral("私人号码");
        QTest::newRow("O") << QStringLiteral("O") << QStringLiteral("号码不详");
        QTest::newRow("PRIVATE") << QStringLiteral("PRIVATE") << QStringLiteral("私人号码");
    }
    void aWithheldOrEmptyNumberIsNotLookedUp()
    {
        QFETCH(QString, number);
        w().hide();
        call(number);
        QVERIFY(w().isVisible());
        QTEST(edit("numberEdit")->text(), "shown");
        QTRY_COMPARE(m_rings->count(), 1);
        QVERIFY(m_capture->take().isEmpty());
        QCOMPARE(m_sql->count(QStringLiteral("detail")), 0);

        test::child<QPushButton>(w(), "saveNewNumberButton")->click();
        QCOMPARE(test::child<DBEdit>(m_app->customerEntryForm(), "telEdit")->text(), QString());
        QCOMPARE(m_sql->count(QStringLiteral("customer")), 1);
    }

    void everyCallIsLoggedButARepeatedReportOnce()
    {
        call(QStringLiteral("5551234"));
        // The line sends the same report again for the same call.
        call(QStringLiteral("5551234"));
        QCOMPARE(m_sql->count(QStringLiteral("detail")), 1);
        QTRY_COMPARE(m_rings->count(), 2);

        // The same customer calls again minutes later.
        call(QStringLiteral("5551234"), QStringLiteral("1409"));
        QCOMPARE(m_sql->scalar(QStringLiteral("select group_concat(atime) from detail")).toString(),
                 QStringLiteral("14:05,14:09"));

        // Once the number field is emptied, even a repeated report is looked up again.
        test::child<QPushButton>(w(), "saveNewNumberButton")->click();
        QCOMPARE(edit("numberEdit")->text(), QString());
        call(QStringLiteral("5551234"), QStringLiteral("1409"));
        QCOMPARE(m_sql->count(QStringLiteral("detail")), 3);
        QVERIFY(m_capture->take().isEmpty());
    }

    void aNewNumberCallingAgainIsAnnouncedAgain()
    {
        const QString message = QStringLiteral("此号码为新号码，如果要保存的话请点击<保存新号码>按钮");
        call(QStringLiteral("88888888"));
        call(QStringLiteral("88888888"));
        QCOMPARE(m_capture->takeTexts(), QStringList{message});
        call(QStringLiteral("88888888"), QStringLiteral("1412"));
        QCOMPARE(m_capture->takeTexts(), QStringList{message});
        QCOMPARE(m_sql->count(QStringLiteral("detail")), 0);
    }

    // A long ring (a 30-second file, or a sound device that takes its time)
    // sounds while the caller is already shown and logged; a tick that falls
    // due meanwhile rings once that ring has ended.
    void theCallerIsShownWhileTheRingSounds()
    {
        m_rings->setRingLength(30000);
        call(QStringLiteral("5551234"));
        QVERIFY(m_rings->sounding());
        QCOMPARE(m_rings->count(), 1);
        QCOMPARE(edit("numberEdit")->text(), QStringLiteral("5551234"));
        QCOMPARE(edit("addressEdit")->text(), QStringLiteral("人民路1号"));
        QCOMPARE(m_sql->count(QStringLiteral("detail")), 1);
        QVERIFY(w().isVisible());
        QVERIFY(timer("ringPeriodTimer")->enabled());

        // The repeat ring's tick at 3 s waits for the ring that sounds.
        QTest::qWait(3500);
        QCOMPARE(m_rings->count(), 1);
        m_rings->setRingLength(0);
        m_rings->endRing();
        QTRY_COMPARE(m_rings->count(), 2);
        const QList<test::RingRecorder::Ring> rings = m_rings->rings();
        QVERIFY(rings[1].startedMs >= rings[0].endedMs);
    }

    // A missing or damaged ring table rings the built-in sound; the call goes
    // on. A lookup that fails still leaves the number shown.
    void aDatabaseFaultNeverStopsTheScreenPop_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("lookupFails");
        QTest::newRow("ring table dropped") << QStringLiteral("drop table ring") << false;
        QTest::newRow("ring table without code")
            << QStringLiteral("drop table ring; create table ring(bz text); insert into ring values('1')")
            << false;
        QTest::newRow("customer table dropped too")
            << QStringLiteral("drop table ring; drop table customer") << true;
    }
    void aDatabaseFaultNeverStopsTheScreenPop()
    {
        QFETCH(QString, damage);
        QFETCH(bool, lookupFails);
        for (const QString &statement : damage.split(QStringLiteral("; ")))
            m_sql->run(statement);
        call(QStringLiteral("5551234"));
        QCOMPARE(edit("numberEdit")->text(), QStringLiteral("5551234"));
        QTRY_COMPARE(m_rings->files(), QStringList{QString()});
        const QList<msg::Box> shown = m_capture->take();
        if (lookupFails) {
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown[0].icon, msg::Icon::Error);
            return;
        }
        QVERIFY(shown.isEmpty());
        QCOMPARE(edit("customerCodeEdit")->text(), QStringLiteral("C001"));
        QCOMPARE(m_sql->count(QStringLiteral("detail")), 1);
        QVERIFY(timer("ringPeriodTimer")->enabled());
    }

    void longValuesShowFromTheirFirstCharacter()
    {
        // Sixty characters: far wider than the name and address fields.
        const QString name =
            QStringLiteral("深圳市南山区科技园高新技术产业有限公司第一分公司").repeated(3).left(60);
        const QString address =
            QStringLiteral("广东省深圳市南山区科技园南区高新南一道二十八号").repeated(3).left(60);
        m_sql->addCustomer(
            {QStringLiteral("C060"),
             name,
             address,
             {},
             {},
             QStringLiteral("5556060"),
             QStringLiteral("a.very.long.mailbox.name.for.the.accounts.department@example.com"),
             {}});
        call(QStringLiteral("5556060"));
        QCOMPARE(edit("customerNameEdit")->text(), name);
        for (QLineEdit *e : {edit("customerNameEdit"), edit("emailEdit"), edit("addressEdit")}) {
            QCOMPARE(e->cursorPosition(), 0);
            QVERIFY2(test::showsTextFromStart(e), qPrintable(e->objectName()));
        }
        test::saveScreenshot(&w(), QStringLiteral("main-window-long-customer.png"));
    }

    void twoCustomersWithOneNumberShowAndLogTheFirst()
    {
        m_sql->addCustomer(
            {QStringLiteral("C002"), QStringLiteral("李四"), {}, {}, {}, QStringLiteral("5551234"), {}, {}});
        call(QStringLiteral("5551234"));
        QCOMPARE(edit("customerCodeEdit")->text(), QStringLiteral("C001"));
        QCOMPARE(m_sql->scalar(QStringLiteral("select customercode from detail")).toString(),
                 QStringLiteral("C001"));
    }

    void oddNumbersAreLookedUpSafely()
    {
        const QString odd = QStringLiteral("55'12\\ -- %");
        m_sql->addCustomer({QStringLiteral("Q'1"), QStringLiteral("O'Hara"), {}, {}, {}, odd, {}, {}});
        call(odd);
        QCOMPARE(edit("customerCodeEdit")->text(), QStringLiteral("Q'1"));
        QCOMPARE(m_sql->scalar(QStringLiteral("select customername from detail")).toString(),
                 QStringLiteral("O'Hara"));
        QCOMPARE(m_sql->count(QStringLiteral("customer")), 2);
    }

    void emptyRingTableStillRings()
    {
        m_sql->run(QStringLiteral("delete from ring"));
        call(QStringLiteral("5551234"));
        QTRY_COMPARE(m_rings->files(), QStringList{m_folder->file(QStringLiteral("ringin.wav"))});
    }

    // Another program holds the file for writing: the call is shown and the
    // user told while the lock still holds, so the window did not wait for
    // it; the row is kept and written after it, before the next call's.
    void aCallWhileTheDatabaseIsLockedIsShownAndLoggedAfterTheLock()
    {
        m_sql->addCustomer(
            {QStringLiteral("C003"), QStringLiteral("王五"), {}, {}, {}, QStringLiteral("6660000"), {}, {}});
        call(QStringLiteral("5551234"));
        const QString journal = m_folder->file(QStringLiteral("calls.journal"));
        {
            Sql locker(m_folder->file(QStringLiteral("tel.mdb")));
            locker.run(QStringLiteral("begin exclusive"));
            call(QStringLiteral("6660000"));
            QCOMPARE(edit("customerCodeEdit")->text(), QStringLiteral("C003"));
            QCOMPARE(m_capture->takeTexts(),
                     QStringList{QStringLiteral(
                         "数据库暂时无法写入，来电记录已保存在备用文件中，数据库恢复后将自动写入。")});
            QVERIFY(QFile::exists(journal));
            QVERIFY(timer("ringPeriodTimer")->enabled());
            locker.run(QStringLiteral("rollback"));
        }

        // The kept row goes in as the next call is logged, which may follow
        // the call's showing by a turn of the event loop.
        call(QStringLiteral("5551234"));
        QTRY_COMPARE(m_sql->count(QStringLiteral("detail")), 3);
        QSqlQuery rows = m_sql->run(QStringLiteral("select tel from detail order by id"));
        QStringList tels;
        while (rows.next())
            tels.append(rows.value(0).toString());
        QCOMPARE(tels, (QStringList{QStringLiteral("5551234"), QStringLiteral("6660000"),
                                    QStringLiteral("5551234")}));
        QVERIFY(!QFile::exists(journal));
        QVERIFY(m_capture->take().isEmpty());
    }

    void theRingRepeatsEveryThreeSecondsForNineSeconds()
    {
        call(QStringLiteral("5551234"));
        QTRY_VERIFY_WITH_TIMEOUT(!timer("ringPeriodTimer")->enabled(), 12000);
        QTest::qWait(3500);
        // The first ring, then two or three repeats about 3 s apart.
        const QList<test::RingRecorder::Ring> rings = m_rings->rings();
        QVERIFY2(rings.size() == 3 || rings.size() == 4, qPrintable(QString::number(rings.size())));
        for (int i = 1; i < rings.size(); ++i)
            QVERIFY(qAbs(rings[i].startedMs - rings[i - 1].startedMs - 3000) < 400);
        QVERIFY(rings.last().startedMs < rings.first().startedMs + 9400);
    }

    void aSecondReportKeepsTheFirstStopAndANewRingPlaysNext()
    {
        call(QStringLiteral("5551234"));
        const qint64 start = m_rings->rings().first().startedMs;
        QTest::qWait(4000);
        // The shop chooses another ring in the middle of the cycle.
        m_sql->run(QStringLiteral("update ring set bz=case code when '2' then '1' else '0' end"));
        call(QStringLiteral("88888888"));
        QTRY_VERIFY_WITH_TIMEOUT(!timer("ringPeriodTimer")->enabled(), 8000);
        QTest::qWait(3500);
        const QList<test::RingRecorder::Ring> rings = m_rings->rings();
        QVERIFY(rings.last().startedMs < start + 9400);
        QCOMPARE(rings.last().file, m_folder->file(QStringLiteral("ringin2.wav")));
        // The repeat after the second report comes 3 s after it, not after the first.
        QVERIFY(rings.size() >= 3);
        QVERIFY(qAbs(rings.last().startedMs - rings[rings.size() - 2].startedMs - 3000) < 400);
    }

    // "端口测试" on the main window's own port frees it for the test; the
    // main window then takes it up again and the next call is logged.
    void aCallIsLoggedAfterThePortTest()
    {
        LineSettingsDialog &settings = m_app->lineSettingsDialog();
        settings.show();
        test::child<QComboBox>(settings, "portBox")->setEditText(QStringLiteral("com1"));
        test::child<QPushButton>(settings, "portTestButton")->click();
        QCOMPARE(m_capture->takeTexts(), QStringList{QStringLiteral("此端口正常")});
        test::child<QPushButton>(settings, "exitButton")->click();
        QVERIFY(m_app->callDesk().serialPort().isOpen());
        call(QStringLiteral("5551234"));
        QCOMPARE(m_sql->count(QStringLiteral("detail")), 1);
        QVERIFY(m_capture->take().isEmpty());
    }
};

QTEST_MAIN(TestIncomingCall)
#include "tst_incomingcall.moc"
