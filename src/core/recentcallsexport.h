#pragma once

#include <QCoreApplication>
#include <QDate>
#include <QString>

namespace corvane {

class RecentCallsStore;
struct RecentCallsFilter;

// The recent calls as the list shows them, filtered alike, in a
// comma-separated file with the customer export's conventions (UTF-8 with a
// byte-order mark, Chinese headings, CR LF). Written a page at a time, so
// millions of calls never sit in memory.
class RecentCallsExport
{
    Q_DECLARE_TR_FUNCTIONS(corvane::RecentCallsExport)

public:
    // Writes the file whole or not at all; returns how many calls it holds.
    // Throws Failure with a message for the user when it cannot.
    static qsizetype toFile(RecentCallsStore &store, const RecentCallsFilter &filter, const QDate &today,
                            const QString &path);
};

} // namespace corvane
