#pragma once

#include "records/connection.h"
#include "records/dataset.h"
#include "records/sqltext.h"
#include "testsupport.h"

#include <QStringList>

namespace corvane::test {

// A fresh program folder with its tel.mdb and a connection to it.
struct FolderDatabase
{
    FolderDatabase() { connection.setDatabasePath(folder.file(QStringLiteral("tel.mdb"))); }

    ProgramFolder folder;
    Connection connection;
};

// Writes a customer behind the back of the dataset under test, the way
// another window (or another program) would.
inline void insertCustomer(Connection &connection, const QString &code, const QString &tel = {})
{
    Dataset writer(connection, {});
    writer.setSql(QStringLiteral("insert into customer(customercode,tel) values(") + sqlText(code) +
                  QLatin1Char(',') + sqlText(tel) + QLatin1Char(')'));
    writer.execute();
}

// One field of every row a fresh query returns.
inline QStringList column(Connection &connection, const QString &sql, const QString &field)
{
    Dataset reader(connection, sql);
    reader.open();
    QStringList values;
    for (int i = 0; i < reader.recordCount(); ++i, reader.next())
        values.append(reader.fieldText(field));
    return values;
}

inline QStringList customerCodes(Connection &connection)
{
    return column(connection, QStringLiteral("select * from customer"), QStringLiteral("customercode"));
}

} // namespace corvane::test
