#pragma once

#include <vector>

namespace corvane::ringtones {

// The three ring sounds and the built-in default sound, as 16-bit samples.
std::vector<short> telephoneBell(); // ringin1: two bells struck alternately, twice
std::vector<short> marimba();       // ringin2: a rising marimba arpeggio
std::vector<short> chime();         // ringin3: a bright three-note chime
std::vector<short> beep();          // default: a short neutral beep

} // namespace corvane::ringtones
