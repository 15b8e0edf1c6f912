#pragma once

#include <QString>

namespace corvane {

// What the line's number stands for. Exchanges send a letter or a word in
// its place when they have no number to give: P or PRIVATE (ANONYMOUS) when
// the caller withheld it, O or OUT-OF-AREA (UNAVAILABLE) when it is unknown.
enum class CallerNumberKind { Empty, Withheld, Unavailable, Number };

// Any case; blanks and line ends around the word do not count.
CallerNumberKind callerNumberKind(const QString &number);

// The text shown for the number: "私人号码", "号码不详", or the number itself.
QString shownNumber(const QString &number);

// The number a new customer is given from the call: none for a withheld or
// unknown one, which is no customer's number.
QString numberForNewCustomer(const QString &number);

} // namespace corvane
