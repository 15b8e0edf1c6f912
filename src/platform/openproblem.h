#pragma once

#include <QString>

namespace corvane {

// Why a serial device could not be opened, as far as the system tells.
struct OpenProblem
{
    enum class Kind { Absent, NoPermission, Busy, Unknown };
    Kind kind = Kind::Unknown;
    QString device;
    // NoPermission: who runs the program, the group owning the device, and
    // whether that group may read and write it.
    QString user;
    QString group;
    bool groupMayUse = false;
    // Busy: the program holding the device, when it can be seen.
    QString holder;
    qint64 holderPid = 0;
    // Busy with no holder in sight (another user's process): ModemManager,
    // which holds modems on most desktops, is running.
    bool modemManagerRunning = false;
};

// Looks at the device after an opening failed: gone, not permitted, held by
// another program (found among the processes' open files), or none of these.
OpenProblem openProblem(const QString &device);

} // namespace corvane
