#include "platform/pcmoutput.h"

#include <alsa/asoundlib.h>

#include <memory>
#include <mutex>

namespace corvane::sound {

namespace {

// Buffer asked of the device: enough to ride out a busy moment of a loaded
// machine without an underrun.
constexpr unsigned LatencyMicroseconds = 200000;

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

PcmHandle openDefaultDevice(const PcmSound &sound)
{
    snd_pcm_t *raw = nullptr;
    if (snd_pcm_open(&raw, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) {
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

// Writes every frame; an underrun (-EPIPE) or a suspend is recovered and the
// same frames are written again. Any other failure abandons the sound.
bool writeAll(snd_pcm_t *pcm, const PcmSound &sound)
{
    const char *next = sound.frames.constData();
    snd_pcm_uframes_t left = snd_pcm_uframes_t(sound.frameCount());
    while (left > 0) {
        snd_pcm_sframes_t written = snd_pcm_writei(pcm, next, left);
        if (written < 0) {
            const int silent = 1;
            if (snd_pcm_recover(pcm, int(written), silent) < 0) {
                return false;
            }
            continue;
        }
        next += written * sound.bytesPerFrame();
        left -= snd_pcm_uframes_t(written);
    }
    return true;
}

} // namespace

void playPcm(const PcmSound &sound)
{
    if (sound.frameCount() == 0) {
        return;
    }
    silenceAlsaErrors();
    PcmHandle pcm = openDefaultDevice(sound);
    if (!pcm) {
        return;
    }
    if (writeAll(pcm.get(), sound)) {
        snd_pcm_drain(pcm.get());
    }
}

} // namespace corvane::sound
