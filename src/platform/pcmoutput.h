#pragma once

#include "platform/wavfile.h"

#include <atomic>

namespace corvane::sound {

// Plays PCM on the system's default output device and returns once it has been
// heard to the end, or soon after `stop` is set; returns at once when there is
// no device or it is busy. No call waits on the device without a bound: a
// device that takes no sound for a while ends the playback. One implementation
// per operating system (linux/sound_alsa.cpp).
void playPcm(const PcmSound &sound, const std::atomic<bool> &stop);

} // namespace corvane::sound
