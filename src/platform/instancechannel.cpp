#include "platform/instancechannel.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace corvane {

namespace {

constexpr int ConnectTimeoutMs = 1000;
// Another copy deciding about the same socket holds the lock for milliseconds.
constexpr int ClaimLockTimeoutMs = 5000;

enum class Knock { Answered, Refused, Silent };

// Connects to the channel at path and posts the activation message.
Knock knock(const QString &path)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (socket.waitForConnected(ConnectTimeoutMs)) {
        InstanceChannel::letRunningCopyComeForward();
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
    QLockFile deciding(claimLockPath());
    deciding.tryLock(ClaimLockTimeoutMs);
    // Asked first: a Windows pipe can be listened on by two copies at once.
    switch (knock(path)) {
    case Knock::Answered:
    case Knock::Silent:
        return false;
    case Knock::Refused:
        break;
    }
    if (m_server->listen(path))
        return true;
    // Should taking the dead socket over still fail, this copy goes on without
    // being found rather than not at all.
    QLocalServer::removeServer(path);
    m_server->listen(path);
    return true;
}

} // namespace corvane
