#pragma once

#include <QString>

namespace corvane {

class Connection;

// Copies the database of `connection` to the file `target` while the program
// goes on using it: the copy is one consistent state of the database, a call
// logged meanwhile is in it entirely or not at all. The copy is made next to
// the target and renamed into place, so an existing file is replaced only by a
// complete copy. Throws Failure with SQLite's message when it cannot be made.
void backupDatabase(Connection &connection, const QString &target);

} // namespace corvane
