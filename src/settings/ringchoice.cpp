#include "settings/ringchoice.h"

#include "records/dataset.h"
#include "records/sqltext.h"
#include "records/transaction.h"

namespace corvane {

void saveRingChoice(Connection &connection, Dataset &scratch, const QString &code)
{
    Transaction transaction(connection);
    scratch.setSql(QStringLiteral("update ring set   bz='0'"));
    scratch.execute();
    scratch.setSql(QStringLiteral("update ring set   bz='1' where code=") + sqlText(code));
    scratch.execute();
    transaction.commit();
}

} // namespace corvane
