#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace corvane::test {

// Records every sound the program plays instead of sounding it, for the
// lifetime of the object. A ring can be made to last, as a long ring file or a
// stalled sound device would: it then holds the playing thread until its
// length has passed or the recorder ends.
class RingRecorder
{
public:
    struct Ring
    {
        QString file;
        qint64 startedMs; // since the recorder was made
        qint64 endedMs;   // -1 while it still sounds
    };

    explicit RingRecorder(int ringMs = 0);
    ~RingRecorder();
    RingRecorder(const RingRecorder &) = delete;
    RingRecorder &operator=(const RingRecorder &) = delete;

    void setRingLength(int ms);
    QList<Ring> rings() const;
    QStringList files() const;
    qsizetype count() const;
    bool sounding() const;
    // Ends the ring that sounds now, as if its file had run out.
    void endRing();

private:
    struct State;
    std::shared_ptr<State> m_state;
};

} // namespace corvane::test
