#pragma once

#include <QString>

namespace corvane {

// The folder of the running executable, ending in '/'. tel.mdb, zel.ini and the
// ring sounds are found there. Tests may point it elsewhere.
QString programFolder();
void setProgramFolder(const QString &folder);

// zel.ini in the program folder, where the line settings and the port devices are kept.
QString configFile();

// The application title: the executable's file name up to its first dot, every
// letter after the first in lower case. Caption of every message box.
QString applicationTitle();
QString applicationTitleFromPath(const QString &executablePath);

} // namespace corvane
