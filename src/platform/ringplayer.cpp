#include "platform/ringplayer.h"

#include "platform/sound.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace corvane {

namespace {

// How long the end of the program waits for a ring to stop. A stopped ring
// ends within a few hundredths of a second; one that takes longer is stuck in
// a stalled sound server and is left behind.
constexpr auto EndWait = std::chrono::seconds(1);

} // namespace

// Owned jointly by the player and its thread, so that a thread left behind at
// the end still has what it touches.
struct RingPlayer::Shared
{
    std::mutex mutex;
    std::condition_variable changed;
    std::optional<QString> waiting;
    bool playing = false;
    bool closing = false;
    bool threadEnded = false;
    std::atomic<bool> stop{false};
    // Valid while closing is false; read under the mutex.
    RingPlayer *owner = nullptr;
    std::thread thread;

    void run()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return closing || waiting; });
            if (closing)
                break;
            const QString fileName = *std::exchange(waiting, std::nullopt);
            playing = true;
            lock.unlock();
            sound::playFile(fileName, stop);
            lock.lock();
            playing = false;
            if (!waiting && !closing) {
                RingPlayer *player = owner;
                QMetaObject::invokeMethod(
                    player, [player] { player->finishedOnOwnerThread(); }, Qt::QueuedConnection);
            }
        }
        threadEnded = true;
        changed.notify_all();
    }
};

RingPlayer::RingPlayer(QObject *parent) : QObject(parent), m_shared(std::make_shared<Shared>())
{
    m_shared->owner = this;
    m_shared->thread = std::thread([shared = m_shared] { shared->run(); });
}

RingPlayer::~RingPlayer()
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->closing = true;
    m_shared->waiting.reset();
    m_shared->stop = true;
    m_shared->changed.notify_all();
    const bool ended = m_shared->changed.wait_for(lock, EndWait, [this] { return m_shared->threadEnded; });
    lock.unlock();
    if (ended)
        m_shared->thread.join();
    else
        m_shared->thread.detach();
}

void RingPlayer::play(const QString &fileName)
{
    const std::lock_guard lock(m_shared->mutex);
    m_shared->waiting = fileName;
    m_shared->changed.notify_all();
}

bool RingPlayer::isIdle() const
{
    const std::lock_guard lock(m_shared->mutex);
    return !m_shared->playing && !m_shared->waiting;
}

void RingPlayer::finishedOnOwnerThread()
{
    // A ring asked for since the thread posted this is now playing.
    if (isIdle())
        Q_EMIT idle();
}

} // namespace corvane
