#pragma once

#include <QString>

namespace corvane {

class RingStore;

// The sound file of a ring code: program folder + "ringin" + code + ".wav".
QString ringFileName(const QString &code);

// The file of the current ring, looked up afresh for every ring, so a choice
// made meanwhile is heard at once. When the database cannot tell (table ring
// missing or damaged, the query refused, a server that does not answer) the
// ring found last plays, or the built-in sound (an empty name) when none was
// found yet: a call never waits on its ring's choice.
class CurrentRing
{
public:
    explicit CurrentRing(RingStore &rings);

    QString file();

private:
    RingStore &m_rings;
    QString m_lastFile;
};

} // namespace corvane
