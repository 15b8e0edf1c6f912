#include "records/customerqueryform.h"

#include "records/datamodule.h"
#include "records/dbgrid.h"
#include "records/sqltext.h"
#include "widgets/buttonedit/buttonedit.h"
#include "widgets/windowgeometry.h"

#include <QPushButton>

namespace corvane {

namespace {

constexpr int OuterWidth = 611;
constexpr int OuterHeight = 391;
constexpr int UpperPanelHeight = 105;

} // namespace

QString customerQueryStatement(const QString &code)
{
    QString statement = QStringLiteral("select * from customer");
    // Used as typed: not trimmed, and blanks count as a code.
    if (!code.isEmpty())
        statement += QStringLiteral(" where customercode=") + sqlText(code);
    return statement;
}

CustomerQueryForm::CustomerQueryForm(DataModule &data, QWidget *parent)
    : QueryForm(*data.ADOQuerycustomer, *data.ADOQuery3, data.DataSource3, UpperPanelHeight, parent)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(tr("客户资料明细查询"));
    setOuterSize(this, OuterWidth, OuterHeight);

    Label1 = labelAt(
        tr("点击输入框后面的小方框可以参照选择。如果想查询所有的客户信息，则直接点击查询按钮即可。"), 16, 24);
    Label2 = labelAt(tr("客户编码："), 24, 56);
    ButtonEdit2->setGeometry(104, 48, 201, 21);
    BitBtn1->setGeometry(336, 48, 75, 25);
    setTabOrder(BitBtn1, ButtonEdit2);

    DBGrid1->addColumn(QStringLiteral("customercode"), tr("客户编码"), 80);
    DBGrid1->addColumn(QStringLiteral("customername"), tr("客户姓名"), 200);
    DBGrid1->addColumn(QStringLiteral("address"), tr("地址"), 200);
    DBGrid1->addColumn(QStringLiteral("code"), tr("邮编"), 50);
    DBGrid1->addColumn(QStringLiteral("person"), tr("联系人"), 50);
    DBGrid1->addColumn(QStringLiteral("tel"), tr("电话"), 100);
    DBGrid1->addColumn(QStringLiteral("email"), tr("电子邮箱"), 110);
    DBGrid1->addColumn(QStringLiteral("qq"), tr("qq号码"), 100);
}

QString CustomerQueryForm::statement() const
{
    return customerQueryStatement(ButtonEdit2->text());
}

} // namespace corvane
