#include "platform/filesync.h"

#include <QFile>
#include <QFileDevice>

#include <fcntl.h>
#include <unistd.h>

namespace corvane {

bool syncToDisk(QFileDevice &file)
{
    return file.flush() && ::fsync(file.handle()) == 0;
}

bool syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace corvane
