#include "records/queryform.h"

#include "desktop/guard.h"
#include "desktop/modalshow.h"
#include "records/dataset.h"
#include "records/datasource.h"
#include "records/dbgrid.h"
#include "records/formfont.h"
#include "records/pickcustomer.h"
#include "store/pagedquery.h"
#include "widgets/buttonedit/buttonedit.h"
#include "widgets/windowgeometry.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

QueryForm::QueryForm(CustomerStore &customers, int panelHeight, QWidget *parent)
    : QDialog(parent), m_customers(customers), m_results(new Dataset(this)),
      m_source(new DataSource(m_results, this)), m_panel(new QWidget(this))
{
    setFont(songTi12());
    m_panel->setFixedHeight(panelHeight);
    m_codeBox = new ButtonEdit(m_panel);
    m_codeBox->setObjectName(QStringLiteral("codeBox"));
    m_queryButton = new QPushButton(tr("查询"), m_panel);
    m_queryButton->setObjectName(QStringLiteral("queryButton"));
    m_grid = new DBGrid(m_source, this);
    m_grid->setObjectName(QStringLiteral("resultGrid"));
    m_grid->horizontalHeader()->setFont(songTi12());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_panel);
    layout->addWidget(m_grid);

    connect(m_codeBox, &ButtonEdit::buttonClick, this,
            [this] { guarded([this] { pickCustomerInto(this, m_customers, m_codeBox); }); });
    connect(m_queryButton, &QPushButton::clicked, this, [this] { guarded([this] { onQueryClicked(); }); });
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
    guarded([this] { onShown(); });
}

// The next showing starts empty anyway; until then a hidden window holds
// nothing of a result that may run to millions of rows.
void QueryForm::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    m_results->close();
}

void QueryForm::onShown()
{
    m_codeBox->setText(QString());
    m_results->close();
    m_queryButton->setFocus();
}

void QueryForm::onQueryClicked()
{
    m_results->setQuery(query());
    m_results->open();
}

} // namespace corvane
