#pragma once

#include <string>
#include <vector>

namespace corvane::ringtones {

// Writes 16-bit mono PCM at SampleRate as a canonical 44-byte-header WAV file.
bool writeWav(const std::string &fileName, const std::vector<short> &samples);

} // namespace corvane::ringtones
