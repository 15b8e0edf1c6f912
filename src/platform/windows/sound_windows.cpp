#include "platform/pcmoutput.h"

#include <chrono>
#include <thread>

#include <windows.h>

#include <mmsystem.h>

namespace corvane::sound {

namespace {

void appendLittleEndian(QByteArray &bytes, quint32 value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.append(char((value >> (8 * i)) & 0xff));
}

// The sound as a WAV file in memory: what winmm plays is then exactly what
// the reader checked, the built-in sound included.
QByteArray wavImage(const PcmSound &sound)
{
    QByteArray image("RIFF");
    appendLittleEndian(image, quint32(36 + sound.frames.size()), 4);
    image.append("WAVEfmt ");
    appendLittleEndian(image, 16, 4);
    appendLittleEndian(image, 1, 2);
    appendLittleEndian(image, quint32(sound.channels), 2);
    appendLittleEndian(image, quint32(sound.sampleRate), 4);
    appendLittleEndian(image, quint32(sound.sampleRate * sound.bytesPerFrame()), 4);
    appendLittleEndian(image, quint32(sound.bytesPerFrame()), 2);
    appendLittleEndian(image, quint32(sound.bitsPerSample), 2);
    image.append("data");
    appendLittleEndian(image, quint32(sound.frames.size()), 4);
    image.append(sound.frames);
    return image;
}

} // namespace

void playPcm(const PcmSound &sound, const std::atomic<bool> &stop)
{
    if (sound.frameCount() == 0 || stop)
        return;
    const QByteArray image = wavImage(sound);
    std::atomic<bool> played{false};
    // PlaySound with no sound ends the one playing, from any thread.
    std::thread watcher([&] {
        while (!played) {
            if (stop) {
                ::PlaySoundW(nullptr, nullptr, 0);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    // No device: PlaySound fails at once, and the ring is silent.
    ::PlaySoundW(reinterpret_cast<LPCWSTR>(image.constData()), nullptr,
                 SND_MEMORY | SND_SYNC | SND_NODEFAULT);
    played = true;
    watcher.join();
}

} // namespace corvane::sound
