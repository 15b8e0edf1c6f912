#pragma once

#include "store/customerstore.h"

#include <QCoreApplication>
#include <QList>
#include <QStringList>

#include <functional>
#include <optional>

namespace corvane {

// A customer file read and mapped onto table customer, ready to be shown and
// then added. Reading writes nothing; write() adds every row in one
// transaction or none.
class CustomerImport
{
    Q_DECLARE_TR_FUNCTIONS(corvane::CustomerImport)

public:
    enum class SkipReason { CodePresent, EmptyCode, Unparsable };
    struct Skip
    {
        int line;
        SkipReason reason;
    };
    struct Report
    {
        qsizetype added = 0;
        QList<Skip> skipped; // in line order
        bool cancelled = false;
    };
    // Hears how many customers have been gone through; false stops the import
    // with nothing written.
    using Progress = std::function<bool(qsizetype done, qsizetype total)>;

    // The file's bytes in UTF-8 (with or without byte-order mark) or GBK, with
    // a heading line. Throws Failure with a message for the user when the
    // file cannot be read or holds no customers to import.
    static CustomerImport fromFile(const QString &path);
    static CustomerImport fromBytes(QByteArray bytes);

    const QStringList &headings() const { return m_headings; }
    // The field of each column of the file; std::nullopt for a column no
    // field takes, which is left out.
    const QList<std::optional<int>> &mapping() const { return m_mapping; }
    // The rows that can be added, in file order.
    const QList<Customer> &customers() const { return m_customers; }

    Report write(CustomerStore &store, const Progress &progress) const;

    // What the user is told when the import is over.
    static QString summary(const Report &report);

private:
    CustomerImport() = default;

    QStringList m_headings;
    QList<std::optional<int>> m_mapping;
    QList<Customer> m_customers;
    QList<int> m_customerLines;
    QList<Skip> m_skippedOnReading;
};

} // namespace corvane
