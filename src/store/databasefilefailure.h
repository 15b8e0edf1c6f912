#pragma once

#include "platform/failure.h"

namespace corvane {

// What keeps tel.mdb from being read or written, told in Chinese with what to
// do about it and where the data folder is. Failures of any other kind carry
// the database's own message to the generic error box.
class DatabaseFileFailure : public Failure
{
public:
    enum class Kind { Missing, Empty, Damaged, Locked, ReadOnly, Unopenable };

    // `reason` is the database's own word, kept for a damaged or unopenable file.
    DatabaseFileFailure(Kind kind, const QString &path, const QString &reason = {});

    Kind kind() const { return m_kind; }
    // The message of such a failure, for telling it without one.
    static QString describe(Kind kind, const QString &path, const QString &reason = {});

private:
    Kind m_kind;
};

// Whether the file and its folder may be written (a database in WAL mode
// writes files of its own beside it).
bool databaseFileWritable(const QString &path);

} // namespace corvane
