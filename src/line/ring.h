#pragma once

#include <QString>

namespace corvane {

class Dataset;

// The sound file of a ring code: program folder + "ringin" + code + ".wav".
QString ringFileName(const QString &code);

// The current ring: code of the first row with bz "1", "" when there is none.
// Leaves the scratch query open on the ring query.
QString currentRingCode(Dataset &scratch);

// The file of the current ring, looked up afresh. When the database cannot
// tell (table ring missing or damaged, the query refused) the name is empty,
// which plays the built-in sound: a call never waits on its ring's choice.
QString currentRingFile(Dataset &scratch);

} // namespace corvane
