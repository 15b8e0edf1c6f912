#include "store/serverwait.h"

#include <algorithm>

namespace corvane {

ServerWait::ServerWait(const WaitRules &rules)
    : m_endRequested(rules.endRequested), m_answerMs(rules.answerMs), m_deadline(rules.answerMs)
{
}

int ServerWait::nextStepMs()
{
    if (!m_shortened && m_endRequested && m_endRequested()) {
        m_shortened = true;
        if (m_deadline.remainingTime() > EndingMs)
            m_deadline.setRemainingTime(EndingMs);
    }
    return int(std::min<qint64>(m_deadline.remainingTime(), StepMs));
}

QString ServerWait::ranOut() const
{
    return m_shortened ? QStringLiteral("no answer before the program ended")
                       : QStringLiteral("no answer within %1 s").arg(double(m_answerMs) / 1000);
}

} // namespace corvane
