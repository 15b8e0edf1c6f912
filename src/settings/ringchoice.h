#pragma once

#include <QString>

namespace corvane {

class Connection;
class Dataset;

// Makes ring `code` the current ring in table ring: every flag to "0", then
// "1" on the row of that code. Both statements run in one transaction, so a
// failure of the second leaves the previous choice in place; the failure is
// thrown on. An empty code leaves no ring current.
void saveRingChoice(Connection &connection, Dataset &scratch, const QString &code);

} // namespace corvane
