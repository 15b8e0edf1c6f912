#pragma once

#include <QString>

namespace corvane {

// The folder where tel.mdb, zel.ini and the ring sounds are found, ending in
// '/': the executable's own folder unless start-up (or a test) chose another.
QString programFolder();
void setProgramFolder(const QString &folder);

// zel.ini in the program folder, where the line settings and the port devices are kept.
QString configFile();

// What decides where the data lives, gathered by the caller so the choice
// itself reads no environment.
struct DataFolderInputs
{
    QString executableFolder;
    // --data on the command line; empty when not given.
    QString requestedFolder;
    // $XDG_DATA_HOME, $HOME and %LOCALAPPDATA% as the environment has them.
    QString xdgDataHome;
    QString home;
    QString localAppData;
};

// The defaults of an installed copy (OS-specific), ending in '/'; empty
// otherwise, as in the build folder or a copied program folder. Linux: beside
// an executable in <prefix>/bin, <prefix>/share/corvane when it holds the
// database schema. Windows: the executable's own folder when it holds the
// schema and either its uninstaller (uninstall.exe, put there by the
// installer) or this user may not write there (Program Files).
QString installedDefaultsFolder(const QString &executableFolder);

// An installed copy's data folder for this user (OS-specific): Linux
// $XDG_DATA_HOME/corvane (~/.local/share/corvane when unset or not absolute),
// Windows %LOCALAPPDATA%\Corvane.
QString userDataFolder(const DataFolderInputs &inputs);

// A folder named with --data; otherwise, for an installed copy, the user's
// own data folder; otherwise the executable's folder, as a build or a copied
// program folder runs. Ends in '/'.
QString chooseDataFolder(const DataFolderInputs &inputs);

// The application title: the executable's file name up to its first dot, every
// letter after the first in lower case. Caption of every message box. An
// installed copy (its defaults beside it) is a lower-case command and bears
// the program's name instead, as its main window does.
QString applicationTitle();
QString applicationTitleFromPath(const QString &executablePath);

} // namespace corvane
