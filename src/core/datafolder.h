#pragma once

#include <QString>

namespace corvane {

// First start in a data folder (one holding neither tel.mdb nor zel.ini):
// fills it from the defaults folder. Makes the folder, tel.mdb from the schema
// tel.sql, and copies zel.ini and the ring sounds (so the user may replace
// them); a file already there is kept. A folder already in use is left alone:
// a tel.mdb gone missing there is reported on opening, not quietly replaced by
// an empty one. Throws Failure, in Chinese, naming what could not be made.
void setUpDataFolder(const QString &dataFolder, const QString &defaultsFolder);

} // namespace corvane
