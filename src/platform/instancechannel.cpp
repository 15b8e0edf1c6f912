#include "platform/instancechannel.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace corvane {

namespace {
constexpr int ConnectTimeoutMs = 500;
}

InstanceChannel::InstanceChannel(QObject *parent)
    : QObject(parent), m_server(new QLocalServer(this))
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

QString InstanceChannel::channelName()
{
    return QString::fromLatin1(WindowClassName) + QLatin1Char('-') + QString::number(::getuid());
}

bool InstanceChannel::activateRunningInstance()
{
    QLocalSocket socket;
    socket.connectToServer(channelName());
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    // Posted, not sent: the answer is not awaited.
    socket.write(ActivateMessage);
    socket.waitForBytesWritten(ConnectTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool InstanceChannel::claim()
{
    if (m_server->listen(channelName()))
        return true;
    if (activateRunningInstance())
        return false;
    // Nobody answers on the name: the file is stale. Should taking it over still
    // fail, this copy goes on without being found rather than not at all.
    QLocalServer::removeServer(channelName());
    m_server->listen(channelName());
    return true;
}

} // namespace corvane
