#include "ringrecorder.h"

#include "platform/sound.h"

#include <QElapsedTimer>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace corvane::test {

// Shared with the hook, which may still run on a player's thread left behind.
struct RingRecorder::State
{
    mutable std::mutex mutex;
    std::condition_variable changed;
    QElapsedTimer clock;
    QList<Ring> rings;
    int ringMs = 0;
    bool ended = false; // the recorder is gone, or the current ring was ended
    bool closing = false;

    void play(const QString &file)
    {
        std::unique_lock lock(mutex);
        const qsizetype index = rings.size();
        rings.append({file, clock.elapsed(), -1});
        ended = false;
        changed.wait_for(lock, std::chrono::milliseconds(ringMs), [this] { return ended || closing; });
        rings[index].endedMs = clock.elapsed();
    }
};

RingRecorder::RingRecorder(int ringMs) : m_state(std::make_shared<State>())
{
    m_state->clock.start();
    m_state->ringMs = ringMs;
    sound::setPlayerForTests([state = m_state](const QString &file) { state->play(file); });
}

RingRecorder::~RingRecorder()
{
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->closing = true;
        m_state->changed.notify_all();
    }
    sound::setPlayerForTests({});
}

void RingRecorder::setRingLength(int ms)
{
    const std::lock_guard lock(m_state->mutex);
    m_state->ringMs = ms;
}

QList<RingRecorder::Ring> RingRecorder::rings() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->rings;
}

QStringList RingRecorder::files() const
{
    QStringList files;
    for (const Ring &ring : rings())
        files.append(ring.file);
    return files;
}

qsizetype RingRecorder::count() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->rings.size();
}

bool RingRecorder::sounding() const
{
    const std::lock_guard lock(m_state->mutex);
    return !m_state->rings.isEmpty() && m_state->rings.last().endedMs < 0;
}

void RingRecorder::endRing()
{
    const std::lock_guard lock(m_state->mutex);
    m_state->ended = true;
    m_state->changed.notify_all();
}

} // namespace corvane::test
