#include "store/serveraddress.h"

namespace corvane {

QString describeServer(const ServerAddress &address)
{
    const QString host = address.host.isEmpty() ? QStringLiteral("localhost") : address.host;
    const QString user = address.user.isEmpty() ? QString() : address.user + QLatin1Char('@');
    return QStringLiteral("%1%2:%3/%4").arg(user, host, QString::number(address.port), address.name);
}

} // namespace corvane
