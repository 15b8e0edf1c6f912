#include "core/callstats.h"

#include "core/csvfile.h"

namespace corvane {

CallStats::CallStats(const CallPeriod &period, CallFigures figures)
    : m_period(period), m_figures(std::move(figures))
{
}

CallStats CallStats::readCounts(CallFiguresStore &store, const CallPeriod &period)
{
    return {period, store.counts(period.first(), period.last(), period.byMonth())};
}

void CallStats::setCallers(CallerFigures callers)
{
    m_figures.callers = std::move(callers);
    m_hasCallers = true;
}

std::vector<SlotCounts> CallStats::everySlot() const
{
    std::vector<SlotCounts> slots;
    auto counted = m_figures.bySlot.begin();
    for (const QString &slot : m_period.slots()) {
        if (counted != m_figures.bySlot.end() && counted->slot == slot)
            slots.push_back(*counted++);
        else
            slots.push_back({slot, {}});
    }
    return slots;
}

QString CallStats::kindName(CallerKind kind)
{
    switch (kind) {
    case CallerKind::Customer:
        return tr("老客户");
    case CallerKind::NewNumber:
        return tr("新号码");
    case CallerKind::Withheld:
        break;
    }
    return tr("私人号码/号码不详");
}

QString CallStats::totalsLine() const
{
    if (!m_hasCallers) {
        const QString known = tr("来电 %1 次，未处理 %2 次").arg(m_figures.calls).arg(m_figures.notHandled);
        return m_callersFailure.isEmpty() ? known + tr("；号码正在统计……")
                                          : known + tr("；号码未能统计：%1").arg(m_callersFailure);
    }
    return tr("来电 %1 次，号码 %2 个，新号码存为客户 %3 个，未处理 %4 次")
        .arg(m_figures.calls)
        .arg(m_figures.callers.numbers)
        .arg(m_figures.callers.savedNumbers)
        .arg(m_figures.notHandled);
}

void CallStats::toFile(const QString &path) const
{
    CsvFile file(path);
    const auto put = [&file](const QStringList &fields) { file.put(fields); };
    const auto kindsOf = [](const KindCounts &counts) {
        return QStringList{QString::number(counts[CallerKind::Customer]),
                           QString::number(counts[CallerKind::NewNumber]),
                           QString::number(counts[CallerKind::Withheld]), QString::number(counts.total())};
    };
    const QStringList kinds{kindName(CallerKind::Customer), kindName(CallerKind::NewNumber),
                            kindName(CallerKind::Withheld), tr("合计")};
    put({tr("统计期间"), m_period.caption()});
    put({tr("来电"), QString::number(m_figures.calls)});
    put({tr("号码"), QString::number(m_figures.callers.numbers)});
    put({tr("新号码存为客户"), QString::number(m_figures.callers.savedNumbers)});
    put({tr("未处理"), QString::number(m_figures.notHandled)});
    put({});
    put(QStringList{m_period.byMonth() ? tr("月份") : tr("日期")} + kinds);
    for (const SlotCounts &slot : everySlot())
        put(QStringList{slot.slot} + kindsOf(slot.counts));
    put({});
    put(QStringList{tr("时段")} + kinds);
    for (int hour = 0; hour < 24; ++hour)
        put(QStringList{tr("%1时").arg(hour)} + kindsOf(m_figures.byHour[std::size_t(hour)]));
    put({});
    put({tr("客户编码"), tr("客户名称"), tr("来电次数"), tr("最后来电")});
    for (const TopCaller &caller : m_figures.callers.topCallers)
        put({caller.code, caller.name, QString::number(caller.calls), caller.lastCall});
    file.commit();
}

} // namespace corvane
