#include "records/storedrows.h"

#include "platform/failure.h"
#include "records/statement.h"

namespace corvane {

StoredRows::StoredRows(sqlite3 *db, const QString &sql)
{
    Statement select(db, sql);
    if (select.columnCount() == 0)
        throw Failure(QStringLiteral("The statement returns no rows"));
    for (int c = 0; c < select.columnCount(); ++c)
        m_fields.append(select.columnName(c));
    while (select.step()) {
        m_rows.beginRow();
        for (int c = 0; c < m_fields.size(); ++c)
            m_rows.addValue(select.column(c));
        m_rows.appendRow();
    }
}

QStringList StoredRows::fields() const
{
    return m_fields;
}

int StoredRows::size() const
{
    return m_rows.size();
}

std::optional<QString> StoredRows::value(int row, int column) const
{
    const RowStore::Value value = m_rows.value(row, column);
    return value ? std::optional<QString>(QString::fromUtf8(*value)) : std::nullopt;
}

void StoredRows::append(const RowValues &values)
{
    encode(values);
    m_rows.appendRow();
}

void StoredRows::replace(int row, const RowValues &values)
{
    encode(values);
    m_rows.replaceRow(row);
}

void StoredRows::remove(int row)
{
    m_rows.removeRow(row);
}

void StoredRows::encode(const RowValues &values)
{
    m_rows.beginRow();
    for (const std::optional<QString> &value : values) {
        const QByteArray bytes = value ? value->toUtf8() : QByteArray();
        m_rows.addValue(value ? RowStore::Value(QByteArrayView(bytes)) : std::nullopt);
    }
}

} // namespace corvane
