#include "platform/filesync.h"

#include <QFileDevice>

#include <io.h>
#include <windows.h>

namespace corvane {

bool syncToDisk(QFileDevice &file)
{
    if (!file.flush())
        return false;
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(file.handle()));
    return handle != INVALID_HANDLE_VALUE && ::FlushFileBuffers(handle);
}

// NTFS keeps a folder's entries in its own journal: a created or renamed file
// is durable once its own data is.
bool syncFolder(const QString &)
{
    return true;
}

} // namespace corvane
