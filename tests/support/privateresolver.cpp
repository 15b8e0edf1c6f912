#include "privateresolver.h"

#include <QFile>
#include <QFileInfo>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace corvane::test {

namespace {

// Anywhere on the loopback network will do; this one is not a usual resolver's.
const char *const ServerAddress = "127.53.0.1";
// Queries are given up soon, so that a test does not wait long for each.
const QByteArray ResolvConf = QByteArray("nameserver ") + ServerAddress + "\noptions timeout:2 attempts:1\n";
const char *const SystemFiles[] = {"/etc/resolv.conf", "/etc/hosts", "/etc/nsswitch.conf"};

bool writeFile(const QString &path, const QByteArray &bytes, QIODevice::OpenMode mode = QIODevice::WriteOnly)
{
    QFile file(path);
    return file.open(mode) && file.write(bytes) == bytes.size();
}

enum class SetUpStep { Done, Namespace, PrivateRoot, Files };

// Only system calls here: runs in the child of a threaded program.
SetUpStep enterPrivateFiles(const QList<QByteArray> &sources)
{
    if (::unshare(CLONE_NEWNS) != 0)
        return SetUpStep::Namespace;
    // Without it the bind mounts below would reach the machine's own /etc;
    // the root of a chroot is no mount point and cannot be made private.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return SetUpStep::PrivateRoot;
    for (std::size_t i = 0; i < std::size(SystemFiles); ++i)
        if (::mount(sources[qsizetype(i)].constData(), SystemFiles[i], nullptr, MS_BIND, nullptr) != 0)
            return SetUpStep::Files;
    return SetUpStep::Done;
}

// Whether a child can take the private files, found out in a child of its
// own that ends at once, so that the program is never started where it would
// end before it runs.
QString whyNoPrivateFiles(const QList<QByteArray> &sources)
{
    const pid_t child = ::fork();
    if (child < 0)
        return QStringLiteral("cannot start a process to try a mount namespace");
    if (child == 0)
        _exit(int(enterPrivateFiles(sources)));
    int status = 0;
    pid_t ended;
    while ((ended = ::waitpid(child, &status, 0)) < 0 && errno == EINTR) {
    }
    if (ended != child || !WIFEXITED(status))
        return QStringLiteral("the process trying a mount namespace did not end by itself");
    switch (SetUpStep(WEXITSTATUS(status))) {
    case SetUpStep::Done:
        return {};
    case SetUpStep::Namespace:
        return QStringLiteral("cannot make a mount namespace of its own");
    case SetUpStep::PrivateRoot:
        return QStringLiteral("cannot make / private in a mount namespace of its own (/ is no mount point, "
                              "as in a chroot)");
    case SetUpStep::Files:
        break;
    }
    return QStringLiteral("cannot put the resolver's files over the system's in a mount namespace");
}

} // namespace

PrivateResolver::PrivateResolver()
{
    if (geteuid() != 0) {
        m_unusable = QStringLiteral("a mount namespace of its own needs root");
        return;
    }
    if (!writeFile(m_dir.filePath(QStringLiteral("resolv.conf")), ResolvConf) ||
        !writeFile(m_dir.filePath(QStringLiteral("hosts")), "127.0.0.1 localhost\n") ||
        !writeFile(m_dir.filePath(QStringLiteral("nsswitch.conf")), "hosts: files dns\n")) {
        m_unusable = QStringLiteral("cannot write the resolver's files");
        return;
    }
    for (const char *file : SystemFiles)
        m_sources.append(QFile::encodeName(m_dir.filePath(QFileInfo(QLatin1String(file)).fileName())));
    m_unusable = whyNoPrivateFiles(m_sources);
    if (!m_unusable.isEmpty())
        return;
    m_silentSocket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int reuse = 1;
    ::setsockopt(m_silentSocket, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(53);
    ::inet_pton(AF_INET, ServerAddress, &address.sin_addr);
    if (::bind(m_silentSocket, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
        m_unusable = QStringLiteral("cannot take port 53 on %1").arg(QLatin1String(ServerAddress));
}

PrivateResolver::~PrivateResolver()
{
    if (m_silentSocket >= 0)
        ::close(m_silentSocket);
}

std::function<void()> PrivateResolver::childSetUp() const
{
    return [sources = m_sources] {
        if (enterPrivateFiles(sources) != SetUpStep::Done)
            _exit(127);
    };
}

void PrivateResolver::answer(const QString &name, const QString &address)
{
    // Appended in place: the file the program sees is this very one.
    writeFile(m_dir.filePath(QStringLiteral("hosts")),
              (address + QLatin1Char(' ') + name + QLatin1Char('\n')).toUtf8(), QIODevice::Append);
}

} // namespace corvane::test
