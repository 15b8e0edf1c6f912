#pragma once

#include <QString>
#include <QStringList>

namespace corvane {

struct OpenProblem;

// What the user is told about the line and its modem, in words that say
// what happened and what to do.

// Why the port's device could not be opened.
QString openProblemText(const OpenProblem &problem);
// The same in a few words, for a list of devices.
QString shortOpenProblemText(const OpenProblem &problem);
// The modem answers, but took none of the caller-ID commands tried.
QString commandsRefusedText(const QString &port, const QString &device, const QStringList &tried);
// The modem answers, but only after afterMs, longer than the program first waits.
QString slowModemText(const QString &port, const QString &device, int afterMs);
// Nothing on the port answers at all.
QString noModemText(const QString &port, const QString &device);
// Nothing on the port answers, but a modem does on another device: use it?
QString modemOfferText(const QString &port, const QString &device, const QString &foundDevice,
                       const QString &model);
// A device taken for this run that zel.ini could not keep.
QString deviceNotKeptText();

} // namespace corvane
