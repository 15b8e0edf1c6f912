#pragma once

#include <QString>

namespace corvane {

class Dataset;

// The sound file of a ring code: program folder + "ringin" + code + ".wav".
QString ringFileName(const QString &code);

// The current ring: code of the first row with bz "1", "" when there is none.
// Leaves the scratch query open on the ring query.
QString currentRingCode(Dataset &scratch);

// Looks the current ring up afresh and plays it to its end.
void PlayRing(Dataset &scratch);

} // namespace corvane
