#pragma once

#include <QString>

namespace corvane {

// What zel.ini says about the modem beyond the port and the mode.
struct ModemSettings
{
    // Key "init" of section [line]: sent before the caller-ID command; empty
    // by default.
    QString init;
    // The caller-ID command this port's modem took when the mode's own was
    // refused (section [callerid], key = the port name); empty otherwise.
    QString rememberedCommand;
};

ModemSettings readModemSettings(const QString &portName);

// Keeps the command the port's modem took, for the next start to send first;
// empty forgets it. False when zel.ini could not be written.
bool rememberCallerIdCommand(const QString &portName, const QString &command);

// The port to keep a device under: the one of com1 … com8 that already names
// it, else the configured port (com1 when none is), whose device it becomes.
QString portForDevice(const QString &device);

// Names device as the port's in section [ports], where older copies find it
// too, and forgets the command the port's earlier modem took. False when
// zel.ini could not be written.
bool assignPortDevice(const QString &portName, const QString &device);

} // namespace corvane
