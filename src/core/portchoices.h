#pragma once

#include <QList>
#include <QString>

namespace corvane {

// One line of the line settings' list of ports and devices.
struct PortChoice
{
    // What the port box shows when it is chosen: "com1" … "com8", or the
    // device's maker and model (its file name when it has none).
    QString label;
    QString device;
    // The configured port and the caller-ID command its modem took.
    QString note;
    bool comPort = false;
};

// com1 … com8 with the device each names, then the serial devices present
// that none of them names.
QList<PortChoice> portChoices();

} // namespace corvane
