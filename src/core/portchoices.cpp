#include "core/portchoices.h"

#include "core/lineconfig.h"
#include "core/modemconfig.h"
#include "platform/serialdevice.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

namespace corvane {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("LineSettingsDialog", text);
}

} // namespace

QList<PortChoice> portChoices()
{
    const QList<SerialDeviceInfo> present = presentSerialDevices();
    const auto presentAs = [&present](const QString &path) {
        return std::find_if(present.begin(), present.end(), [&path](const SerialDeviceInfo &device) {
            return sameDevice(device.path, path);
        });
    };
    const QString configured = readLineConfig().portName;
    QList<PortChoice> choices;
    for (int n = 1; n <= 8; ++n) {
        const QString port = QStringLiteral("com%1").arg(n);
        const QString device = serialDevicePath(n);
        QStringList notes;
        if (const auto known = presentAs(device); known != present.end() && !known->model.isEmpty())
            notes.append(known->model);
        if (port == configured)
            notes.append(tr("当前端口"));
        if (const QString command = readModemSettings(port).rememberedCommand; !command.isEmpty())
            notes.append(tr("来电显示命令 %1").arg(command));
        choices.append({port, device, notes.join(tr("，")), true});
    }
    for (const SerialDeviceInfo &device : present) {
        const bool named = std::any_of(choices.begin(), choices.end(), [&device](const PortChoice &choice) {
            return sameDevice(choice.device, device.path);
        });
        if (named)
            continue;
        const bool labelTaken =
            std::any_of(choices.begin(), choices.end(),
                        [&device](const PortChoice &choice) { return choice.label == device.model; });
        const QString label =
            device.model.isEmpty() || labelTaken ? QFileInfo(device.path).fileName() : device.model;
        choices.append({label, device.path, {}, false});
    }
    return choices;
}

} // namespace corvane
