#pragma once

#include "platform/wavfile.h"

#include <QString>

#include <atomic>
#include <functional>

namespace corvane::sound {

// Plays a WAV file to its end: returns only when the sound has finished (or
// soon after `stop` is set), and the calling thread does nothing else
// meanwhile. A missing, unreadable or unplayable file, or an empty name, plays
// the built-in default sound instead; with no audio device it returns at once,
// quietly.
void playFile(const QString &fileName, const std::atomic<bool> &stop);
void playFile(const QString &fileName);

// What playFile plays for this name: the file's own sound, or the default.
PcmSound soundForFile(const QString &fileName);

// The built-in default sound: a short neutral beep.
const PcmSound &defaultSound();

// For tests only: while set, playFile hands the name to `player` and plays
// nothing, so tests of the incoming-call sequence need no sound card. It is
// called on the thread that plays, which for rings is the ring player's. An
// empty function puts the real player back.
void setPlayerForTests(std::function<void(const QString &)> player);

} // namespace corvane::sound
