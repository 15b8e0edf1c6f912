#pragma once

#include "store/statement.h"
#include "store/stores.h"
#include "testsupport.h"

#include <QStringList>

namespace corvane::test {

// A fresh program folder with its tel.mdb and the program's stores on it.
struct FolderDatabase
{
    FolderDatabase() { stores.connection.setDatabasePath(folder.file(QStringLiteral("tel.mdb"))); }

    ProgramFolder folder;
    Stores stores;
    Connection &connection = stores.connection;
};

// Runs one statement with its values bound, the way another window (or
// another program) writes behind the back of the dataset under test.
inline void run(Connection &connection, const QString &sql, const QStringList &values = {})
{
    Statement statement(connection, sql);
    for (int i = 0; i < values.size(); ++i)
        statement.bind(i + 1, values[i]);
    statement.run();
}

inline void insertCustomer(Connection &connection, const QString &code, const QString &tel = {})
{
    run(connection, QStringLiteral("insert into customer(customercode,tel) values(?,?)"), {code, tel});
}

// The first column of every row a statement returns.
inline QStringList column(Connection &connection, const QString &sql)
{
    Statement select(connection, sql);
    QStringList values;
    while (select.step())
        values.append(select.text(0).value_or(QString()));
    return values;
}

inline QStringList customerCodes(Connection &connection)
{
    return column(connection, QStringLiteral("select customercode from customer order by id"));
}

} // namespace corvane::test
