#pragma once

// Customer rows as the stores' customer query reads and writes them.

#include "store/pagedquery.h"

#include <initializer_list>
#include <vector>

namespace corvane::test {

// Columns of the customer query, in its order.
enum CustomerColumn {
    Id,
    CustomerCode,
    CustomerName,
    Address,
    Postcode,
    Person,
    Tel,
    Email,
    Qq,
    CustomerColumns
};

inline Record customerRow(const QString &code, const QString &name, const QString &tel)
{
    Record row(CustomerColumns);
    row[CustomerCode] = code;
    row[CustomerName] = name;
    row[Tel] = tel;
    return row;
}

// The changed-column marks of a save that touches `columns`.
inline std::vector<bool> marking(std::initializer_list<int> columns)
{
    std::vector<bool> marked(CustomerColumns, false);
    for (int column : columns)
        marked[std::size_t(column)] = true;
    return marked;
}

} // namespace corvane::test
