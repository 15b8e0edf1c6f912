#include "line/ring.h"

#include "platform/failure.h"
#include "platform/programfolder.h"
#include "records/dataset.h"

namespace corvane {

QString ringFileName(const QString &code)
{
    return programFolder() + QStringLiteral("ringin") + code + QStringLiteral(".wav");
}

QString currentRingCode(Dataset &scratch)
{
    scratch.setSql(QStringLiteral("select * from ring where bz='1'"));
    scratch.open();
    return scratch.fieldText(QStringLiteral("code"));
}

QString currentRingFile(Dataset &scratch)
{
    try {
        return ringFileName(currentRingCode(scratch));
    } catch (const Failure &) {
        return {};
    }
}

} // namespace corvane
