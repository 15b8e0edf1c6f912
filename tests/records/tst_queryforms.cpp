#include "records/calllogqueryform.h"
#include "records/customerpicker.h"
#include "records/customerqueryform.h"
#include "records/datamodule.h"
#include "records/dbgrid.h"
#include "records/sqltext.h"
#include "testsupport.h"
#include "widgets/buttonedit/buttonedit.h"
#include "widgets/facebutton/facebutton.h"

#include <QApplication>
#include <QDateEdit>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <memory>

using namespace corvane;

namespace {

void run(DataModule &data, const QString &statement)
{
    Dataset writer(data.ADOConnection1, {});
    writer.setSql(statement);
    writer.execute();
}

void addCustomer(DataModule &data, const QString &code, const QString &name, const QString &tel)
{
    run(data, QStringLiteral("insert into customer(customercode,customername,tel) values(") + sqlText(code) +
                  QLatin1Char(',') + sqlText(name) + QLatin1Char(',') + sqlText(tel) + QLatin1Char(')'));
}

void addCall(DataModule &data, const QDate &date, const QString &code)
{
    run(data, QStringLiteral("insert into detail(adate,atime,tel,customercode,customername) values(") +
                  sqlText(date.toString(QStringLiteral("yyyy-MM-dd"))) + QStringLiteral(",'09:30','555',") +
                  sqlText(code) + QStringLiteral(",'名')"));
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
void answerPicker(int row, FaceButton *CustomerPicker::*button = &CustomerPicker::FaceButton1)
{
    QTimer::singleShot(0, qApp, [row, button] {
        auto *picker = qobject_cast<CustomerPicker *>(QApplication::activeModalWidget());
        QVERIFY(picker);
        picker->ListView->setCurrentIndex(picker->ListView->model()->index(row, 0));
        QTest::mouseClick(picker->*button, Qt::LeftButton, {}, QPoint(5, 5));
    });
}

// Opens the picker with the box's button and chooses row `row` in it.
void pickRow(ButtonEdit *box, int row, FaceButton *CustomerPicker::*button = &CustomerPicker::FaceButton1)
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
        m_data = std::make_unique<DataModule>();
        m_data->ADOConnection1.setDatabasePath(m_folder->file(QStringLiteral("tel.mdb")));
        addCustomer(*m_data, QStringLiteral("K1"), QStringLiteral("客户一"), QStringLiteral("111"));
        addCustomer(*m_data, QStringLiteral("O'K"), QStringLiteral("客户二"), QStringLiteral("222"));
        addCustomer(*m_data, QStringLiteral("K3"), QStringLiteral("客户三"), QStringLiteral("333"));
    }

    void cleanup()
    {
        m_data.reset();
        m_folder.reset();
    }

    void customerQueryByCode()
    {
        CustomerQueryForm form(*m_data);
        form.show();
        QCOMPARE(form.windowTitle(), QStringLiteral("客户资料明细查询"));
        QCOMPARE(form.size() + QSize(8, 31), QSize(611, 391));
        QCOMPARE(rows(form.DBGrid1), 0);
        const QStringList titles{"客户编码", "客户姓名", "地址",     "邮编",
                                 "联系人",   "电话",     "电子邮箱", "qq号码"};
        const QList<int> widths{80, 200, 200, 50, 50, 100, 110, 100};
        for (int c = 0; c < titles.size(); ++c) {
            QCOMPARE(form.DBGrid1->model()->headerData(c, Qt::Horizontal).toString(), titles[c]);
            QCOMPARE(form.DBGrid1->columnWidth(c), widths[c]);
        }

        form.BitBtn1->click();
        QCOMPARE(column(form.DBGrid1, 0), (QStringList{"K1", "O'K", "K3"}));
        test::saveScreenshot(&form, QStringLiteral("customer-query.png"));

        test::MessageCapture capture;
        form.ButtonEdit2->setText(QStringLiteral("O'K"));
        form.BitBtn1->click();
        QCOMPARE(column(form.DBGrid1, 1), QStringList{"客户二"});
        form.ButtonEdit2->setText(QStringLiteral("nobody"));
        form.BitBtn1->click();
        QCOMPARE(rows(form.DBGrid1), 0);
        // Blanks are a code of their own, not "all".
        form.ButtonEdit2->setText(QStringLiteral("  "));
        form.BitBtn1->click();
        QCOMPARE(rows(form.DBGrid1), 0);
        form.ButtonEdit2->setText(QStringLiteral("x' or '1'='1"));
        form.BitBtn1->click();
        QCOMPARE(rows(form.DBGrid1), 0);
        QCOMPARE(capture.take().size(), 0);
    }

    void customerQueryShowingResets()
    {
        CustomerQueryForm form(*m_data);
        form.show();
        form.ButtonEdit2->setText(QStringLiteral("K1"));
        form.BitBtn1->click();
        QCOMPARE(rows(form.DBGrid1), 1);
        form.hide();
        form.show();
        QCOMPARE(form.ButtonEdit2->text(), QString());
        QCOMPARE(rows(form.DBGrid1), 0);
    }

    void customerQueryTakesThePickersChoice()
    {
        CustomerQueryForm form(*m_data);
        form.show();
        pickRow(form.ButtonEdit2, 2);
        QCOMPARE(form.ButtonEdit2->text(), QStringLiteral("K3"));
        pickRow(form.ButtonEdit2, 0, &CustomerPicker::FaceButton2);
        QCOMPARE(form.ButtonEdit2->text(), QStringLiteral("K3"));
        form.BitBtn1->click();
        QCOMPARE(column(form.DBGrid1, 0), QStringList{"K3"});
        // Ctrl+Enter in the box opens the picker too.
        answerPicker(1);
        QTest::keyClick(form.ButtonEdit2, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(form.ButtonEdit2->text(), QStringLiteral("O'K"));
    }

    void callLogDefaultRangeIsThisYearToToday()
    {
        const QDate today = QDate::currentDate();
        const QDate newYear(today.year(), 1, 1);
        addCall(*m_data, newYear.addDays(-1), QStringLiteral("K1"));
        addCall(*m_data, newYear, QStringLiteral("K1"));
        addCall(*m_data, today, QStringLiteral("O'K"));
        addCall(*m_data, today.addDays(1), QStringLiteral("K1"));

        CallLogQueryForm form(*m_data);
        form.show();
        QCOMPARE(form.windowTitle(), QStringLiteral("来电显示明细记录查询"));
        QCOMPARE(form.size() + QSize(8, 31), QSize(705, 450));
        QCOMPARE(form.dp1->date(), newYear);
        QCOMPARE(form.dp2->date(), today);
        QCOMPARE(form.dp1->displayFormat(), QLocale().dateFormat(QLocale::ShortFormat));
        QVERIFY(form.dp1->calendarPopup());
        const QStringList titles{"来电日期", "来电时间", "来电号码", "客户编码", "客户名称"};
        for (int c = 0; c < titles.size(); ++c)
            QCOMPARE(form.DBGrid1->model()->headerData(c, Qt::Horizontal).toString(), titles[c]);
        QCOMPARE(form.DBGrid1->columnWidth(4), 200);

        form.BitBtn1->click();
        const QString fmt = QStringLiteral("yyyy-MM-dd");
        QStringList expected{newYear.toString(fmt), today.toString(fmt)};
        expected.removeDuplicates();
        QCOMPARE(column(form.DBGrid1, 0), expected);
        test::saveScreenshot(&form, QStringLiteral("call-log-query.png"));
    }

    void callLogRangesAndCodes()
    {
        addCall(*m_data, QDate(2024, 2, 28), QStringLiteral("K1"));
        addCall(*m_data, QDate(2024, 2, 29), QStringLiteral("K1"));
        addCall(*m_data, QDate(2024, 2, 29), QStringLiteral("O'K"));
        addCall(*m_data, QDate(2024, 3, 1), QStringLiteral("K1"));
        addCall(*m_data, QDate(2024, 10, 1), QStringLiteral("K1"));

        test::MessageCapture capture;
        CallLogQueryForm form(*m_data);
        form.show();
        form.dp1->setDate(QDate(2024, 2, 29));
        form.dp2->setDate(QDate(2024, 2, 29));
        form.BitBtn1->click();
        QCOMPARE(column(form.DBGrid1, 3), (QStringList{"K1", "O'K"}));

        form.ButtonEdit2->setText(QStringLiteral("O'K"));
        form.BitBtn1->click();
        QCOMPARE(column(form.DBGrid1, 3), QStringList{"O'K"});

        // October sorts after March as text only with two-digit months.
        form.ButtonEdit2->setText(QString());
        form.dp1->setDate(QDate(2024, 3, 1));
        form.dp2->setDate(QDate(2024, 12, 31));
        form.BitBtn1->click();
        QCOMPARE(column(form.DBGrid1, 0), (QStringList{"2024-03-01", "2024-10-01"}));

        form.dp1->setDate(QDate(2024, 3, 2));
        form.dp2->setDate(QDate(2024, 3, 1));
        form.BitBtn1->click();
        QCOMPARE(rows(form.DBGrid1), 0);

        form.dp1->setDate(QDate(2024, 1, 1));
        form.ButtonEdit2->setText(QStringLiteral("never"));
        form.BitBtn1->click();
        QCOMPARE(rows(form.DBGrid1), 0);
        QCOMPARE(capture.take().size(), 0);
    }

    void callLogShowingResetsAndPickerFillsTheBox()
    {
        const QDate today = QDate::currentDate();
        addCall(*m_data, today, QStringLiteral("K3"));
        CallLogQueryForm form(*m_data);
        form.show();
        form.BitBtn1->click();
        QCOMPARE(rows(form.DBGrid1), 1);
        form.dp1->setDate(QDate(2000, 5, 5));
        form.dp2->setDate(QDate(2000, 6, 6));
        form.ButtonEdit2->setText(QStringLiteral("typed"));
        form.hide();
        form.show();
        QCOMPARE(form.dp1->date(), QDate(today.year(), 1, 1));
        QCOMPARE(form.dp2->date(), today);
        QCOMPARE(form.ButtonEdit2->text(), QString());
        QCOMPARE(rows(form.DBGrid1), 0);

        pickRow(form.ButtonEdit2, 2);
        QCOMPARE(form.ButtonEdit2->text(), QStringLiteral("K3"));
        form.BitBtn1->click();
        QCOMPARE(column(form.DBGrid1, 3), QStringList{"K3"});
    }

    void databaseErrorLeavesTheGridEmpty()
    {
        CustomerQueryForm form(*m_data);
        form.show();
        form.BitBtn1->click();
        QCOMPARE(rows(form.DBGrid1), 3);
        test::MessageCapture capture;
        m_data->ADOConnection1.setDatabasePath(m_folder->file(QStringLiteral("missing.mdb")));
        form.BitBtn1->click();
        QCOMPARE(capture.take().size(), 1);
        QCOMPARE(rows(form.DBGrid1), 0);
    }

private:
    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<DataModule> m_data;
};

QTEST_MAIN(TestQueryForms)
#include "tst_queryforms.moc"
