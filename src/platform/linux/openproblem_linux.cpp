#include "platform/openproblem.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

QString userName(uid_t uid)
{
    const passwd *entry = ::getpwuid(uid);
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(uid);
}

QString groupName(gid_t gid)
{
    const group *entry = ::getgrgid(gid);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(gid);
}

QStringList processIds()
{
    QStringList ids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ids.removeIf([](const QString &name) { return !name.front().isDigit(); });
    return ids;
}

QString commandOf(const QString &pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    return comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll().trimmed()) : QString();
}

// The first other process with the device open. Another user's open files
// cannot be seen, except by root.
bool findHolder(dev_t device, OpenProblem &problem)
{
    const QString self = QString::number(::getpid());
    for (const QString &pid : processIds()) {
        if (pid == self)
            continue;
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        for (const QString &fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            struct stat target
            {
            };
            if (::stat(QFile::encodeName(fds.filePath(fd)).constData(), &target) == 0 &&
                S_ISCHR(target.st_mode) && target.st_rdev == device) {
                problem.holder = commandOf(pid);
                problem.holderPid = pid.toLongLong();
                return true;
            }
        }
    }
    return false;
}

bool modemManagerRunning()
{
    const QStringList ids = processIds();
    return std::any_of(ids.begin(), ids.end(),
                       [](const QString &pid) { return commandOf(pid) == QLatin1String("ModemManager"); });
}

} // namespace

OpenProblem openProblem(const QString &device)
{
    OpenProblem problem;
    problem.device = device;
    const QByteArray path = QFile::encodeName(device);
    struct stat node
    {
    };
    if (::stat(path.constData(), &node) != 0) {
        problem.kind =
            errno == ENOENT || errno == ENOTDIR ? OpenProblem::Kind::Absent : OpenProblem::Kind::Unknown;
        return problem;
    }
    // The opening tried again here tells what the serial port library does
    // not: it reports refusal and a device held alike.
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const int error = errno;
    if (fd >= 0)
        ::close(fd);
    if (fd < 0 && (error == EACCES || error == EPERM)) {
        problem.kind = OpenProblem::Kind::NoPermission;
        problem.user = userName(::geteuid());
        problem.group = groupName(node.st_gid);
        problem.groupMayUse = (node.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
        return problem;
    }
    if (fd < 0 && (error == ENODEV || error == ENXIO)) {
        // The node outlived its device: a USB modem pulled out.
        problem.kind = OpenProblem::Kind::Absent;
        return problem;
    }
    // An exclusive opening refuses everyone else with EBUSY; a lock file
    // refuses only programs that honour it, so the open files tell.
    const bool held = findHolder(node.st_rdev, problem);
    if (held || (fd < 0 && error == EBUSY)) {
        problem.kind = OpenProblem::Kind::Busy;
        problem.modemManagerRunning = !held && modemManagerRunning();
    }
    return problem;
}

} // namespace corvane
