#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

namespace corvane {

class CustomerStore;

// Every customer as a comma-separated file that spreadsheet programs open
// with the Chinese text intact: UTF-8 with a byte-order mark, the entry
// form's captions as headings, lines ending in CR LF.
class CustomerExport
{
    Q_DECLARE_TR_FUNCTIONS(corvane::CustomerExport)

public:
    static QByteArray bytes(CustomerStore &store);
    // Writes the file whole or not at all; returns how many customers it
    // holds. Throws Failure with a message for the user when it cannot.
    static qsizetype toFile(CustomerStore &store, const QString &path);

private:
    static QByteArray bytes(CustomerStore &store, qsizetype &count);
};

} // namespace corvane
