#include "platform/instancechannel.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

constexpr int ConnectTimeoutMs = 1000;
// Another copy deciding about the same socket holds the lock for milliseconds.
constexpr int ClaimLockTimeoutMs = 5000;

enum class Knock { Answered, Refused, Silent };

// A real folder (not a link to one) owned by this user, that no one else may
// enter or change.
bool isPrivateFolder(const QString &path)
{
    struct stat info
    {
    };
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &info) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// Connects to the channel at path and posts the activation message.
Knock knock(const QString &path)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (socket.waitForConnected(ConnectTimeoutMs)) {
        // Posted, not sent: the answer is not awaited.
        socket.write(InstanceChannel::ActivateMessage);
        socket.waitForBytesWritten(ConnectTimeoutMs);
        socket.disconnectFromServer();
        return Knock::Answered;
    }
    // Only a socket nobody listens on is known to be dead. A copy that is
    // merely slow to answer still runs.
    const QLocalSocket::LocalSocketError error = socket.error();
    return error == QLocalSocket::ConnectionRefusedError || error == QLocalSocket::ServerNotFoundError
               ? Knock::Refused
               : Knock::Silent;
}

} // namespace

InstanceChannel::InstanceChannel(QObject *parent) : QObject(parent), m_server(new QLocalServer(this))
{
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains(ActivateMessage))
                    Q_EMIT activationRequested();
            });
        }
    });
}

QString InstanceChannel::channelFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateFolder(runtime))
        return runtime;
    // Without one, a folder of the user's own: in the temporary folder, or,
    // when somebody else has taken that name there, in the user's cache.
    const QString name = QStringLiteral("/corvane-") + QString::number(::geteuid());
    for (const QString &parent :
         {QDir::tempPath(), QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)}) {
        const QString folder = parent + name;
        QDir().mkpath(parent);
        // An existing folder is left as it is and only used when it passes the check.
        ::mkdir(QFile::encodeName(folder).constData(), S_IRWXU);
        if (isPrivateFolder(folder))
            return folder;
    }
    return {};
}

QString InstanceChannel::channelPath()
{
    const QString folder = channelFolder();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + QLatin1String(SocketName);
}

bool InstanceChannel::activateRunningInstance()
{
    const QString path = channelPath();
    return !path.isEmpty() && knock(path) == Knock::Answered;
}

bool InstanceChannel::claim()
{
    const QString path = channelPath();
    if (path.isEmpty())
        return true;
    // Of two copies finding the same dead socket, one must not remove the
    // socket the other has just made.
    QLockFile deciding(path + QStringLiteral(".lock"));
    deciding.tryLock(ClaimLockTimeoutMs);
    if (m_server->listen(path))
        return true;
    switch (knock(path)) {
    case Knock::Answered:
    case Knock::Silent:
        return false;
    case Knock::Refused:
        break;
    }
    // Should taking the dead socket over still fail, this copy goes on without
    // being found rather than not at all.
    QLocalServer::removeServer(path);
    m_server->listen(path);
    return true;
}

} // namespace corvane
