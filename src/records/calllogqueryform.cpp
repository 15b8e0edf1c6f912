#include "records/calllogqueryform.h"

#include "platform/modalshow.h"
#include "platform/guard.h"
#include "records/datamodule.h"
#include "records/dbgrid.h"
#include "records/formfont.h"
#include "records/pickcustomer.h"
#include "records/sqltext.h"
#include "widgets/buttonedit.h"
#include "widgets/windowgeometry.h"

#include <QDate>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

namespace {

constexpr int OuterWidth = 705;
constexpr int OuterHeight = 450;
constexpr int UpperPanelHeight = 153;

QLabel *labelAt(QWidget *parent, const QString &text, int left, int top)
{
    auto *label = new QLabel(text, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QDateEdit *datePicker(QWidget *parent, int left, int width)
{
    auto *picker = new QDateEdit(parent);
    picker->setGeometry(left, 88, width, 20);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QLocale::system().dateFormat(QLocale::ShortFormat));
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

CallLogQueryForm::CallLogQueryForm(DataModule &data, QWidget *parent) : QDialog(parent), m_data(data)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(tr("来电显示明细记录查询"));
    setFont(songTi12());
    setOuterSize(this, OuterWidth, OuterHeight);

    auto *panel = new QWidget(this);
    panel->setFixedHeight(UpperPanelHeight);
    Label8 = labelAt(panel, tr("注意："), 8, 16);
    Label3 = labelAt(panel, tr("1,来电日期的起始与截止日期分别为本年的第一天和当天的日期。"), 56, 16);
    Label4 = labelAt(panel, tr("2,来电客户编码如果不输入，则表示查询所有的来电客户。"), 56, 32);
    Label5 = labelAt(panel, tr("3,点击来电客户编码后面输入框的按钮，则可以弹出输入参照窗体。"), 56, 48);
    Label7 = labelAt(panel, tr("4,再点击查询按钮，则可以查询出客户来电的祥细信息。"), 56, 64);
    Label1 = labelAt(panel, tr("来电日期："), 24, 88);
    dp1 = datePicker(panel, 120, 97);
    Label6 = labelAt(panel, QStringLiteral("-----------"), 224, 88);
    dp2 = datePicker(panel, 304, 113);
    Label2 = labelAt(panel, tr("来电客户编码："), 24, 120);
    ButtonEdit2 = new ButtonEdit(panel);
    ButtonEdit2->setGeometry(120, 120, 201, 21);
    BitBtn1 = new QPushButton(tr("查询"), panel);
    BitBtn1->setGeometry(344, 120, 75, 25);
    setTabOrder(BitBtn1, dp1);
    setTabOrder(dp1, dp2);
    setTabOrder(dp2, ButtonEdit2);

    DBGrid1 = new DBGrid(data.DataSource2, this);
    DBGrid1->horizontalHeader()->setFont(songTi12());
    DBGrid1->addColumn(QStringLiteral("adate"), tr("来电日期"), 100);
    DBGrid1->addColumn(QStringLiteral("atime"), tr("来电时间"), 100);
    DBGrid1->addColumn(QStringLiteral("tel"), tr("来电号码"), 100);
    DBGrid1->addColumn(QStringLiteral("customercode"), tr("客户编码"), 100);
    DBGrid1->addColumn(QStringLiteral("customername"), tr("客户名称"), 200);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel);
    layout->addWidget(DBGrid1);

    connect(ButtonEdit2, &ButtonEdit::buttonClick, this,
            [this](int index) { guarded([&] { ButtonEdit2ButtonClick(index); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn1Click(); }); });
}

int CallLogQueryForm::showModalFromMenu()
{
    centreOnScreen(this);
    return execModal(*this);
}

void CallLogQueryForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guarded([this] { FormShow(); });
}

void CallLogQueryForm::FormShow()
{
    ButtonEdit2->setText(QString());
    m_data.ADOQuery2->close();
    const QDate today = QDate::currentDate();
    dp1->setDate(QDate(today.year(), 1, 1));
    dp2->setDate(today);
    BitBtn1->setFocus();
}

void CallLogQueryForm::ButtonEdit2ButtonClick(int)
{
    pickCustomerInto(this, *m_data.ADOQuerycustomer, ButtonEdit2);
}

void CallLogQueryForm::BitBtn1Click()
{
    Dataset *query = m_data.ADOQuery2;
    query->close();
    query->setSql(callLogQueryStatement(dp1->date(), dp2->date(), ButtonEdit2->text()));
    query->open();
}

} // namespace corvane
