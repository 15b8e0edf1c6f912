#include "platform/pcmoutput.h"

#include <alsa/asoundlib.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

namespace corvane::sound {

namespace {

using Clock = std::chrono::steady_clock;

// Buffer asked of the device: enough to ride out a busy moment of a loaded
// machine without an underrun.
constexpr unsigned LatencyMicroseconds = 200000;
// How often a wait looks at the stop flag.
constexpr int WaitSliceMilliseconds = 50;
// A device that takes no frame for this long, or still holds sound this long
// after it should have played it, has stalled: the ring ends there.
constexpr auto StallLimit = std::chrono::seconds(2);

void ignoreAlsaError(const char *, int, const char *, int, const char *, ...) {}

// A missing or busy device is an ordinary condition for a ring, not something
// to report on the terminal; libasound would print it to stderr otherwise.
void silenceAlsaErrors()
{
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(&ignoreAlsaError); });
}

struct PcmCloser
{
    void operator()(snd_pcm_t *pcm) const { snd_pcm_close(pcm); }
};
using PcmHandle = std::unique_ptr<snd_pcm_t, PcmCloser>;

// Opened non-blocking, and left so: a device held by another program answers
// "busy" at once instead of making the ring wait for it, and every later wait
// is a bounded poll.
PcmHandle openDefaultDevice(const PcmSound &sound)
{
    snd_pcm_t *raw = nullptr;
    if (snd_pcm_open(&raw, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
        return nullptr;
    }
    PcmHandle pcm(raw);
    const snd_pcm_format_t format = sound.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    const int allowResampling = 1;
    if (snd_pcm_set_params(pcm.get(), format, SND_PCM_ACCESS_RW_INTERLEAVED, unsigned(sound.channels),
                           unsigned(sound.sampleRate), allowResampling, LatencyMicroseconds) < 0) {
        return nullptr;
    }
    return pcm;
}

// Writes every frame, waiting in short slices while the device's buffer is
// full; an underrun (-EPIPE) or a suspend is recovered and the same frames are
// written again. A stop, a stall or any other failure abandons the sound.
bool writeAll(snd_pcm_t *pcm, const PcmSound &sound, const std::atomic<bool> &stop)
{
    const char *next = sound.frames.constData();
    snd_pcm_uframes_t left = snd_pcm_uframes_t(sound.frameCount());
    auto lastProgress = Clock::now();
    while (left > 0) {
        if (stop || Clock::now() - lastProgress > StallLimit) {
            return false;
        }
        const snd_pcm_sframes_t written = snd_pcm_writei(pcm, next, left);
        if (written == -EAGAIN) {
            snd_pcm_wait(pcm, WaitSliceMilliseconds);
            continue;
        }
        if (written < 0) {
            const int silent = 1;
            if (snd_pcm_recover(pcm, int(written), silent) < 0) {
                return false;
            }
            continue;
        }
        next += written * sound.bytesPerFrame();
        left -= snd_pcm_uframes_t(written);
        lastProgress = Clock::now();
    }
    return true;
}

// Waits until the device has played what it holds: the sound is heard to its
// end before the device is closed, which would cut it off.
void awaitPlayedOut(snd_pcm_t *pcm, const PcmSound &sound, const std::atomic<bool> &stop)
{
    // A sound shorter than the start threshold has not started yet.
    if (snd_pcm_state(pcm) == SND_PCM_STATE_PREPARED && snd_pcm_start(pcm) < 0) {
        return;
    }
    snd_pcm_sframes_t delay = 0;
    if (snd_pcm_delay(pcm, &delay) < 0 || delay <= 0) {
        return;
    }
    const auto deadline =
        Clock::now() + std::chrono::microseconds(qint64(delay) * 1000000 / sound.sampleRate) + StallLimit;
    while (!stop && Clock::now() < deadline) {
        if (snd_pcm_delay(pcm, &delay) < 0 || delay <= 0 || snd_pcm_state(pcm) != SND_PCM_STATE_RUNNING) {
            return;
        }
        const auto remaining = std::chrono::microseconds(qint64(delay) * 1000000 / sound.sampleRate);
        std::this_thread::sleep_for(
            std::min<Clock::duration>(remaining, std::chrono::milliseconds(WaitSliceMilliseconds)));
    }
}

} // namespace

void playPcm(const PcmSound &sound, const std::atomic<bool> &stop)
{
    if (sound.frameCount() == 0) {
        return;
    }
    silenceAlsaErrors();
    PcmHandle pcm = openDefaultDevice(sound);
    if (!pcm) {
        return;
    }
    if (writeAll(pcm.get(), sound, stop)) {
        awaitPlayedOut(pcm.get(), sound, stop);
    }
}

} // namespace corvane::sound
