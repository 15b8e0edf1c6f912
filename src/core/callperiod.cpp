#include "core/callperiod.h"

namespace corvane {

CallPeriod::CallPeriod(const QDate &first, const QDate &last)
    : m_first(first), m_last(last), m_byMonth(first.daysTo(last) + 1 > MostDayBars)
{
}

CallPeriod CallPeriod::of(PeriodChoice choice, const QDate &today, const QDate &first, const QDate &last)
{
    switch (choice) {
    case PeriodChoice::Today:
        return {today, today};
    case PeriodChoice::ThisWeek:
        return {today.addDays(1 - today.dayOfWeek()), today};
    case PeriodChoice::ThisMonth:
        return {QDate(today.year(), today.month(), 1), today};
    case PeriodChoice::Last30Days:
        return {today.addDays(-29), today};
    case PeriodChoice::ThisYear:
        return {QDate(today.year(), 1, 1), today};
    case PeriodChoice::Dates:
        break;
    }
    if (!first.isValid() || !last.isValid())
        return {today, today};
    return first <= last ? CallPeriod(first, last) : CallPeriod(last, first);
}

QStringList CallPeriod::slots() const
{
    QStringList slots;
    if (m_byMonth) {
        for (QDate month(m_first.year(), m_first.month(), 1); month <= m_last; month = month.addMonths(1))
            slots.append(month.toString(QStringLiteral("yyyy-MM")));
    } else {
        for (QDate day = m_first; day <= m_last; day = day.addDays(1))
            slots.append(day.toString(QStringLiteral("yyyy-MM-dd")));
    }
    return slots;
}

QString CallPeriod::slotCaption(const QString &slot, const QString &before)
{
    const int month = QStringView(slot).mid(5, 2).toInt();
    const bool newYear = before.left(4) != slot.left(4);
    if (slot.size() == 7)
        return newYear ? tr("%1年%2月").arg(slot.left(4)).arg(month) : tr("%1月").arg(month);
    const int day = QStringView(slot).mid(8, 2).toInt();
    if (before.left(7) != slot.left(7))
        return tr("%1月%2日").arg(month).arg(day);
    return tr("%1日").arg(day);
}

QString CallPeriod::caption() const
{
    const QString format = QStringLiteral("yyyy-MM-dd");
    if (m_first == m_last)
        return m_first.toString(format);
    return tr("%1 至 %2").arg(m_first.toString(format), m_last.toString(format));
}

} // namespace corvane
