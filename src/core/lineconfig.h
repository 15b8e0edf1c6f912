#pragma once

#include <QString>

namespace corvane {

// The line settings in zel.ini, section "zel": key "father" holds the port name,
// key "school" the caller-ID mode.
struct LineConfig
{
    QString portName;
    QString mode;
};

// Missing file, section or key read as empty; nothing is ever reported.
LineConfig readLineConfig();

// Writes the port name, then the mode, unchanged. False when zel.ini could not
// be written; the mode is then not attempted after a failed port.
bool writeLineConfig(const QString &portName, const QString &mode);

// Key "log" of section "line": "1" has every byte over the line recorded.
bool lineLogWanted();

// Key "areacode" of section "line": the shop's own telephone area code, by
// which a local number is also found ("020"); "" when unset or no area code.
QString readAreaCode();
// Writes the area code as given; false when zel.ini could not be written.
bool writeAreaCode(const QString &areaCode);

// line.log in the program folder.
QString lineLogFile();

// "com1" … "com8" (exactly, lower case) give "1" … "8"; anything else "".
QString portNumberText(const QString &portName);

// The mode command for "制式1" / "制式2" (with its carriage return); "" otherwise.
QString modeCommand(const QString &mode);

} // namespace corvane
