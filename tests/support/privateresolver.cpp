#include "privateresolver.h"

#include <QFile>
#include <QFileInfo>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
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
    QList<QByteArray> sources;
    for (const char *file : SystemFiles)
        sources.append(QFile::encodeName(m_dir.filePath(QFileInfo(QLatin1String(file)).fileName())));
    return [sources] {
        // Only system calls here: the child of a threaded program.
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            _exit(127);
        for (std::size_t i = 0; i < std::size(SystemFiles); ++i)
            if (::mount(sources[qsizetype(i)].constData(), SystemFiles[i], nullptr, MS_BIND, nullptr) != 0)
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
