#include "core/ring.h"

#include "platform/failure.h"
#include "platform/programfolder.h"
#include "store/ringstore.h"

namespace corvane {

QString ringFileName(const QString &code)
{
    return programFolder() + QStringLiteral("ringin") + code + QStringLiteral(".wav");
}

QString currentRingFile(RingStore &rings)
{
    try {
        return ringFileName(rings.currentRing());
    } catch (const Failure &) {
        return {};
    }
}

} // namespace corvane
