#include "records/customerlistmodel.h"

namespace corvane {

namespace {

enum Column { CodeColumn, NameColumn, ColumnCount };

} // namespace

CustomerListModel::CustomerListModel(QObject *parent) : QAbstractTableModel(parent) {}

void CustomerListModel::beginFilling()
{
    beginResetModel();
    m_rows.clear();
}

void CustomerListModel::endFilling()
{
    endResetModel();
}

void CustomerListModel::append(const QString &code, const QString &name)
{
    const QByteArray codeBytes = code.toUtf8();
    const QByteArray nameBytes = name.toUtf8();
    m_rows.beginRow();
    m_rows.addValue(QByteArrayView(codeBytes));
    m_rows.addValue(QByteArrayView(nameBytes));
    m_rows.appendRow();
}

QString CustomerListModel::code(int row) const
{
    return RowStore::text(m_rows.value(row, CodeColumn));
}

QString CustomerListModel::name(int row) const
{
    return RowStore::text(m_rows.value(row, NameColumn));
}

int CustomerListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int CustomerListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CustomerListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows.size())
        return {};
    return RowStore::text(m_rows.value(index.row(), index.column()));
}

QVariant CustomerListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == CodeColumn)
        return tr("客户编码");
    if (section == NameColumn)
        return tr("客户名称");
    return {};
}

} // namespace corvane
