#pragma once

#include <QString>

namespace corvane {

class RingStore;

// The sound file of a ring code: program folder + "ringin" + code + ".wav".
QString ringFileName(const QString &code);

// The file of the current ring, looked up afresh. When the database cannot
// tell (table ring missing or damaged, the query refused) the name is empty,
// which plays the built-in sound: a call never waits on its ring's choice.
QString currentRingFile(RingStore &rings);

} // namespace corvane
