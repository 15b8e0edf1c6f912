#pragma once

#include "records/rowsource.h"
#include "records/rowstore.h"

struct sqlite3;

namespace corvane {

// A result copied whole into compact storage when it is opened.
class StoredRows : public RowSource
{
public:
    // Runs the statement and keeps every row it returns.
    StoredRows(sqlite3 *db, const QString &sql);

    QStringList fields() const override;
    int size() const override;
    std::optional<QString> value(int row, int column) const override;
    void append(const RowValues &values) override;
    void replace(int row, const RowValues &values) override;
    void remove(int row) override;

private:
    void encode(const RowValues &values);

    QStringList m_fields;
    RowStore m_rows;
};

} // namespace corvane
