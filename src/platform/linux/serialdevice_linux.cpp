#include "platform/serialdevice.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace corvane {

namespace {

QString deviceFolder()
{
    const QString folder = qEnvironmentVariable("CORVANE_DEVICE_FOLDER");
    return folder.isEmpty() ? QStringLiteral("/dev") : folder;
}

QString canonical(const QString &path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

} // namespace

QString builtInSerialDevice(int port)
{
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

QString modelFromStableName(const QString &name)
{
    // <bus>-<maker>_<model>_<serial>-if<NN>[-port<N>]
    QString id = name.section(QLatin1Char('-'), 1);
    id.remove(QRegularExpression(QStringLiteral("(-if[0-9A-Fa-f]+)?(-port[0-9]+)?$")));
    QStringList words = id.split(QLatin1Char('_'), Qt::SkipEmptyParts);
    // The serial number ends the name when there is one; a maker and model
    // are at least two words.
    static const QRegularExpression Digit(QStringLiteral("[0-9]"));
    if (words.size() >= 3 && words.last().contains(Digit))
        words.removeLast();
    return words.join(QLatin1Char(' '));
}

QList<SerialDeviceInfo> presentSerialDevices()
{
    const QString folder = deviceFolder();
    QList<SerialDeviceInfo> devices;
    QStringList named;
    const QDir byId(folder + QStringLiteral("/serial/by-id"));
    for (const QFileInfo &link : byId.entryInfoList(QDir::System | QDir::Files, QDir::Name)) {
        if (!link.exists())
            continue;
        const QString model = modelFromStableName(link.fileName());
        devices.append(
            {link.filePath(), model, link.fileName().contains(QLatin1String("modem"), Qt::CaseInsensitive)});
        named.append(canonical(link.filePath()));
    }
    const QDir dev(folder);
    for (const QFileInfo &node : dev.entryInfoList({QStringLiteral("ttyACM*"), QStringLiteral("ttyUSB*")},
                                                   QDir::System | QDir::Files, QDir::Name)) {
        if (!named.contains(canonical(node.filePath())))
            devices.append({node.filePath(), {}, false});
    }
    return devices;
}

bool serialDeviceExists(const QString &device)
{
    return QFileInfo::exists(device);
}

bool sameDevice(const QString &a, const QString &b)
{
    return !a.isEmpty() && canonical(a) == canonical(b);
}

} // namespace corvane
