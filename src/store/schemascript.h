#pragma once

#include <QString>

namespace corvane {

// Makes a new SQLite database at `path` by running `script` (statements
// separated by ';'). It is built under another name and renamed into place,
// so `path` never holds a half-made database. Throws Failure with SQLite's
// message when the script fails or the file cannot be written.
void createDatabaseFromScript(const QString &path, const QString &script);

} // namespace corvane
