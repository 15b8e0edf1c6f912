#pragma once

#include <QString>

class QFileDevice;

namespace corvane {

// Makes what was written to an open file survive a power cut: Qt's flush only
// hands the bytes to the operating system. False when the disk refuses.
bool syncToDisk(QFileDevice &file);

// Makes a file created, renamed or removed in this folder survive a power cut.
bool syncFolder(const QString &folder);

} // namespace corvane
