#pragma once

#include <QCoreApplication>
#include <QDate>
#include <QString>
#include <QStringList>

namespace corvane {

// The periods 来电统计 offers; Dates is the two dates the user picked.
enum class PeriodChoice { Today, ThisWeek, ThisMonth, Last30Days, ThisYear, Dates };

// The days a statistics window counts, both included, and whether its bars
// stand for days or, over a long period, for months.
class CallPeriod
{
    Q_DECLARE_TR_FUNCTIONS(corvane::CallPeriod)

public:
    // Over this many days a bar is a month: a year of days would be too thin
    // to read.
    static constexpr int MostDayBars = 62;

    // The week begins on Monday. Two dates picked the wrong way round are
    // taken the right way round.
    static CallPeriod of(PeriodChoice choice, const QDate &today, const QDate &first = {},
                         const QDate &last = {});

    QDate first() const { return m_first; }
    QDate last() const { return m_last; }
    bool byMonth() const { return m_byMonth; }

    // The bars, in order: yyyy-MM-dd of each day, or yyyy-MM of each month,
    // as the call times begin.
    QStringList slots() const;
    // The caption of a bar under the axis: "5日", "3月", with the month or the
    // year where it changes or at the first bar.
    static QString slotCaption(const QString &slot, const QString &before);
    // The period in words for the heading and the export, e.g.
    // "2025-03-01 至 2025-03-31".
    QString caption() const;

private:
    CallPeriod(const QDate &first, const QDate &last);

    QDate m_first;
    QDate m_last;
    bool m_byMonth = false;
};

} // namespace corvane
