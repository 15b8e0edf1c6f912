#include "records/customerqueryform.h"

#include "platform/modalshow.h"
#include "platform/guard.h"
#include "records/datamodule.h"
#include "records/dbgrid.h"
#include "records/formfont.h"
#include "records/pickcustomer.h"
#include "records/sqltext.h"
#include "widgets/buttonedit.h"
#include "widgets/windowgeometry.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

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

CustomerQueryForm::CustomerQueryForm(DataModule &data, QWidget *parent) : QDialog(parent), m_data(data)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(tr("客户资料明细查询"));
    setFont(songTi12());
    setOuterSize(this, OuterWidth, OuterHeight);

    auto *panel = new QWidget(this);
    panel->setFixedHeight(UpperPanelHeight);
    Label1 = new QLabel(
        tr("点击输入框后面的小方框可以参照选择。如果想查询所有的客户信息，则直接点击查询按钮即可。"), panel);
    Label1->move(16, 24);
    Label1->adjustSize();
    Label2 = new QLabel(tr("客户编码："), panel);
    Label2->move(24, 56);
    Label2->adjustSize();
    ButtonEdit2 = new ButtonEdit(panel);
    ButtonEdit2->setGeometry(104, 48, 201, 21);
    BitBtn1 = new QPushButton(tr("查询"), panel);
    BitBtn1->setGeometry(336, 48, 75, 25);
    setTabOrder(BitBtn1, ButtonEdit2);

    DBGrid1 = new DBGrid(data.DataSource3, this);
    DBGrid1->horizontalHeader()->setFont(songTi12());
    DBGrid1->addColumn(QStringLiteral("customercode"), tr("客户编码"), 80);
    DBGrid1->addColumn(QStringLiteral("customername"), tr("客户姓名"), 200);
    DBGrid1->addColumn(QStringLiteral("address"), tr("地址"), 200);
    DBGrid1->addColumn(QStringLiteral("code"), tr("邮编"), 50);
    DBGrid1->addColumn(QStringLiteral("person"), tr("联系人"), 50);
    DBGrid1->addColumn(QStringLiteral("tel"), tr("电话"), 100);
    DBGrid1->addColumn(QStringLiteral("email"), tr("电子邮箱"), 110);
    DBGrid1->addColumn(QStringLiteral("qq"), tr("qq号码"), 100);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel);
    layout->addWidget(DBGrid1);

    connect(ButtonEdit2, &ButtonEdit::buttonClick, this,
            [this](int index) { guarded([&] { ButtonEdit2ButtonClick(index); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn1Click(); }); });
}

int CustomerQueryForm::showModalFromMenu()
{
    centreOnScreen(this);
    return execModal(*this);
}

void CustomerQueryForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guarded([this] { FormShow(); });
}

void CustomerQueryForm::FormShow()
{
    ButtonEdit2->setText(QString());
    m_data.ADOQuery3->close();
    BitBtn1->setFocus();
}

void CustomerQueryForm::ButtonEdit2ButtonClick(int)
{
    pickCustomerInto(this, *m_data.ADOQuerycustomer, ButtonEdit2);
}

void CustomerQueryForm::BitBtn1Click()
{
    Dataset *query = m_data.ADOQuery3;
    query->close();
    query->setSql(customerQueryStatement(ButtonEdit2->text()));
    query->open();
}

} // namespace corvane
