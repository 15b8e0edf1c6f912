#include "platform/serialdevice.h"

#include <QHash>

#include <iterator>
#include <string>

#include <windows.h>

#include <devguid.h>
#include <setupapi.h>

namespace corvane {

namespace {

QString registryText(HKEY key, const wchar_t *name)
{
    wchar_t value[256];
    DWORD size = sizeof value;
    DWORD type = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(value), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return QString::fromWCharArray(value, int(size / sizeof(wchar_t))).section(QChar(0), 0, 0);
}

QString deviceProperty(HDEVINFO set, SP_DEVINFO_DATA &device, DWORD property)
{
    wchar_t value[256];
    if (!::SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr, reinterpret_cast<BYTE *>(value),
                                             sizeof value, nullptr))
        return {};
    return QString::fromWCharArray(value);
}

struct DeviceDescription
{
    QString model;
    bool modem = false;
};

// The ports' and modems' own names, by the COM name each one has: Device
// Manager's description ("Conexant USB Modem") and maker.
QHash<QString, DeviceDescription> describedPorts()
{
    QHash<QString, DeviceDescription> described;
    for (const GUID &deviceClass : {GUID_DEVCLASS_PORTS, GUID_DEVCLASS_MODEM}) {
        const HDEVINFO set = ::SetupDiGetClassDevsW(&deviceClass, nullptr, nullptr, DIGCF_PRESENT);
        if (set == INVALID_HANDLE_VALUE)
            continue;
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        for (DWORD i = 0; ::SetupDiEnumDeviceInfo(set, i, &device); ++i) {
            const HKEY key = ::SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
            if (key == INVALID_HANDLE_VALUE)
                continue;
            QString port = registryText(key, L"PortName");
            if (port.isEmpty())
                port = registryText(key, L"AttachedTo");
            ::RegCloseKey(key);
            if (port.isEmpty())
                continue;
            const QString maker = deviceProperty(set, device, SPDRP_MFG);
            QString model = deviceProperty(set, device, SPDRP_DEVICEDESC);
            if (!maker.isEmpty() && !model.startsWith(maker, Qt::CaseInsensitive) &&
                !maker.startsWith(QLatin1Char('(')))
                model = maker + QLatin1Char(' ') + model;
            const bool modem = deviceClass == GUID_DEVCLASS_MODEM ||
                               model.contains(QLatin1String("modem"), Qt::CaseInsensitive);
            described.insert(port.toUpper(), {model, modem});
        }
        ::SetupDiDestroyDeviceInfoList(set);
    }
    return described;
}

// "\\.\COM3" and "COM3" alike.
QString bareDeviceName(const QString &name)
{
    return name.startsWith(QLatin1String("\\\\.\\")) ? name.mid(4) : name;
}

} // namespace

QString builtInSerialDevice(int port)
{
    return QStringLiteral("COM%1").arg(port);
}

QList<SerialDeviceInfo> presentSerialDevices()
{
    QList<SerialDeviceInfo> devices;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return devices;
    const QHash<QString, DeviceDescription> described = describedPorts();
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameSize = 256;
        wchar_t value[64];
        DWORD valueSize = sizeof value;
        DWORD type = 0;
        if (::RegEnumValueW(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE *>(value),
                            &valueSize) != ERROR_SUCCESS)
            break;
        if (type != REG_SZ)
            continue;
        const QString port =
            QString::fromWCharArray(value, int(valueSize / sizeof(wchar_t))).section(QChar(0), 0, 0);
        const DeviceDescription description = described.value(port.toUpper());
        devices.append({port, description.model, description.modem});
    }
    ::RegCloseKey(key);
    std::sort(devices.begin(), devices.end(), [](const SerialDeviceInfo &a, const SerialDeviceInfo &b) {
        return a.path.size() != b.path.size() ? a.path.size() < b.path.size() : a.path < b.path;
    });
    return devices;
}

bool serialDeviceExists(const QString &device)
{
    wchar_t target[512];
    const std::wstring name = bareDeviceName(device).toStdWString();
    return !name.empty() && ::QueryDosDeviceW(name.c_str(), target, DWORD(std::size(target))) != 0;
}

bool sameDevice(const QString &a, const QString &b)
{
    return !a.isEmpty() && bareDeviceName(a).compare(bareDeviceName(b), Qt::CaseInsensitive) == 0;
}

} // namespace corvane
