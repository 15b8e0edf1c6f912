#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace corvane {

// Plays rings one at a time on a thread of its own, so that the windows stay
// live while a ring sounds and a stalled sound device freezes nothing. A ring
// asked for while another plays starts when that one ends; of several such
// requests only the last is kept.
class RingPlayer : public QObject
{
    Q_OBJECT
public:
    explicit RingPlayer(QObject *parent = nullptr);
    // Stops the ring that plays. A ring stuck in the sound device is waited
    // for only briefly and then left behind, so the program can always end.
    ~RingPlayer() override;

    RingPlayer(const RingPlayer &) = delete;
    RingPlayer &operator=(const RingPlayer &) = delete;

    // Plays a WAV file as sound::playFile does: an empty name or a missing or
    // unplayable file plays the built-in sound. Returns at once.
    void play(const QString &fileName);

    // Neither playing nor waiting to play.
    bool isIdle() const;

Q_SIGNALS:
    // The last ring asked for has ended and none waits.
    void idle();

private:
    struct Shared;
    void finishedOnOwnerThread();

    std::shared_ptr<Shared> m_shared;
};

} // namespace corvane
