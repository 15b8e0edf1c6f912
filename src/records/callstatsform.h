#pragma once

#include "store/callfigures.h"

#include <QDate>
#include <QDialog>

#include <functional>
#include <memory>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

namespace corvane {

class BarChart;
class CallerFiguresReader;
class CallFiguresStore;
class CallPeriod;
class CallStats;
class FileChooser;

// "来电统计": the calls of a period at a glance, a view of CallStats. The
// calls per day (per month over a long period) and per hour of the day as
// stacked bars by kind of caller, the totals, and the customers who called
// most, a double-click opening one in the entry form. The charts come at once
// from the store, the callers from the reader when they have been read. It
// follows new calls while open; "导出图片" saves the charts as PNG, "导出数据"
// the figures as CSV.
class CallStatsForm : public QDialog
{
    Q_OBJECT
public:
    CallStatsForm(CallFiguresStore &store, CallerFiguresReader &callers, FileChooser &files,
                  std::function<void(qint64 customerId)> showCustomer,
                  std::function<QDate()> today = &QDate::currentDate, QWidget *parent = nullptr);
    ~CallStatsForm() override;

    // Comes forward, shown beside the other windows.
    void bringForward();
    // Calls were written or shown: the figures are counted again shortly,
    // once for calls that come together (two desks, a backlog written).
    void onCallsChanged();

protected:
    void showEvent(QShowEvent *event) override;

private:
    CallPeriod period() const;
    void refresh();
    void onCallersRead(quint64 request, const CallerFigures &callers);
    void showCounts();
    void showCallers();
    void onPeriodChosen();
    void onExportImageClicked();
    void onExportDataClicked();

    CallFiguresStore &m_store;
    CallerFiguresReader &m_callers;
    quint64 m_callersRequest = 0;
    FileChooser &m_files;
    std::function<void(qint64)> m_showCustomer;
    std::function<QDate()> m_today;
    std::unique_ptr<CallStats> m_stats;
    // What the list shows: the last callers read, until the next arrive.
    std::vector<TopCaller> m_shownTopCallers;
    QTimer *m_recount;
    QComboBox *m_periodBox;
    QDateEdit *m_firstDateEdit;
    QDateEdit *m_lastDateEdit;
    QPushButton *m_exportImageButton;
    QPushButton *m_exportDataButton;
    QWidget *m_charts;
    QLabel *m_periodLabel;
    QLabel *m_totalsLabel;
    BarChart *m_dayChart;
    BarChart *m_hourChart;
    QTableWidget *m_topCallerList;
};

} // namespace corvane
