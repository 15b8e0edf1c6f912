#pragma once

#include <QDeadlineTimer>
#include <QString>

#include <functional>

namespace corvane {

// What every wait of one connection for the server goes by.
struct WaitRules
{
    // About a second, since a window that waits longer seems frozen.
    static constexpr int AnswerMs = 1000;

    // When set, tells whether the program is to end.
    std::function<bool()> endRequested;
    int answerMs = AnswerMs;
};

// One wait for the server: until the answer time runs out, and only a moment
// once the program has been asked to end (it then still writes what a
// healthy server takes at once). Waits go in short steps so that the request
// is seen soon.
class ServerWait
{
public:
    static constexpr int EndingMs = 200;
    static constexpr int StepMs = 50;

    explicit ServerWait(const WaitRules &rules);

    // How long to wait now, at most StepMs; 0 once the wait is over.
    int nextStepMs();
    // For the message of a wait that ran out.
    QString ranOut() const;

private:
    std::function<bool()> m_endRequested;
    int m_answerMs;
    QDeadlineTimer m_deadline;
    bool m_shortened = false;
};

} // namespace corvane
