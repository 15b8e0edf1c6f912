#include "records/customerqueryform.h"

#include "records/dbgrid.h"
#include "store/customerstore.h"
#include "store/pagedquery.h"
#include "widgets/buttonedit/buttonedit.h"
#include "widgets/windowgeometry.h"

#include <QPushButton>

namespace corvane {

namespace {

constexpr int OuterWidth = 611;
constexpr int OuterHeight = 391;
constexpr int UpperPanelHeight = 105;

} // namespace

CustomerQueryForm::CustomerQueryForm(CustomerStore &customers, QWidget *parent)
    : QueryForm(customers, UpperPanelHeight, parent), m_customers(customers)
{
    setObjectName(QStringLiteral("customerQueryForm"));
    setWindowTitle(tr("客户资料明细查询"));
    setOuterSize(this, OuterWidth, OuterHeight);

    labelAt(tr("点击输入框后面的小方框可以参照选择。如果想查询所有的客户信息，则直接点击查询按钮即可。"), 16,
            24);
    labelAt(tr("客户编码："), 24, 56);
    codeBox()->setGeometry(104, 48, 201, 21);
    queryButton()->setGeometry(336, 48, 75, 25);
    setTabOrder(queryButton(), codeBox());

    grid()->addColumn(QStringLiteral("customercode"), tr("客户编码"), 80);
    grid()->addColumn(QStringLiteral("customername"), tr("客户姓名"), 200);
    grid()->addColumn(QStringLiteral("address"), tr("地址"), 200);
    grid()->addColumn(QStringLiteral("code"), tr("邮编"), 50);
    grid()->addColumn(QStringLiteral("person"), tr("联系人"), 50);
    grid()->addColumn(QStringLiteral("tel"), tr("电话"), 100);
    grid()->addColumn(QStringLiteral("email"), tr("电子邮箱"), 110);
    grid()->addColumn(QStringLiteral("qq"), tr("qq号码"), 100);
}

std::unique_ptr<PagedQuery> CustomerQueryForm::query() const
{
    // Used as typed: not trimmed, and blanks count as a code.
    const QString code = codeBox()->text();
    return code.isEmpty() ? m_customers.allCustomers() : m_customers.customersWithCode(code);
}

} // namespace corvane
