#pragma once

#include <QString>
#include <QStringList>

namespace corvane {

// What the command line asks of this start.
struct CommandLine
{
    // --data DIR: the folder of tel.mdb, zel.ini and the ring sounds.
    QString dataFolder;
    // --tray: start in the tray, no window shown (as at login).
    bool intoTray = false;
    // --quit: ask the running copy to end, as a logoff ends it, and wait for
    // it (an installer does so before replacing the program).
    bool quitRunning = false;

    // --copy-to-server [--add-to-existing] [FILE]: copy a tel.mdb (FILE, or
    // the data folder's when empty) to the shared server instead of starting;
    // --add-to-existing adds to a server database that holds customers.
    bool copyToServer = false;
    bool addToExisting = false;
    QString copySource;

    // Set when the program is to end at once with `exitCode` after printing
    // `output` (help, version, or the message about a bad option).
    bool endNow = false;
    int exitCode = 0;
    QString output;
};

// Reads the arguments (the program's name first). Never ends the program
// itself: help, version and bad options come back as output and an exit
// code. Needs an application object (no display) for its texts.
CommandLine parseCommandLine(const QStringList &arguments);

} // namespace corvane
