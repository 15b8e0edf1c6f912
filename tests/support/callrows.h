#pragma once

// Rows of table calls as the call desk writes them, put there directly.

#include "store/connection.h"
#include "store/numberkey.h"
#include "store/statement.h"

#include <QString>

namespace corvane::test {

inline qint64 addCall(Connection &connection, const QString &taken, const QString &number,
                      const QString &customerCode = {}, const QString &note = {})
{
    Statement insert(connection, QStringLiteral("INSERT INTO calls (taken, number, numberkey, customercode, "
                                                "note, token) VALUES (?, ?, ?, ?, ?, ?) RETURNING id"));
    insert.bind(1, taken);
    insert.bind(2, number);
    insert.bind(3, numberKey(number));
    insert.bind(4, customerCode.isEmpty() ? std::nullopt : std::optional<QString>(customerCode));
    insert.bind(5, note);
    insert.bind(6, taken + number + customerCode);
    const qint64 id = insert.step() ? insert.integer(0) : 0;
    insert.run();
    return id;
}

} // namespace corvane::test
