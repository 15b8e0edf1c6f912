#include "records/queryform.h"

#include "platform/guard.h"
#include "platform/modalshow.h"
#include "records/dataset.h"
#include "records/dbgrid.h"
#include "records/formfont.h"
#include "records/pickcustomer.h"
#include "widgets/buttonedit/buttonedit.h"
#include "widgets/windowgeometry.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

QueryForm::QueryForm(Dataset &customers, Dataset &query, DataSource *results, int panelHeight,
                     QWidget *parent)
    : QDialog(parent), m_customers(customers), m_query(query), m_panel(new QWidget(this))
{
    setFont(songTi12());
    m_panel->setFixedHeight(panelHeight);
    ButtonEdit2 = new ButtonEdit(m_panel);
    BitBtn1 = new QPushButton(tr("查询"), m_panel);
    DBGrid1 = new DBGrid(results, this);
    DBGrid1->horizontalHeader()->setFont(songTi12());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_panel);
    layout->addWidget(DBGrid1);

    connect(ButtonEdit2, &ButtonEdit::buttonClick, this,
            [this](int index) { guarded([&] { ButtonEdit2ButtonClick(index); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn1Click(); }); });
}

QLabel *QueryForm::labelAt(const QString &text, int left, int top) const
{
    auto *label = new QLabel(text, m_panel);
    label->move(left, top);
    label->adjustSize();
    return label;
}

int QueryForm::showModalFromMenu()
{
    centreOnScreen(this);
    return execModal(*this);
}

void QueryForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guarded([this] { FormShow(); });
}

void QueryForm::FormShow()
{
    ButtonEdit2->setText(QString());
    m_query.close();
    BitBtn1->setFocus();
}

void QueryForm::ButtonEdit2ButtonClick(int)
{
    pickCustomerInto(this, m_customers, ButtonEdit2);
}

void QueryForm::BitBtn1Click()
{
    m_query.close();
    m_query.setSql(statement());
    m_query.open();
}

} // namespace corvane
