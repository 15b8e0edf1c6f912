#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace corvane {

// One row's values as text; std::nullopt for null.
using RowValues = std::vector<std::optional<QString>>;

// The rows of an open dataset: the snapshot taken at opening plus the
// dataset's own appends, edits and deletions.
class RowSource
{
public:
    virtual ~RowSource() = default;

    virtual QStringList fields() const = 0;
    virtual int size() const = 0;
    virtual std::optional<QString> value(int row, int column) const = 0;
    virtual void append(const RowValues &values) = 0;
    virtual void replace(int row, const RowValues &values) = 0;
    virtual void remove(int row) = 0;
};

} // namespace corvane
