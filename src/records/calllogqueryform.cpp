#include "records/calllogqueryform.h"

#include "records/datepicker.h"
#include "records/dbgrid.h"
#include "store/calllogstore.h"
#include "store/pagedquery.h"
#include "widgets/buttonedit/buttonedit.h"
#include "widgets/windowgeometry.h"

#include <QDate>
#include <QDateEdit>
#include <QPushButton>

namespace corvane {

namespace {

constexpr int OuterWidth = 705;
constexpr int OuterHeight = 450;
constexpr int UpperPanelHeight = 153;

} // namespace

CallLogQueryForm::CallLogQueryForm(CallLogStore &calls, CustomerStore &customers, QWidget *parent)
    : QueryForm(customers, UpperPanelHeight, parent), m_calls(calls)
{
    setObjectName(QStringLiteral("callLogQueryForm"));
    setWindowTitle(tr("来电显示明细记录查询"));
    setOuterSize(this, OuterWidth, OuterHeight);

    labelAt(tr("注意："), 8, 16);
    labelAt(tr("1,来电日期的起始与截止日期分别为本年的第一天和当天的日期。"), 56, 16);
    labelAt(tr("2,来电客户编码如果不输入，则表示查询所有的来电客户。"), 56, 32);
    labelAt(tr("3,点击来电客户编码后面输入框的按钮，则可以弹出输入参照窗体。"), 56, 48);
    labelAt(tr("4,再点击查询按钮，则可以查询出客户来电的祥细信息。"), 56, 64);
    labelAt(tr("来电日期："), 24, 88);
    m_firstDateEdit = datePicker(panel(), "firstDateEdit", QRect(120, 88, 97, 20));
    labelAt(QStringLiteral("-----------"), 224, 88);
    m_lastDateEdit = datePicker(panel(), "lastDateEdit", QRect(304, 88, 113, 20));
    labelAt(tr("来电客户编码："), 24, 120);
    codeBox()->setGeometry(120, 120, 201, 21);
    queryButton()->setGeometry(344, 120, 75, 25);
    setTabOrder(queryButton(), m_firstDateEdit);
    setTabOrder(m_firstDateEdit, m_lastDateEdit);
    setTabOrder(m_lastDateEdit, codeBox());

    grid()->addColumn(QStringLiteral("adate"), tr("来电日期"), 100);
    grid()->addColumn(QStringLiteral("atime"), tr("来电时间"), 100);
    grid()->addColumn(QStringLiteral("tel"), tr("来电号码"), 100);
    grid()->addColumn(QStringLiteral("customercode"), tr("客户编码"), 100);
    grid()->addColumn(QStringLiteral("customername"), tr("客户名称"), 200);
}

void CallLogQueryForm::onShown()
{
    QueryForm::onShown();
    const QDate today = QDate::currentDate();
    m_firstDateEdit->setDate(QDate(today.year(), 1, 1));
    m_lastDateEdit->setDate(today);
}

std::unique_ptr<PagedQuery> CallLogQueryForm::query() const
{
    return m_calls.callsBetween(m_firstDateEdit->date(), m_lastDateEdit->date(), codeBox()->text());
}

} // namespace corvane
