#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

struct Customer;

// The fields of a customer in a customer file, in the order of table
// customer: each with the heading the entry form captions it with and its
// column name in the table.
class CustomerColumns
{
public:
    static constexpr int FieldCount = 8;
    static constexpr int CodeField = 0;

    // The headings an exported file starts with.
    static QStringList headings();
    static QString heading(int field);

    // The field a file's heading names, by caption (with or without the
    // colon) or by column name, case and surrounding spaces aside.
    static std::optional<int> fieldOfHeading(const QString &heading);

    static QString &field(Customer &customer, int field);
    static const QString &field(const Customer &customer, int field);
};

} // namespace corvane
