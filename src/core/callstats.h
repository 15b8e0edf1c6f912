#pragma once

#include "core/callperiod.h"
#include "store/callfigures.h"

#include <QCoreApplication>
#include <QString>

#include <vector>

namespace corvane {

class CallFiguresStore;

// The figures of one period as 来电统计 shows and exports them: the counts
// at once, the callers once they have been read.
class CallStats
{
    Q_DECLARE_TR_FUNCTIONS(corvane::CallStats)

public:
    // Reads the counts of the period from the store.
    static CallStats readCounts(CallFiguresStore &store, const CallPeriod &period);

    const CallPeriod &period() const { return m_period; }
    const CallFigures &figures() const { return m_figures; }
    bool hasCallers() const { return m_hasCallers; }
    void setCallers(CallerFigures callers);
    // The callers could not be read, for this reason.
    void setCallersFailed(const QString &reason) { m_callersFailure = reason; }

    // Every day or month of the period in order, those without calls too.
    std::vector<SlotCounts> everySlot() const;
    // The kinds of caller as the legend and the export name them.
    static QString kindName(CallerKind kind);
    // "来电 9 次，号码 5 个，…": the totals in one line; while the callers
    // are read, what is known and that the rest is on its way (or why it
    // is not coming).
    QString totalsLine() const;

    // Writes the figures, callers included, as comma-separated text with the
    // customer export's conventions (UTF-8 with a byte-order mark, Chinese
    // headings, CR LF, no cell a spreadsheet takes for a formula), whole or
    // not at all. Throws Failure with a message for the user when it cannot.
    void toFile(const QString &path) const;

private:
    CallStats(const CallPeriod &period, CallFigures figures);

    CallPeriod m_period;
    CallFigures m_figures;
    bool m_hasCallers = false;
    QString m_callersFailure;
};

} // namespace corvane
