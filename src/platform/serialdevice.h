#pragma once

#include <QList>
#include <QString>

namespace corvane {

// The device behind port number N: key comN of section [ports] in zel.ini when
// present and not empty (a USB modem, or a test's pseudo-terminal), else the
// platform's own name for the N-th serial port.
QString serialDevicePath(int port);

// The system's own name for the N-th serial port: /dev/ttyS<N-1>, COM<N>.
QString builtInSerialDevice(int port);

// A serial device plugged into this machine, by the name that survives
// re-plugging where it has one.
struct SerialDeviceInfo
{
    QString path;
    // Maker and model as the device names itself ("Conexant USB Modem"), or
    // empty when it has no such name.
    QString model;
    // Its name says it is a modem: the only devices ever asked unbidden.
    bool namedModem = false;
};

// The serial devices present: udev's stable names under /dev/serial/by-id,
// then the USB serial devices (/dev/ttyACM*, /dev/ttyUSB*) without one.
// CORVANE_DEVICE_FOLDER, when set, stands for /dev, so tests need not touch
// the system's devices.
QList<SerialDeviceInfo> presentSerialDevices();

// Maker and model from a stable name: "usb-Conexant_USB_Modem_12345678-if00"
// gives "Conexant USB Modem". Empty when the name holds neither.
QString modelFromStableName(const QString &name);

// Whether the device is there to be opened: its file on Linux, its name
// among the system's devices on Windows (where COMn is no file).
bool serialDeviceExists(const QString &device);

// Whether two paths name the same device (links followed).
bool sameDevice(const QString &a, const QString &b);

} // namespace corvane
