#pragma once

#include "records/rowstore.h"

#include <QAbstractTableModel>

namespace corvane {

// The picker's list items: a code (the item's caption) and a name (its one
// sub-item) per customer, kept compactly so that a million of them cost little
// more than their text, and only the rows on screen become strings.
class CustomerListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit CustomerListModel(QObject *parent = nullptr);

    // Adding rows one by one between these two tells views once.
    void beginFilling();
    void endFilling();
    void append(const QString &code, const QString &name);
    QString code(int row) const;
    QString name(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    RowStore m_rows;
};

} // namespace corvane
