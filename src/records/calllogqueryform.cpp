#include "records/calllogqueryform.h"

#include "records/datamodule.h"
#include "records/dbgrid.h"
#include "records/sqltext.h"
#include "widgets/buttonedit/buttonedit.h"
#include "widgets/calendarframe.h"
#include "widgets/windowgeometry.h"

#include <QCalendarWidget>
#include <QDate>
#include <QDateEdit>
#include <QLocale>
#include <QPushButton>

namespace corvane {

namespace {

constexpr int OuterWidth = 705;
constexpr int OuterHeight = 450;
constexpr int UpperPanelHeight = 153;

QDateEdit *datePicker(QWidget *parent, int left, int width)
{
    auto *picker = new QDateEdit(parent);
    picker->setGeometry(left, 88, width, 20);
    picker->setCalendarPopup(true);
    frameCalendarPopup(picker);
    // The program's language decides the form (yyyy/M/d in Chinese), not the
    // system's; the week starts on Monday, as calendars in China do.
    picker->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    picker->calendarWidget()->setFirstDayOfWeek(Qt::Monday);
    return picker;
}

} // namespace

QString callLogQueryStatement(const QDate &first, const QDate &last, const QString &code)
{
    // adate holds yyyy-MM-dd text, which sorts as the dates do; bounds in the
    // same form make the text comparison a date comparison. The user's short
    // date format (d/M/yy and the like) would not.
    const QString dateForm = QStringLiteral("yyyy-MM-dd");
    QString statement = QStringLiteral("select * from detail where adate >=") +
                        sqlText(first.toString(dateForm)) + QStringLiteral(" and adate <=") +
                        sqlText(last.toString(dateForm));
    // Used as typed: not trimmed, and blanks count as a code.
    if (!code.isEmpty())
        statement += QStringLiteral(" and customercode = ") + sqlText(code);
    return statement;
}

CallLogQueryForm::CallLogQueryForm(DataModule &data, QWidget *parent)
    : QueryForm(*data.ADOQuerycustomer, *data.ADOQuery2, data.DataSource2, UpperPanelHeight, parent)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(tr("来电显示明细记录查询"));
    setOuterSize(this, OuterWidth, OuterHeight);

    Label8 = labelAt(tr("注意："), 8, 16);
    Label3 = labelAt(tr("1,来电日期的起始与截止日期分别为本年的第一天和当天的日期。"), 56, 16);
    Label4 = labelAt(tr("2,来电客户编码如果不输入，则表示查询所有的来电客户。"), 56, 32);
    Label5 = labelAt(tr("3,点击来电客户编码后面输入框的按钮，则可以弹出输入参照窗体。"), 56, 48);
    Label7 = labelAt(tr("4,再点击查询按钮，则可以查询出客户来电的祥细信息。"), 56, 64);
    Label1 = labelAt(tr("来电日期："), 24, 88);
    dp1 = datePicker(panel(), 120, 97);
    Label6 = labelAt(QStringLiteral("-----------"), 224, 88);
    dp2 = datePicker(panel(), 304, 113);
    Label2 = labelAt(tr("来电客户编码："), 24, 120);
    ButtonEdit2->setGeometry(120, 120, 201, 21);
    BitBtn1->setGeometry(344, 120, 75, 25);
    setTabOrder(BitBtn1, dp1);
    setTabOrder(dp1, dp2);
    setTabOrder(dp2, ButtonEdit2);

    DBGrid1->addColumn(QStringLiteral("adate"), tr("来电日期"), 100);
    DBGrid1->addColumn(QStringLiteral("atime"), tr("来电时间"), 100);
    DBGrid1->addColumn(QStringLiteral("tel"), tr("来电号码"), 100);
    DBGrid1->addColumn(QStringLiteral("customercode"), tr("客户编码"), 100);
    DBGrid1->addColumn(QStringLiteral("customername"), tr("客户名称"), 200);
}

void CallLogQueryForm::FormShow()
{
    QueryForm::FormShow();
    const QDate today = QDate::currentDate();
    dp1->setDate(QDate(today.year(), 1, 1));
    dp2->setDate(today);
}

QString CallLogQueryForm::statement() const
{
    return callLogQueryStatement(dp1->date(), dp2->date(), ButtonEdit2->text());
}

} // namespace corvane
