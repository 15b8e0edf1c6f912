#pragma once

#include "core/callperiod.h"
#include "store/callfigures.h"

#include <QCoreApplication>
#include <QString>

#include <vector>

namespace corvane {

class CallFiguresStore;

// The figures of one period as 来电统计 shows and exports them.
class CallStats
{
    Q_DECLARE_TR_FUNCTIONS(corvane::CallStats)

public:
    // Reads the figures of the period from the store.
    static CallStats read(CallFiguresStore &store, const CallPeriod &period);

    const CallPeriod &period() const { return m_period; }
    const CallFigures &figures() const { return m_figures; }

    // Every day or month of the period in order, those without calls too.
    std::vector<SlotCounts> everySlot() const;
    // The kinds of caller as the legend and the export name them.
    static QString kindName(CallerKind kind);
    // "来电 9 次，号码 5 个，…": the totals in one line.
    QString totalsLine() const;

    // Writes the figures as comma-separated text with the customer export's
    // conventions (UTF-8 with a byte-order mark, Chinese headings, CR LF, no
    // cell a spreadsheet takes for a formula), whole or not at all. Throws
    // Failure with a message for the user when it cannot.
    void toFile(const QString &path) const;

private:
    CallStats(const CallPeriod &period, CallFigures figures);

    CallPeriod m_period;
    CallFigures m_figures;
};

} // namespace corvane
