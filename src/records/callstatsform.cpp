#include "records/callstatsform.h"

#include "core/callstats.h"
#include "desktop/filechooser.h"
#include "desktop/guard.h"
#include "desktop/messagebox.h"
#include "platform/failure.h"
#include "platform/programfolder.h"
#include "records/datepicker.h"
#include "records/formfont.h"
#include "records/placed.h"
#include "store/callerfiguresreader.h"
#include "widgets/barchart/barchart.h"
#include "widgets/drawing/colors.h"
#include "widgets/windowgeometry.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace corvane {

namespace {

constexpr int OuterWidth = 980;
constexpr int OuterHeight = 640;
constexpr int UpperPanelHeight = 44;
// Well inside the second a new call may take to show.
constexpr int RecountDelayMs = 250;

// The kinds of caller in the skin's colours: the highlight for customers,
// lighter for new numbers, the shadow for numbers nobody can call back.
std::vector<ChartSeries> kindSeries()
{
    const SkinColor highlight = SystemColor::Highlight;
    return {{CallStats::kindName(CallerKind::Customer), highlight.resolved()},
            {CallStats::kindName(CallerKind::NewNumber), blendToWhite(highlight, 55)},
            {CallStats::kindName(CallerKind::Withheld), SkinColor(SystemColor::BtnShadow).resolved()}};
}

std::vector<qint64> figuresOf(const KindCounts &counts)
{
    return {counts[CallerKind::Customer], counts[CallerKind::NewNumber], counts[CallerKind::Withheld]};
}

BarChart *chart(QWidget *parent, const char *name)
{
    auto *chart = new BarChart(parent);
    chart->setObjectName(QLatin1String(name));
    chart->setSeries(kindSeries());
    chart->setEmptyText(BarChart::tr("所选期间没有来电。"));
    return chart;
}

} // namespace

CallStatsForm::CallStatsForm(CallFiguresStore &store, CallerFiguresReader &callers, FileChooser &files,
                             std::function<void(qint64 customerId)> showCustomer,
                             std::function<QDate()> today, QWidget *parent)
    : QDialog(parent), m_store(store), m_callers(callers), m_files(files),
      m_showCustomer(std::move(showCustomer)), m_today(std::move(today)), m_recount(new QTimer(this))
{
    setObjectName(QStringLiteral("callStatsForm"));
    setWindowTitle(tr("来电统计"));
    setFont(songTi12());
    setOuterSize(this, OuterWidth, OuterHeight);

    auto *panel = new QWidget(this);
    panel->setFixedHeight(UpperPanelHeight);
    placed(new QLabel(tr("统计期间："), panel), "periodLabel", QRect(16, 12, 80, 20));
    m_periodBox = placed(new QComboBox(panel), "periodBox", QRect(96, 11, 100, 22));
    m_periodBox->addItems({tr("今天"), tr("本周"), tr("本月"), tr("近30天"), tr("今年"), tr("指定日期")});
    m_periodBox->setCurrentIndex(int(PeriodChoice::ThisMonth));
    m_firstDateEdit = datePicker(panel, "firstDateEdit", QRect(208, 12, 113, 20));
    placed(new QLabel(QStringLiteral("--"), panel), "dateRangeDash", QRect(328, 12, 16, 20));
    m_lastDateEdit = datePicker(panel, "lastDateEdit", QRect(348, 12, 113, 20));
    m_exportImageButton =
        placed(new QPushButton(tr("导出图片"), panel), "exportImageButton", QRect(480, 10, 85, 25));
    m_exportDataButton =
        placed(new QPushButton(tr("导出数据"), panel), "exportDataButton", QRect(576, 10, 85, 25));

    // What "导出图片" saves: the period, the totals and both charts.
    m_charts = new QWidget(this);
    m_charts->setObjectName(QStringLiteral("chartsPanel"));
    m_charts->setAutoFillBackground(true);
    m_periodLabel = new QLabel(m_charts);
    m_periodLabel->setObjectName(QStringLiteral("periodCaption"));
    m_totalsLabel = new QLabel(m_charts);
    m_totalsLabel->setObjectName(QStringLiteral("totalsLabel"));
    m_dayChart = chart(m_charts, "dayChart");
    m_hourChart = chart(m_charts, "hourChart");
    m_hourChart->setTitle(tr("各时段来电（0–23 时）"));
    auto *chartsLayout = new QVBoxLayout(m_charts);
    chartsLayout->setContentsMargins(8, 4, 8, 8);
    chartsLayout->addWidget(m_periodLabel);
    chartsLayout->addWidget(m_totalsLabel);
    chartsLayout->addWidget(m_dayChart, 1);
    chartsLayout->addWidget(m_hourChart, 1);

    m_topCallerList = new QTableWidget(0, 4, this);
    m_topCallerList->setObjectName(QStringLiteral("topCallerList"));
    m_topCallerList->setHorizontalHeaderLabels(
        {tr("客户编码"), tr("客户名称"), tr("来电次数"), tr("最后来电")});
    m_topCallerList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_topCallerList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_topCallerList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_topCallerList->verticalHeader()->hide();
    m_topCallerList->horizontalHeader()->setFont(songTi12());
    m_topCallerList->horizontalHeader()->setStretchLastSection(true);
    for (const auto &[column, width] : {std::pair(0, 64), std::pair(1, 110), std::pair(2, 64)})
        m_topCallerList->setColumnWidth(column, width);
    auto *topLabel = new QLabel(tr("来电最多的客户"), this);
    topLabel->setObjectName(QStringLiteral("topCallerLabel"));
    auto *topColumn = new QVBoxLayout;
    topColumn->setContentsMargins(0, 8, 8, 8);
    topColumn->addWidget(topLabel);
    topColumn->addWidget(m_topCallerList, 1);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->addWidget(m_charts, 1);
    body->addLayout(topColumn);
    m_topCallerList->setFixedWidth(390);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel);
    layout->addLayout(body, 1);
    setTabOrder(m_periodBox, m_firstDateEdit);
    setTabOrder(m_firstDateEdit, m_lastDateEdit);
    setTabOrder(m_lastDateEdit, m_exportImageButton);
    setTabOrder(m_exportImageButton, m_exportDataButton);
    setTabOrder(m_exportDataButton, m_topCallerList);

    m_recount->setSingleShot(true);
    m_recount->setInterval(RecountDelayMs);
    connect(m_recount, &QTimer::timeout, this, [this] {
        guarded([this] {
            if (isVisible())
                refresh();
        });
    });
    const auto onPeriod = [this] { guarded([this] { onPeriodChosen(); }); };
    connect(m_periodBox, &QComboBox::currentIndexChanged, this, onPeriod);
    connect(m_firstDateEdit, &QDateEdit::dateChanged, this, onPeriod);
    connect(m_lastDateEdit, &QDateEdit::dateChanged, this, onPeriod);
    connect(m_exportImageButton, &QPushButton::clicked, this,
            [this] { guarded([this] { onExportImageClicked(); }); });
    connect(m_exportDataButton, &QPushButton::clicked, this,
            [this] { guarded([this] { onExportDataClicked(); }); });
    connect(m_topCallerList, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        guarded([&] {
            if (row >= 0 && row < int(m_shownTopCallers.size()))
                if (const qint64 id = m_shownTopCallers[std::size_t(row)].customerId)
                    m_showCustomer(id);
        });
    });
    connect(&m_callers, &CallerFiguresReader::ready, this,
            [this](quint64 request, const CallerFigures &figures) {
                guarded([&] { onCallersRead(request, figures); });
            });
    connect(&m_callers, &CallerFiguresReader::failed, this, [this](quint64 request, const QString &reason) {
        if (m_stats && request == m_callersRequest) {
            m_stats->setCallersFailed(reason);
            m_totalsLabel->setText(m_stats->totalsLine());
        }
    });
}

CallStatsForm::~CallStatsForm() = default;

void CallStatsForm::bringForward()
{
    corvane::bringForward(this);
}

void CallStatsForm::onCallsChanged()
{
    if (isVisible() && !m_recount->isActive())
        m_recount->start();
}

void CallStatsForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guarded([this] {
        const QDate today = m_today();
        {
            const QSignalBlocker first(m_firstDateEdit), last(m_lastDateEdit);
            m_firstDateEdit->setDate(today.addDays(-7));
            m_lastDateEdit->setDate(today);
        }
        onPeriodChosen();
    });
}

CallPeriod CallStatsForm::period() const
{
    return CallPeriod::of(PeriodChoice(m_periodBox->currentIndex()), m_today(), m_firstDateEdit->date(),
                          m_lastDateEdit->date());
}

void CallStatsForm::onPeriodChosen()
{
    const bool dates = m_periodBox->currentIndex() == int(PeriodChoice::Dates);
    m_firstDateEdit->setEnabled(dates);
    m_lastDateEdit->setEnabled(dates);
    if (isVisible())
        refresh();
}

void CallStatsForm::refresh()
{
    const CallPeriod chosen = period();
    m_stats = std::make_unique<CallStats>(CallStats::readCounts(m_store, chosen));
    m_callersRequest = m_callers.read(chosen.first(), chosen.last());
    m_exportDataButton->setEnabled(false);
    showCounts();
}

void CallStatsForm::onCallersRead(quint64 request, const CallerFigures &callers)
{
    if (!m_stats || request != m_callersRequest)
        return;
    m_stats->setCallers(callers);
    m_exportDataButton->setEnabled(true);
    showCallers();
}

void CallStatsForm::showCounts()
{
    const CallStats &stats = *m_stats;
    const CallPeriod &period = stats.period();
    m_periodLabel->setText(tr("统计期间：%1").arg(period.caption()));
    m_totalsLabel->setText(stats.totalsLine());

    std::vector<ChartBar> days;
    QString before;
    for (const SlotCounts &slot : stats.everySlot()) {
        days.push_back({CallPeriod::slotCaption(slot.slot, before), figuresOf(slot.counts), slot.slot});
        before = slot.slot;
    }
    m_dayChart->setTitle(period.byMonth() ? tr("每月来电") : tr("每日来电"));
    m_dayChart->setBars(std::move(days));
    std::vector<ChartBar> hours;
    for (int hour = 0; hour < 24; ++hour)
        hours.push_back({QString::number(hour), figuresOf(stats.figures().byHour[std::size_t(hour)]),
                         tr("%1:00–%1:59").arg(hour)});
    m_hourChart->setBars(std::move(hours));
}

void CallStatsForm::showCallers()
{
    m_totalsLabel->setText(m_stats->totalsLine());
    m_shownTopCallers = m_stats->figures().callers.topCallers;
    const std::vector<TopCaller> &top = m_shownTopCallers;
    m_topCallerList->setRowCount(int(top.size()));
    for (int row = 0; row < int(top.size()); ++row) {
        const TopCaller &caller = top[std::size_t(row)];
        const QStringList cells{caller.code, caller.name, QString::number(caller.calls), caller.lastCall};
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            if (column == 2)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_topCallerList->setItem(row, column, item);
        }
    }
}

void CallStatsForm::onExportImageClicked()
{
    const QString path = m_files.fileToSave(this, tr("导出图片"), tr("来电统计.png"), tr("PNG 图片 (*.png)"));
    if (path.isEmpty())
        return;
    if (!m_charts->grab().save(path, "PNG")) {
        msg::show({tr("无法写入文件 %1，请换一个文件夹或文件名再试。").arg(QDir::toNativeSeparators(path)),
                   applicationTitle(), msg::Icon::Warning});
        return;
    }
    msg::show({tr("已导出图片到文件：\n%1").arg(QDir::toNativeSeparators(path)), applicationTitle(),
               msg::Icon::Information});
}

void CallStatsForm::onExportDataClicked()
{
    if (!m_stats || !m_stats->hasCallers())
        return;
    const QString path = m_files.fileToSave(this, tr("导出数据"), tr("来电统计.csv"), tr("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    try {
        m_stats->toFile(path);
        msg::show({tr("已导出来电统计到文件：\n%1").arg(QDir::toNativeSeparators(path)), applicationTitle(),
                   msg::Icon::Information});
    } catch (const Failure &failure) {
        msg::show({failure.message(), applicationTitle(), msg::Icon::Warning});
    }
}

} // namespace corvane
