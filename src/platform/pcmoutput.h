#pragma once

#include "platform/wavfile.h"

namespace corvane::sound {

// Plays PCM on the system's default output device and returns once it has been
// heard to the end; returns at once when there is no device. One implementation
// per operating system (linux/sound_alsa.cpp).
void playPcm(const PcmSound &sound);

} // namespace corvane::sound
