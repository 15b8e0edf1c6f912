#pragma once

// What a window would have been told by call desks, in the order they told it.

#include "core/calldesk.h"
#include "modemsim.h"

#include <QObject>
#include <QStringList>

#include <algorithm>
#include <functional>

namespace corvane::test {

// Entries: "arrived", "call <number> <date> <time>", "customer <code>",
// "newNumber", "notice <text>", "failed <message>".
class CallDeskLog
{
public:
    void watch(CallDesk &desk)
    {
        QObject::connect(&desk, &CallDesk::callArrived, &m_receiver,
                         [this] { m_entries.append(QStringLiteral("arrived")); });
        QObject::connect(&desk, &CallDesk::callShown, &m_receiver, [this](const CallerIdReport &call) {
            m_entries.append(QStringLiteral("call ") + call.number + QLatin1Char(' ') + call.dateText +
                             QLatin1Char(' ') + call.timeText);
        });
        QObject::connect(&desk, &CallDesk::customerShown, &m_receiver, [this](const Customer &customer) {
            m_entries.append(QStringLiteral("customer ") + customer.customerCode);
        });
        QObject::connect(&desk, &CallDesk::newNumber, &m_receiver, [this] {
            m_entries.append(QStringLiteral("newNumber"));
            if (m_duringNewNumber)
                m_duringNewNumber();
        });
        QObject::connect(&desk, &CallDesk::notice, &m_receiver,
                         [this](const QString &text) { m_entries.append(QStringLiteral("notice ") + text); });
        QObject::connect(&desk, &CallDesk::failed, &m_receiver, [this](const QString &message) {
            m_entries.append(QStringLiteral("failed ") + message);
        });
    }

    // Runs while a desk emits newNumber, as the window's message box would.
    void setDuringNewNumber(std::function<void()> action) { m_duringNewNumber = std::move(action); }

    const QStringList &entries() const { return m_entries; }
    void clear() { m_entries.clear(); }
    qsizetype countStartingWith(const QString &prefix) const
    {
        return std::count_if(m_entries.begin(), m_entries.end(),
                             [&prefix](const QString &entry) { return entry.startsWith(prefix); });
    }

    // The entry of a call reported today, as test::callerIdReport dates it.
    static QString shown(const QString &number, const QString &time = QStringLiteral("14:05"))
    {
        return QStringLiteral("call ") + number + QLatin1Char(' ') + todayText() + QLatin1Char(' ') + time;
    }

private:
    // Ends the connections when the log goes, whichever desk outlives it.
    QObject m_receiver;
    QStringList m_entries;
    std::function<void()> m_duringNewNumber;
};

} // namespace corvane::test
