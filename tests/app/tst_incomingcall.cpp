// The call display end to end: caller-ID reports streamed at line rate by the
// fake modem on a pseudo-terminal, the program's windows as start-up makes
// them, a real tel.mdb, and the ring player recorded.

#include "app/appwindows.h"
#include "app/mainwindow.h"
#include "platform/guard.h"
#include "platform/programfolder.h"
#include "platform/serialcontrol.h"
#include "platform/sound.h"
#include "platform/timer.h"
#include "records/datamodule.h"
#include "modemsim.h"
#include "testsupport.h"

#include <QDate>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

using namespace corvane;

namespace {

QString report(const QString &number, const QString &date = QStringLiteral("0321"),
               const QString &time = QStringLiteral("1405"))
{
    return QStringLiteral("\r\nDATE = ") + date + QStringLiteral("\r\nTIME = ") + time +
           QStringLiteral("\r\nNMBR = ") + number + QStringLiteral("\r\n\r\n");
}

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
    int count(const QString &table) { return scalar(QStringLiteral("select count(*) from ") + table).toInt(); }
    QVariant scalar(const QString &statement)
    {
        QSqlQuery q = run(statement);
        return q.next() ? q.value(0) : QVariant();
    }
    void addCustomer(const QStringList &v)
    {
        QSqlQuery q(QSqlDatabase::database(m_name));
        q.prepare(QStringLiteral("insert into customer(customercode,customername,address,code,person,tel,email,qq) "
                                 "values(?,?,?,?,?,?,?,?)"));
        for (const QString &value : v)
            q.addBindValue(value);
        QVERIFY(q.exec());
    }

private:
    QString m_name;
};

struct Ring
{
    QString file;
    qint64 at;
};

} // namespace

class TestIncomingCall : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<test::MessageCapture> m_capture;
    std::unique_ptr<test::ModemSim> m_modem;
    std::unique_ptr<Sql> m_sql;
    QElapsedTimer m_clock;
    QList<Ring> m_rings;

    MainWindow &w() { return *windows().Frm_main; }
    // The modem sends the report; the sequence has run once its ring sounded.
    void call(const QString &number)
    {
        QString escaped = report(number);
        escaped.replace(QStringLiteral("\\"), QStringLiteral("\\\\"))
            .replace(QStringLiteral("\r"), QStringLiteral("\\r"))
            .replace(QStringLiteral("\n"), QStringLiteral("\\n"));
        const qsizetype before = m_rings.size();
        QVERIFY(m_modem->command(QStringLiteral("send ") + escaped));
        QTRY_VERIFY(m_rings.size() > before);
    }
    QStringList customerEdits()
    {
        QStringList texts;
        for (QLineEdit *e : {w().Edit3, w().Edit4, w().Edit5, w().Edit6, w().Edit7, w().Edit8, w().Edit9, w().Edit10})
            texts.append(e->text());
        return texts;
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<test::ProgramFolder>();
        m_capture = std::make_unique<test::MessageCapture>();
        m_modem = std::make_unique<test::ModemSim>();
        m_folder->writeFile(QStringLiteral("zel.ini"),
                            "[zel]\r\nfather=com1\r\n[ports]\r\ncom1=" + m_modem->devicePath().toUtf8() + "\r\n");
        createWindows();
        // Shown as at start-up: the show handler opens the port.
        w().show();
        QTRY_VERIFY(w().MSComm1->portOpen());
        QVERIFY(m_capture->take().isEmpty());
        m_sql = std::make_unique<Sql>(m_folder->file(QStringLiteral("tel.mdb")));
        m_sql->addCustomer({QStringLiteral("C001"), QStringLiteral("张三五金店"), QStringLiteral("人民路1号"),
                            QStringLiteral("510000"), QStringLiteral("张三"), QStringLiteral("5551234"),
                            QStringLiteral("z@example.com"), QStringLiteral("10001")});
        m_rings.clear();
        m_clock.start();
        sound::setPlayerForTests([this](const QString &file) { m_rings.append({file, m_clock.elapsed()}); });
    }
    void cleanup()
    {
        sound::setPlayerForTests({});
        destroyWindows();
        m_modem.reset();
        m_sql.reset();
        m_capture.reset();
        m_folder.reset();
    }

    void knownNumberShowsTheCustomerAndLogsOneCall()
    {
        call(QStringLiteral("5551234"));
        const QString year = QString::number(QDate::currentDate().year());
        QCOMPARE(w().Edit2->text(), QStringLiteral("5551234"));
        QCOMPARE(w().Edit11->text(), year + QStringLiteral("-03-21"));
        QCOMPARE(w().Edit12->text(), QStringLiteral("14:05"));
        QCOMPARE(customerEdits(),
                 (QStringList{QStringLiteral("C001"), QStringLiteral("510000"), QStringLiteral("张三"),
                              QStringLiteral("5551234"), QStringLiteral("张三五金店"), QStringLiteral("10001"),
                              QStringLiteral("z@example.com"), QStringLiteral("人民路1号")}));
        QCOMPARE(m_sql->count(QStringLiteral("detail")), 1);
        QSqlQuery row = m_sql->run(QStringLiteral("select adate,atime,tel,customercode,customername from detail"));
        QVERIFY(row.next());
        QCOMPARE(row.value(0).toString(), year + QStringLiteral("-03-21"));
        QCOMPARE(row.value(1).toString(), QStringLiteral("14:05"));
        QCOMPARE(row.value(2).toString(), QStringLiteral("5551234"));
        QCOMPARE(row.value(3).toString(), QStringLiteral("C001"));
        QCOMPARE(row.value(4).toString(), QStringLiteral("张三五金店"));
        QVERIFY(m_capture->take().isEmpty());
        QCOMPARE(m_rings.size(), 1);
        QCOMPARE(m_rings[0].file, m_folder->file(QStringLiteral("ringin1.wav")));
        QVERIFY(w().Timer1->enabled());
        QVERIFY(w().Timer2->enabled());
    }

    void newNumberAsksToSaveAndKeepsThePreviousCustomer()
    {
        call(QStringLiteral("5551234"));
        const QStringList previous = customerEdits();
        call(QStringLiteral("88888888"));
        QCOMPARE(m_capture->takeTexts(),
                 QStringList{QStringLiteral("此号码为新号码，如果要保存的话请点击<保存新号码>按钮")});
        QCOMPARE(w().Edit2->text(), QStringLiteral("88888888"));
        QCOMPARE(customerEdits(), previous);
        QCOMPARE(m_sql->count(QStringLiteral("detail")), 1);
        QVERIFY(w().Timer1->enabled());
    }

    void theSameNumberTwiceIsLookedUpAndLoggedOnce()
    {
        call(QStringLiteral("5551234"));
        call(QStringLiteral("5551234"));
        QCOMPARE(m_sql->count(QStringLiteral("detail")), 1);
        QCOMPARE(m_rings.size(), 2);

        // Once the number field is emptied, the next call is looked up again.
        w().BitBtn1Click();
        QCOMPARE(w().Edit2->text(), QString());
        call(QStringLiteral("5551234"));
        QCOMPARE(m_sql->count(QStringLiteral("detail")), 2);
    }

    void longValuesShowFromTheirFirstCharacter()
    {
        // Sixty characters: far wider than the name and address fields.
        const QString name = QStringLiteral("深圳市南山区科技园高新技术产业有限公司第一分公司").repeated(3).left(60);
        const QString address = QStringLiteral("广东省深圳市南山区科技园南区高新南一道二十八号").repeated(3).left(60);
        m_sql->addCustomer({QStringLiteral("C060"), name, address, {}, {}, QStringLiteral("5556060"),
                            QStringLiteral("a.very.long.mailbox.name.for.the.accounts.department@example.com"), {}});
        call(QStringLiteral("5556060"));
        QCOMPARE(w().Edit7->text(), name);
        for (QLineEdit *e : {w().Edit7, w().Edit9, w().Edit10}) {
            QCOMPARE(e->cursorPosition(), 0);
            QVERIFY2(test::showsTextFromStart(e), qPrintable(e->objectName()));
        }
        test::saveScreenshot(&w(), QStringLiteral("main-window-long-customer.png"));
    }

    void twoCustomersWithOneNumberShowAndLogTheFirst()
    {
        m_sql->addCustomer({QStringLiteral("C002"), QStringLiteral("李四"), {}, {}, {}, QStringLiteral("5551234"), {}, {}});
        call(QStringLiteral("5551234"));
        QCOMPARE(w().Edit3->text(), QStringLiteral("C001"));
        QCOMPARE(m_sql->scalar(QStringLiteral("select customercode from detail")).toString(), QStringLiteral("C001"));
    }

    void oddNumbersAreLookedUpSafely()
    {
        const QString odd = QStringLiteral("55'12\\ -- %");
        m_sql->addCustomer({QStringLiteral("Q'1"), QStringLiteral("O'Hara"), {}, {}, {}, odd, {}, {}});
        call(odd);
        QCOMPARE(w().Edit3->text(), QStringLiteral("Q'1"));
        QCOMPARE(m_sql->scalar(QStringLiteral("select customername from detail")).toString(), QStringLiteral("O'Hara"));
        QCOMPARE(m_sql->count(QStringLiteral("customer")), 2);
    }

    void emptyRingTableStillRings()
    {
        m_sql->run(QStringLiteral("delete from ring"));
        call(QStringLiteral("5551234"));
        QCOMPARE(m_rings.size(), 1);
        QCOMPARE(m_rings[0].file, m_folder->file(QStringLiteral("ringin.wav")));
    }

    void databaseFailureStopsTheSequenceAndTheNextCallWorks()
    {
        m_sql->addCustomer({QStringLiteral("C003"), QStringLiteral("王五"), {}, {}, {}, QStringLiteral("6660000"), {}, {}});
        call(QStringLiteral("5551234"));
        w().Timer1->setEnabled(false);
        w().Timer2->setEnabled(false);
        // Another program holds the file for writing longer than the busy
        // timeout: the call log cannot be written.
        {
            Sql locker(m_folder->file(QStringLiteral("tel.mdb")));
            locker.run(QStringLiteral("begin exclusive"));
            call(QStringLiteral("6660000"));
            locker.run(QStringLiteral("rollback"));
        }
        const QList<msg::Box> shown = m_capture->take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].icon, msg::Icon::Error);
        QVERIFY(shown[0].text.contains(QStringLiteral("locked")));
        QVERIFY(!w().Timer1->enabled());
        QVERIFY(!w().Timer2->enabled());
        QCOMPARE(m_sql->count(QStringLiteral("detail")), 1);

        call(QStringLiteral("5551234"));
        QCOMPARE(w().Edit3->text(), QStringLiteral("C001"));
        QCOMPARE(m_sql->count(QStringLiteral("detail")), 2);
        QVERIFY(w().Timer2->enabled());
    }

    void theRingRepeatsEveryThreeSecondsForNineSeconds()
    {
        call(QStringLiteral("5551234"));
        QTRY_VERIFY_WITH_TIMEOUT(!w().Timer2->enabled(), 12000);
        QTest::qWait(3500);
        // The first ring, then two or three repeats about 3 s apart.
        QVERIFY2(m_rings.size() == 3 || m_rings.size() == 4, qPrintable(QString::number(m_rings.size())));
        for (int i = 1; i < m_rings.size(); ++i)
            QVERIFY(qAbs(m_rings[i].at - m_rings[i - 1].at - 3000) < 400);
        QVERIFY(m_rings.last().at < m_rings.first().at + 9400);
    }

    void aSecondReportKeepsTheFirstStopAndANewRingPlaysNext()
    {
        call(QStringLiteral("5551234"));
        const qint64 start = m_rings.first().at;
        QTest::qWait(4000);
        // The shop chooses another ring in the middle of the cycle.
        m_sql->run(QStringLiteral("update ring set bz=case code when '2' then '1' else '0' end"));
        call(QStringLiteral("88888888"));
        QTRY_VERIFY_WITH_TIMEOUT(!w().Timer2->enabled(), 8000);
        QTest::qWait(3500);
        QVERIFY(m_rings.last().at < start + 9400);
        QCOMPARE(m_rings.last().file, m_folder->file(QStringLiteral("ringin2.wav")));
        // The repeat after the second report comes 3 s after it, not after the first.
        QVERIFY(m_rings.size() >= 3);
        QVERIFY(qAbs(m_rings.last().at - m_rings[m_rings.size() - 2].at - 3000) < 400);
    }
};

QTEST_MAIN(TestIncomingCall)
#include "tst_incomingcall.moc"
