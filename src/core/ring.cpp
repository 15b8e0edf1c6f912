#include "core/ring.h"

#include "platform/failure.h"
#include "platform/programfolder.h"
#include "store/ringstore.h"

namespace corvane {

QString ringFileName(const QString &code)
{
    return programFolder() + QStringLiteral("ringin") + code + QStringLiteral(".wav");
}

CurrentRing::CurrentRing(RingStore &rings) : m_rings(rings) {}

QString CurrentRing::file()
{
    try {
        m_lastFile = ringFileName(m_rings.currentRing());
    } catch (const Failure &) {
    }
    return m_lastFile;
}

} // namespace corvane
