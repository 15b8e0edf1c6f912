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

// Connects the socket to the channel at path.
Knock connectTo(QLocalSocket &socket, const QString &path)
{
    socket.connectToServer(path);
    if (socket.waitForConnected(ConnectTimeoutMs))
        return Knock::Answered;
    // Only a socket nobody listens on is known to be dead. A copy that is
    // merely slow to answer still runs.
    const QLocalSocket::LocalSocketError error = socket.error();
    return error == QLocalSocket::ConnectionRefusedError || error == QLocalSocket::ServerNotFoundError
               ? Knock::Refused
               : Knock::Silent;
}

// Posted, not sent: no answer is awaited.
void post(QLocalSocket &socket, const char *message)
{
    socket.write(message);
    socket.waitForBytesWritten(ConnectTimeoutMs);
}

// Connects to the channel at path and posts the activation message.
Knock knock(const QString &path)
{
    QLocalSocket socket;
    const Knock answer = connectTo(socket, path);
    if (answer == Knock::Answered) {
        InstanceChannel::letRunningCopyComeForward();
        post(socket, InstanceChannel::ActivateMessage);
        socket.disconnectFromServer();
    }
    return answer;
}

} // namespace

InstanceChannel::InstanceChannel(QObject *parent) : QObject(parent), m_server(new QLocalServer(this))
{
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                const QByteArray message = socket->readAll();
                if (message.contains(ActivateMessage))
                    Q_EMIT activationRequested();
                if (message.contains(QuitMessage))
                    Q_EMIT quitRequested();
            });
        }
    });
}

bool InstanceChannel::activateRunningInstance()
{
    const QString path = channelPath();
    return !path.isEmpty() && knock(path) == Knock::Answered;
}

InstanceChannel::QuitAnswer InstanceChannel::askRunningInstanceToQuit(int waitMs)
{
    const QString path = channelPath();
    if (path.isEmpty())
        return QuitAnswer::NoneRunning;
    QLocalSocket socket;
    switch (connectTo(socket, path)) {
    case Knock::Refused:
        return QuitAnswer::NoneRunning;
    case Knock::Silent:
        return QuitAnswer::StillRunning;
    case Knock::Answered:
        break;
    }
    post(socket, QuitMessage);
    // The running copy keeps the connection until it has ended.
    if (socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(waitMs))
        return QuitAnswer::Ended;
    return QuitAnswer::StillRunning;
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
