#include "callrows.h"
#include "core/callperiod.h"
#include "customerrows.h"
#include "databaselock.h"
#include "layoutfaults.h"
#include "records/calllogqueryform.h"
#include "records/callstatsform.h"
#include "records/customerpicker.h"
#include "records/customerqueryform.h"
#include "records/dbgrid.h"
#include "records/recentcallsform.h"
#include "records/rowgrid.h"
#include "store/callerfiguresreader.h"
#include "testsupport.h"
#include "widgets/barchart/barchart.h"
#include "widgets/buttonedit/buttonedit.h"
#include "widgets/drawing/colors.h"
#include "widgets/facebutton/facebutton.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace corvane;

namespace {

void addCustomer(Stores &stores, const QString &code, const QString &name, const QString &tel)
{
    test::run(stores.connection,
              QStringLiteral("insert into customer(customercode,customername,tel) values(?,?,?)"),
              {code, name, tel});
}

// Answers every save with the file of the suggested name in `folder`.
class FolderChooser : public FileChooser
{
public:
    explicit FolderChooser(test::ProgramFolder &folder) : m_folder(folder) {}
    QString fileToOpen(QWidget *, const QString &, const QString &) override { return {}; }
    QString fileToSave(QWidget *, const QString &, const QString &suggested, const QString &) override
    {
        return m_folder.file(suggested);
    }

private:
    test::ProgramFolder &m_folder;
};

void addCall(Stores &stores, const QDate &date, const QString &code)
{
    stores.calls.logCall({date.toString(QStringLiteral("yyyy-MM-dd")), QStringLiteral("09:30"),
                          QStringLiteral("555"), code, QStringLiteral("名")});
}

DBGrid *grid(QWidget *form)
{
    return form->findChild<DBGrid *>(QStringLiteral("resultGrid"));
}

QPushButton *queryButton(QWidget *form)
{
    return form->findChild<QPushButton *>(QStringLiteral("queryButton"));
}

ButtonEdit *codeBox(QWidget *form)
{
    return form->findChild<ButtonEdit *>(QStringLiteral("codeBox"));
}

QDateEdit *firstDate(QWidget *form)
{
    return form->findChild<QDateEdit *>(QStringLiteral("firstDateEdit"));
}

QDateEdit *lastDate(QWidget *form)
{
    return form->findChild<QDateEdit *>(QStringLiteral("lastDateEdit"));
}

int rows(DBGrid *grid)
{
    return grid->model()->rowCount();
}

QStringList column(DBGrid *grid, int col)
{
    QStringList values;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        values.append(grid->model()->index(r, col).data().toString());
    return values;
}

// Chooses row `row` (or cancels) in the picker that opens next.
void answerPicker(int row, const char *button = "okButton")
{
    QTimer::singleShot(0, qApp, [row, button] {
        auto *picker = qobject_cast<CustomerPicker *>(QApplication::activeModalWidget());
        QVERIFY(picker);
        auto *list = picker->findChild<RowGrid *>(QStringLiteral("customerList"));
        list->setCurrentIndex(list->model()->index(row, 0));
        QTest::mouseClick(picker->findChild<FaceButton *>(QLatin1String(button)), Qt::LeftButton, {},
                          QPoint(5, 5));
    });
}

// Opens the picker with the box's button and chooses row `row` in it.
void pickRow(ButtonEdit *box, int row, const char *button = "okButton")
{
    answerPicker(row, button);
    QTest::mouseClick(box, Qt::LeftButton, {}, box->buttonRect(0).center());
}

} // namespace

class TestQueryForms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<test::ProgramFolder>();
        m_stores = std::make_unique<Stores>();
        m_stores->connection.setDatabasePath(m_folder->file(QStringLiteral("tel.mdb")));
        addCustomer(*m_stores, QStringLiteral("K1"), QStringLiteral("客户一"), QStringLiteral("111"));
        addCustomer(*m_stores, QStringLiteral("O'K"), QStringLiteral("客户二"), QStringLiteral("222"));
        addCustomer(*m_stores, QStringLiteral("K3"), QStringLiteral("客户三"), QStringLiteral("333"));
    }

    void cleanup()
    {
        m_stores.reset();
        m_folder.reset();
    }

    void customerQueryByCode()
    {
        CustomerQueryForm form(m_stores->customers);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(test::layoutFaults(form), QString());
        QCOMPARE(form.windowTitle(), QStringLiteral("客户资料明细查询"));
        QCOMPARE(rows(grid(&form)), 0);
        const QStringList titles{"客户编码", "客户姓名", "地址",     "邮编",
                                 "联系人",   "电话",     "电子邮箱", "qq号码"};
        for (int c = 0; c < titles.size(); ++c)
            QCOMPARE(grid(&form)->model()->headerData(c, Qt::Horizontal).toString(), titles[c]);

        queryButton(&form)->click();
        QCOMPARE(column(grid(&form), 0), (QStringList{"K1", "O'K", "K3"}));
        test::saveScreenshot(&form, QStringLiteral("customer-query.png"));

        test::MessageCapture capture;
        codeBox(&form)->setText(QStringLiteral("O'K"));
        queryButton(&form)->click();
        QCOMPARE(column(grid(&form), 1), QStringList{"客户二"});
        codeBox(&form)->setText(QStringLiteral("nobody"));
        queryButton(&form)->click();
        QCOMPARE(rows(grid(&form)), 0);
        // Blanks are a code of their own, not "all".
        codeBox(&form)->setText(QStringLiteral("  "));
        queryButton(&form)->click();
        QCOMPARE(rows(grid(&form)), 0);
        codeBox(&form)->setText(QStringLiteral("x' or '1'='1"));
        queryButton(&form)->click();
        QCOMPARE(rows(grid(&form)), 0);
        QCOMPARE(capture.take().size(), 0);
    }

    void customerQueryShowingResets()
    {
        CustomerQueryForm form(m_stores->customers);
        form.show();
        codeBox(&form)->setText(QStringLiteral("K1"));
        queryButton(&form)->click();
        QCOMPARE(rows(grid(&form)), 1);
        form.hide();
        form.show();
        QCOMPARE(codeBox(&form)->text(), QString());
        QCOMPARE(rows(grid(&form)), 0);
    }

    void customerQueryTakesThePickersChoice()
    {
        CustomerQueryForm form(m_stores->customers);
        form.show();
        pickRow(codeBox(&form), 2);
        QCOMPARE(codeBox(&form)->text(), QStringLiteral("K3"));
        pickRow(codeBox(&form), 0, "cancelButton");
        QCOMPARE(codeBox(&form)->text(), QStringLiteral("K3"));
        queryButton(&form)->click();
        QCOMPARE(column(grid(&form), 0), QStringList{"K3"});
        // Ctrl+Enter in the box opens the picker too.
        answerPicker(1);
        QTest::keyClick(codeBox(&form), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(codeBox(&form)->text(), QStringLiteral("O'K"));
    }

    void callLogDefaultRangeIsThisYearToToday()
    {
        const QDate today = QDate::currentDate();
        const QDate newYear(today.year(), 1, 1);
        addCall(*m_stores, newYear.addDays(-1), QStringLiteral("K1"));
        addCall(*m_stores, newYear, QStringLiteral("K1"));
        addCall(*m_stores, today, QStringLiteral("O'K"));
        addCall(*m_stores, today.addDays(1), QStringLiteral("K1"));

        CallLogQueryForm form(m_stores->calls, m_stores->customers);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(test::layoutFaults(form), QString());
        QCOMPARE(form.windowTitle(), QStringLiteral("来电显示明细记录查询"));
        QCOMPARE(firstDate(&form)->date(), newYear);
        QCOMPARE(lastDate(&form)->date(), today);
        QCOMPARE(firstDate(&form)->displayFormat(), QLocale().dateFormat(QLocale::ShortFormat));
        QVERIFY(firstDate(&form)->calendarPopup());
        const QStringList titles{"来电日期", "来电时间", "来电号码", "客户编码", "客户名称"};
        for (int c = 0; c < titles.size(); ++c)
            QCOMPARE(grid(&form)->model()->headerData(c, Qt::Horizontal).toString(), titles[c]);

        queryButton(&form)->click();
        const QString fmt = QStringLiteral("yyyy-MM-dd");
        QStringList expected{newYear.toString(fmt), today.toString(fmt)};
        expected.removeDuplicates();
        QCOMPARE(column(grid(&form), 0), expected);
        test::saveScreenshot(&form, QStringLiteral("call-log-query.png"));
    }

    void callLogRangesAndCodes()
    {
        addCall(*m_stores, QDate(2024, 2, 28), QStringLiteral("K1"));
        addCall(*m_stores, QDate(2024, 2, 29), QStringLiteral("K1"));
        addCall(*m_stores, QDate(2024, 2, 29), QStringLiteral("O'K"));
        addCall(*m_stores, QDate(2024, 3, 1), QStringLiteral("K1"));
        addCall(*m_stores, QDate(2024, 10, 1), QStringLiteral("K1"));

        test::MessageCapture capture;
        CallLogQueryForm form(m_stores->calls, m_stores->customers);
        form.show();
        firstDate(&form)->setDate(QDate(2024, 2, 29));
        lastDate(&form)->setDate(QDate(2024, 2, 29));
        queryButton(&form)->click();
        QCOMPARE(column(grid(&form), 3), (QStringList{"K1", "O'K"}));

        codeBox(&form)->setText(QStringLiteral("O'K"));
        queryButton(&form)->click();
        QCOMPARE(column(grid(&form), 3), QStringList{"O'K"});

        // October sorts after March as text only with two-digit months.
        codeBox(&form)->setText(QString());
        firstDate(&form)->setDate(QDate(2024, 3, 1));
        lastDate(&form)->setDate(QDate(2024, 12, 31));
        queryButton(&form)->click();
        QCOMPARE(column(grid(&form), 0), (QStringList{"2024-03-01", "2024-10-01"}));

        firstDate(&form)->setDate(QDate(2024, 3, 2));
        lastDate(&form)->setDate(QDate(2024, 3, 1));
        queryButton(&form)->click();
        QCOMPARE(rows(grid(&form)), 0);

        firstDate(&form)->setDate(QDate(2024, 1, 1));
        codeBox(&form)->setText(QStringLiteral("never"));
        queryButton(&form)->click();
        QCOMPARE(rows(grid(&form)), 0);
        QCOMPARE(capture.take().size(), 0);
    }

    void callLogShowingResetsAndPickerFillsTheBox()
    {
        const QDate today = QDate::currentDate();
        addCall(*m_stores, today, QStringLiteral("K3"));
        CallLogQueryForm form(m_stores->calls, m_stores->customers);
        form.show();
        queryButton(&form)->click();
        QCOMPARE(rows(grid(&form)), 1);
        firstDate(&form)->setDate(QDate(2000, 5, 5));
        lastDate(&form)->setDate(QDate(2000, 6, 6));
        codeBox(&form)->setText(QStringLiteral("typed"));
        form.hide();
        form.show();
        QCOMPARE(firstDate(&form)->date(), QDate(today.year(), 1, 1));
        QCOMPARE(lastDate(&form)->date(), today);
        QCOMPARE(codeBox(&form)->text(), QString());
        QCOMPARE(rows(grid(&form)), 0);

        pickRow(codeBox(&form), 2);
        QCOMPARE(codeBox(&form)->text(), QStringLiteral("K3"));
        queryButton(&form)->click();
        QCOMPARE(column(grid(&form), 3), QStringList{"K3"});
    }

    // 来电统计 on today's calls of every kind: the charts, the totals and the
    // top callers, a new call counted while open, a period without calls,
    // and both exports read back.
    void callStatsShowFollowAndExportTheCalls()
    {
        addCustomer(*m_stores, QStringLiteral("K4"), QStringLiteral("=1+2"), QStringLiteral("444"));
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd "));
        Connection &db = m_stores->connection;
        for (const auto &[time, number, code] :
             {std::tuple("08:00:00", "111", "K1"), std::tuple("09:00:00", "111", "K1"),
              std::tuple("09:30:00", "999", ""), std::tuple("10:00:00", "P", ""),
              std::tuple("11:00:00", "444", "K4")})
            test::addCall(db, today + QLatin1String(time), QLatin1String(number), QLatin1String(code));
        test::MessageCapture capture;
        FolderChooser files(*m_folder);
        QList<qint64> opened;
        CallerFiguresReader callers(m_stores->connection);
        CallStatsForm form(m_stores->callFigures, callers, files, [&](qint64 id) { opened.append(id); });
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(test::layoutFaults(form), QString());
        const auto *totals = form.findChild<QLabel *>(QStringLiteral("totalsLabel"));
        QTRY_COMPARE(totals->text(),
                     QStringLiteral("来电 5 次，号码 3 个，新号码存为客户 0 个，未处理 5 次"));
        auto *top = form.findChild<QTableWidget *>(QStringLiteral("topCallerList"));
        QCOMPARE(top->rowCount(), 2);
        QCOMPARE(top->item(0, 0)->text(), QStringLiteral("K1"));
        QCOMPARE(top->item(0, 2)->text(), QStringLiteral("2"));
        QTest::mouseClick(top->viewport(), Qt::LeftButton, {}, top->visualItemRect(top->item(0, 1)).center());
        QTest::mouseDClick(top->viewport(), Qt::LeftButton, {},
                           top->visualItemRect(top->item(0, 1)).center());
        QCOMPARE(opened, QList<qint64>{1});

        // A bar's tooltip gives its figures.
        const auto tips = [](const BarChart *chart) {
            QStringList found;
            for (int x = 0; x < chart->width(); ++x) {
                const QString tip = chart->toolTipAt(QPoint(x, chart->height() / 2));
                if (!tip.isEmpty() && !found.contains(tip))
                    found.append(tip);
            }
            return found;
        };
        const auto *hours = form.findChild<BarChart *>(QStringLiteral("hourChart"));
        QVERIFY(tips(hours).contains(
            QStringLiteral("9:00–9:59\n老客户：1\n新号码：1\n私人号码/号码不详：0\n合计：2")));
        QCOMPARE(tips(hours).size(), 24);

        // A call while open is counted within moments.
        test::addCall(db, today + QStringLiteral("12:00:00"), QStringLiteral("O"));
        form.onCallsChanged();
        form.onCallsChanged();
        QTRY_VERIFY(totals->text().startsWith(QStringLiteral("来电 6 次，号码")));

        form.findChild<QPushButton *>(QStringLiteral("exportDataButton"))->click();
        QFile csv(m_folder->file(QStringLiteral("来电统计.csv")));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray bytes = csv.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.value(0), QStringLiteral("统计期间,") +
                                     CallPeriod::of(PeriodChoice::ThisMonth, QDate::currentDate()).caption());
        QVERIFY(lines.contains(QStringLiteral("来电,6")));
        QVERIFY(lines.contains(QStringLiteral("9时,1,1,0,2")));
        QVERIFY(lines.contains(QStringLiteral("K4,'=1+2,1,") + today + QStringLiteral("11:00:00")));
        QVERIFY(lines.contains(QStringLiteral("日期,老客户,新号码,私人号码/号码不详,合计")));

        form.findChild<QPushButton *>(QStringLiteral("exportImageButton"))->click();
        const QImage image(m_folder->file(QStringLiteral("来电统计.png")));
        const QWidget *charts = form.findChild<QWidget *>(QStringLiteral("chartsPanel"));
        QCOMPARE(image.size(), charts->size() * form.devicePixelRatio());
        // The bars' colours are in it, not only the background.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                colours.insert(image.pixel(x, y));
        QVERIFY(colours.contains(SkinColor(SystemColor::Highlight).resolved().rgb()));
        QCOMPARE(capture.take().size(), 2);

        // A period without calls says so instead of empty axes.
        form.findChild<QComboBox *>(QStringLiteral("periodBox"))->setCurrentIndex(int(PeriodChoice::Dates));
        form.findChild<QDateEdit *>(QStringLiteral("firstDateEdit"))->setDate(QDate(2001, 1, 1));
        form.findChild<QDateEdit *>(QStringLiteral("lastDateEdit"))->setDate(QDate(2001, 1, 31));
        QVERIFY(form.findChild<BarChart *>(QStringLiteral("dayChart"))->isEmpty());
        QVERIFY(tips(hours).isEmpty());
        QTRY_COMPARE(top->rowCount(), 0);
        QCOMPARE(totals->text(), QStringLiteral("来电 0 次，号码 0 个，新号码存为客户 0 个，未处理 0 次"));
    }

    // Callers that cannot be read: the charts still show, the totals say
    // why the rest is missing, and nothing half-counted is exported.
    void callStatsTellWhyTheCallersAreMissing()
    {
        Connection away;
        away.setUnavailable(QStringLiteral("数据库服务器没有应答"));
        CallerFiguresReader callers(away);
        test::NoFileChooser files;
        CallStatsForm form(m_stores->callFigures, callers, files, [](qint64) {});
        form.show();
        const auto *totals = form.findChild<QLabel *>(QStringLiteral("totalsLabel"));
        QTRY_COMPARE(totals->text(),
                     QStringLiteral("来电 0 次，未处理 0 次；号码未能统计：数据库服务器没有应答"));
        QVERIFY(!form.findChild<QPushButton *>(QStringLiteral("exportDataButton"))->isEnabled());
    }

    void recentCallsKeepThePlaceAnEditAndTheNoteTyped()
    {
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd "));
        Connection &db = m_stores->connection;
        test::addCall(db, today + QStringLiteral("08:00:00"), QStringLiteral("111"), QStringLiteral("K1"));
        const qint64 fresh = test::addCall(db, today + QStringLiteral("09:00:00"), QStringLiteral("999"));
        test::addCall(db, today + QStringLiteral("10:00:00"), QStringLiteral("P"));
        QStringList opened;
        test::NoFileChooser files;
        RecentCallsForm form(m_stores->recentCalls, m_stores->customers, files,
                             {[&](const QString &number) { opened.append(QStringLiteral("new ") + number); },
                              [&](qint64 id) { opened.append(QStringLiteral("customer %1").arg(id)); }});
        form.show();
        auto *list = form.findChild<QTableView *>(QStringLiteral("callList"));
        QAbstractItemModel *calls = list->model();
        const auto captions = [&] {
            QStringList shown;
            for (int r = 0; r < calls->rowCount(); ++r)
                shown.append(calls->index(r, 2).data().toString());
            return shown;
        };
        QCOMPARE(captions(), QStringList({"私人号码", "新号码", "客户一"}));
        QVERIFY(test::layoutFaults(form).isEmpty());

        // A double-click opens the caller in the entry form.
        const auto doubleClick = [&](int row) {
            const QRect cell = list->visualRect(calls->index(row, 0));
            // A view takes a double-click only after the press that starts it.
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        };
        doubleClick(1);
        doubleClick(2);
        QCOMPARE(opened, QStringList({"new 999", "customer 1"}));

        // A note half typed when another call comes in stays on its call.
        list->selectRow(1);
        list->edit(calls->index(1, 4));
        QPointer<QLineEdit> editor = list->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->insert(QStringLiteral("回电\"王'先生\""));
        test::addCall(db, today + QStringLiteral("11:00:00"), QStringLiteral("888"));
        form.onCallsChanged();
        QCOMPARE(captions(), QStringList({"新号码", "私人号码", "新号码", "客户一"}));
        QCOMPARE(list->currentIndex().row(), 2);
        // After the PC clock went back: the call written last is in its place.
        test::addCall(db, today + QStringLiteral("08:30:00"), QStringLiteral("P"));
        form.onCallsChanged();
        QCOMPARE(captions(), QStringList({"新号码", "私人号码", "新号码", "私人号码", "客户一"}));
        QCOMPARE(list->currentIndex().row(), 2);
        QVERIFY(editor && editor->isVisible());
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!editor); // the view commits and closes its editor after the key
        RecentCallsFilter byNumber;
        byNumber.number = QStringLiteral("999");
        const auto stored = [&] { return m_stores->recentCalls.calls(byNumber, QDate())->first(1).at(0); };
        QCOMPARE(stored()[RecentCallsStore::Id], QString::number(fresh));
        QCOMPARE(stored()[RecentCallsStore::Note], QStringLiteral("回电\"王'先生\""));
        QVERIFY(calls->setData(calls->index(2, 3), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(stored()[RecentCallsStore::Handled], QStringLiteral("1"));

        // Refused by a held database: told, and the text stays in the cell.
        test::MessageCapture capture;
        {
            test::DatabaseLock lock(m_folder->file(QStringLiteral("tel.mdb")));
            db.setBusyTimeout(50);
            QVERIFY(calls->setData(calls->index(2, 4), QStringLiteral("改了"), Qt::EditRole));
            QVERIFY(!calls->setData(calls->index(2, 3), Qt::Unchecked, Qt::CheckStateRole));
        }
        QCOMPARE(capture.take().size(), 2);
        QCOMPARE(calls->index(2, 4).data().toString(), QStringLiteral("改了"));
        QCOMPARE(calls->index(2, 3).data(Qt::CheckStateRole), QVariant(Qt::Checked));
        QCOMPARE(stored()[RecentCallsStore::Note], QStringLiteral("回电\"王'先生\""));
        // The same text committed again once the database answers is saved.
        QVERIFY(calls->setData(calls->index(2, 4), QStringLiteral("改了"), Qt::EditRole));
        QCOMPARE(stored()[RecentCallsStore::Note], QStringLiteral("改了"));
        QVERIFY(!calls->setData(calls->index(2, 4), QStringLiteral("改了"), Qt::EditRole));

        // Or the next refresh saves it, after the window was hidden too.
        {
            test::DatabaseLock lock(m_folder->file(QStringLiteral("tel.mdb")));
            QVERIFY(calls->setData(calls->index(2, 4), QStringLiteral("再改"), Qt::EditRole));
        }
        QCOMPARE(capture.take().size(), 1);
        form.hide();
        form.show();
        QCOMPARE(stored()[RecentCallsStore::Note], QStringLiteral("再改"));
        QCOMPARE(calls->index(2, 4).data().toString(), QStringLiteral("再改"));
        QVERIFY(capture.take().isEmpty());

        // Another desk saved its note meanwhile: told, and both are kept.
        test::sqlColumn(m_folder->file(QStringLiteral("tel.mdb")),
                        QStringLiteral("update calls set note = '对方的' where id = %1").arg(fresh));
        QVERIFY(calls->setData(calls->index(2, 4), QStringLiteral("我的"), Qt::EditRole));
        QCOMPARE(stored()[RecentCallsStore::Note], QStringLiteral("对方的\n我的"));
        QCOMPARE(calls->index(2, 4).data().toString(), QStringLiteral("对方的\n我的"));
        QCOMPARE(calls->index(2, 4).data(Qt::ToolTipRole).toString(), QStringLiteral("对方的\n我的"));
        const QStringList told = capture.takeTexts();
        QCOMPARE(told.size(), 1);
        QVERIFY2(told.first().contains(QStringLiteral("对方的\n我的")), qPrintable(told.first()));

        // Saved by another program on tel.mdb: the next refresh shows it.
        test::sqlColumn(
            m_folder->file(QStringLiteral("tel.mdb")),
            QStringLiteral("update calls set note = '改过', handled = 0 where id = %1").arg(fresh));
        form.onCallsChanged();
        QCOMPARE(calls->index(2, 4).data().toString(), QStringLiteral("改过"));
        QCOMPARE(calls->index(2, 3).data(Qt::CheckStateRole), QVariant(Qt::Unchecked));
        QVERIFY(capture.take().isEmpty());
    }

    void databaseErrorLeavesTheGridEmpty()
    {
        CustomerQueryForm form(m_stores->customers);
        form.show();
        queryButton(&form)->click();
        QCOMPARE(rows(grid(&form)), 3);
        test::MessageCapture capture;
        m_stores->connection.setDatabasePath(m_folder->file(QStringLiteral("missing.mdb")));
        queryButton(&form)->click();
        QCOMPARE(capture.take().size(), 1);
        QCOMPARE(rows(grid(&form)), 0);
    }

private:
    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<Stores> m_stores;
};

QTEST_MAIN(TestQueryForms)
#include "tst_queryforms.moc"
