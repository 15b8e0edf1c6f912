#pragma once

#include <QString>

namespace corvane::profile {

// INI access with the semantics of the classic profile-string service:
// section and key names match without regard to case, values come back with
// surrounding blanks removed and at most 2047 characters, a missing file,
// section or key reads as the default. Files are GBK, or UTF-8 when an editor
// saved them so (see TextEncoding); a write replaces or adds one line in the
// file's own encoding and keeps every other byte of the file.
inline constexpr int MaxValueLength = 2047;

QString readString(const QString &fileName, const QString &section, const QString &key,
                   const QString &defaultValue = {});

// Returns false when the file cannot be written (the file is then unchanged).
bool writeString(const QString &fileName, const QString &section, const QString &key, const QString &value);

} // namespace corvane::profile
