#include "records/recentcallsform.h"

#include "core/callernumber.h"
#include "core/recentcallsexport.h"
#include "desktop/filechooser.h"
#include "desktop/guard.h"
#include "desktop/messagebox.h"
#include "platform/failure.h"
#include "platform/programfolder.h"
#include "records/datepicker.h"
#include "records/formfont.h"
#include "records/notedelegate.h"
#include "records/pickcustomer.h"
#include "records/placed.h"
#include "records/recentcallsmodel.h"
#include "store/recentcallsstore.h"
#include "widgets/buttonedit/buttonedit.h"
#include "widgets/windowgeometry.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace corvane {

namespace {

constexpr int OuterWidth = 705;
constexpr int OuterHeight = 450;
constexpr int UpperPanelHeight = 80;

} // namespace

RecentCallsForm::RecentCallsForm(RecentCallsStore &calls, CustomerStore &customers, FileChooser &files,
                                 Callers callers, QWidget *parent)
    : QDialog(parent), m_calls(calls), m_customers(customers), m_files(files), m_callers(std::move(callers)),
      m_model(new RecentCallsModel(calls, &QDate::currentDate, this))
{
    setObjectName(QStringLiteral("recentCallsForm"));
    setWindowTitle(tr("最近来电"));
    setFont(songTi12());
    setOuterSize(this, OuterWidth, OuterHeight);

    auto *panel = new QWidget(this);
    panel->setFixedHeight(UpperPanelHeight);
    m_todayBox = placed(new QCheckBox(tr("今天"), panel), "todayBox", QRect(16, 12, 64, 20));
    m_notHandledBox = placed(new QCheckBox(tr("未处理"), panel), "notHandledBox", QRect(88, 12, 80, 20));
    m_dateRangeBox = placed(new QCheckBox(tr("来电日期："), panel), "dateRangeBox", QRect(176, 12, 100, 20));
    m_firstDateEdit = datePicker(panel, "firstDateEdit", QRect(280, 12, 113, 20));
    placed(new QLabel(QStringLiteral("--"), panel), "dateRangeDash", QRect(400, 12, 16, 20));
    m_lastDateEdit = datePicker(panel, "lastDateEdit", QRect(420, 12, 113, 20));
    placed(new QLabel(tr("号码："), panel), "numberLabel", QRect(16, 46, 48, 20));
    m_numberEdit = placed(new QLineEdit(panel), "numberEdit", QRect(64, 46, 129, 21));
    placed(new QLabel(tr("客户编码："), panel), "codeLabel", QRect(208, 46, 80, 20));
    m_codeBox = placed(new ButtonEdit(panel), "codeBox", QRect(288, 46, 145, 21));
    m_queryButton = placed(new QPushButton(tr("查询"), panel), "queryButton", QRect(456, 44, 75, 25));
    m_exportButton = placed(new QPushButton(tr("导出"), panel), "exportButton", QRect(544, 44, 75, 25));

    m_callList = new QTableView(this);
    m_callList->setObjectName(QStringLiteral("callList"));
    m_callList->setModel(m_model);
    m_callList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_callList->setSelectionMode(QAbstractItemView::SingleSelection);
    // A double-click opens the caller; the note is typed into at once.
    m_callList->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    m_callList->setItemDelegateForColumn(RecentCallsModel::Note, new NoteDelegate(m_callList));
    m_callList->verticalHeader()->hide();
    m_callList->horizontalHeader()->setFont(songTi12());
    m_callList->horizontalHeader()->setStretchLastSection(true);
    for (const auto &[column, width] :
         {std::pair(RecentCallsModel::Time, 150), std::pair(RecentCallsModel::Number, 120),
          std::pair(RecentCallsModel::Caller, 200), std::pair(RecentCallsModel::Handled, 60)})
        m_callList->setColumnWidth(column, width);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel);
    layout->addWidget(m_callList);
    setTabOrder(m_todayBox, m_notHandledBox);
    setTabOrder(m_notHandledBox, m_dateRangeBox);
    setTabOrder(m_dateRangeBox, m_firstDateEdit);
    setTabOrder(m_firstDateEdit, m_lastDateEdit);
    setTabOrder(m_lastDateEdit, m_numberEdit);
    setTabOrder(m_numberEdit, m_codeBox);
    setTabOrder(m_codeBox, m_queryButton);
    setTabOrder(m_queryButton, m_exportButton);
    setTabOrder(m_exportButton, m_callList);

    connect(m_codeBox, &ButtonEdit::buttonClick, this,
            [this] { guarded([this] { pickCustomerInto(this, m_customers, m_codeBox); }); });
    connect(m_queryButton, &QPushButton::clicked, this, [this] { guarded([this] { onQueryClicked(); }); });
    connect(m_exportButton, &QPushButton::clicked, this, [this] { guarded([this] { onExportClicked(); }); });
    connect(m_callList, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { guarded([&] { onCallActivated(index); }); });
    connect(m_model, &RecentCallsModel::failed, this, [](const QString &message) { msg::error(message); });
    connect(m_model, &RecentCallsModel::edited, this, &RecentCallsForm::callEdited);
}

void RecentCallsForm::bringForward()
{
    corvane::bringForward(this);
}

void RecentCallsForm::onCallsChanged()
{
    if (!isVisible())
        return;
    const int last = m_callList->rowAt(m_callList->viewport()->height() - 1);
    // Below the last row the list ends on the screen.
    m_model->refresh(std::max(m_callList->rowAt(0), 0), last < 0 ? std::numeric_limits<int>::max() : last);
}

void RecentCallsForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guarded([this] {
        const QDate today = QDate::currentDate();
        m_firstDateEdit->setDate(today.addDays(-7));
        m_lastDateEdit->setDate(today);
        m_model->setFilter(filter());
        m_callList->setFocus();
    });
}

// A hidden window holds nothing of a list that may run to millions of calls.
void RecentCallsForm::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    m_model->clear();
}

RecentCallsFilter RecentCallsForm::filter() const
{
    RecentCallsFilter filter;
    filter.today = m_todayBox->isChecked();
    filter.notHandled = m_notHandledBox->isChecked();
    if (m_dateRangeBox->isChecked()) {
        filter.first = m_firstDateEdit->date();
        filter.last = m_lastDateEdit->date();
    }
    filter.number = m_numberEdit->text();
    filter.customerCode = m_codeBox->text().trimmed();
    return filter;
}

void RecentCallsForm::onQueryClicked()
{
    m_model->setFilter(filter());
}

void RecentCallsForm::onExportClicked()
{
    const QString path =
        m_files.fileToSave(this, tr("导出最近来电"), tr("最近来电.csv"), tr("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    try {
        const qsizetype count =
            RecentCallsExport::toFile(m_calls, m_model->filter(), QDate::currentDate(), path);
        msg::show({tr("已导出 %1 个来电到文件：\n%2").arg(count).arg(QDir::toNativeSeparators(path)),
                   applicationTitle(), msg::Icon::Information});
    } catch (const Failure &failure) {
        msg::show({failure.message(), applicationTitle(), msg::Icon::Warning});
    }
}

void RecentCallsForm::onCallActivated(const QModelIndex &index)
{
    if (!index.isValid() || index.column() == RecentCallsModel::Note ||
        index.column() == RecentCallsModel::Handled)
        return;
    if (const qint64 customer = m_model->customerAt(index.row()))
        m_callers.showCustomer(customer);
    else
        m_callers.enterNewNumber(numberForNewCustomer(m_model->numberAt(index.row())));
}

} // namespace corvane
