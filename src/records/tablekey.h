#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

namespace corvane {

// Where a dataset's edited rows go: the table its "select ... from <table>"
// statement reads, that table's columns and its integer primary key.
struct TableKey
{
    QString table;
    QStringList columns;
    QString key;
};

// Throws Failure when the statement names no single table with a key that is
// among the dataset's fields: such rows cannot be written back safely.
TableKey tableKey(sqlite3 *db, const QString &selectSql, const QStringList &fields);

// The columns and integer key (empty when it has none) of a table.
TableKey tableKeyOf(sqlite3 *db, const QString &table);

// An identifier quoted for SQL text.
QString sqlName(const QString &name);

} // namespace corvane
