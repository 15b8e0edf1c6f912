#pragma once

#include <QStringList>

class QTextStream;

namespace corvane {

// The command that moves a desk's tel.mdb to the shared server:
//     Corvane --copy-to-server [--add-to-existing] [tel.mdb]
// The server is the one section [database] of zel.ini names; the file is the
// program folder's tel.mdb unless given. It refuses a server database that
// already holds customers unless --add-to-existing is given.
bool isServerCopyCommand(const QStringList &arguments);

// Runs the command (arguments as main() gets them, the program's name
// first): the counts go to `out`, a failure to `err`, both in Chinese and
// never with the password. Returns the exit status: 0 when the copy is on the
// server, otherwise non-zero and nothing was written.
int runServerCopyCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

// main()'s way in: no display is needed.
int runServerCopyCommand(int argc, char **argv);

} // namespace corvane
