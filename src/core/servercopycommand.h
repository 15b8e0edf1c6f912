#pragma once

#include "store/servercopy.h"

#include <QString>

class QTextStream;

namespace corvane {

// What the command that moves a desk's tel.mdb to the shared server is asked:
//     Corvane --copy-to-server [--add-to-existing] [tel.mdb]
struct ServerCopyRequest
{
    // The file to copy; the program folder's tel.mdb when empty.
    QString file;
    // Refuse: a server database that already holds customers is left alone.
    ExistingCustomers existing = ExistingCustomers::Refuse;
};

// Runs the command onto the server that section [database] of zel.ini names:
// the counts go to `out`, a failure to `err`, both in Chinese and never with
// the password. Returns the exit status: 0 when the copy is on the server,
// otherwise non-zero and nothing was written.
int runServerCopyCommand(const ServerCopyRequest &request, QTextStream &out, QTextStream &err);

} // namespace corvane
