#pragma once

#include "records/rowstore.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct sqlite3;

namespace corvane {

class Connection;
struct TableKey;

// A query (ADOQuery1 ...) with a static snapshot: opening copies the result into
// compact row storage, so it can be counted and walked both ways and does not
// change when the table changes. Holding the result instead of a read
// transaction keeps the WAL file from growing while a dataset stays open.
class Dataset : public QObject
{
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    Dataset(Connection &connection, const QString &designSql, QObject *parent = nullptr);

    // Closes the dataset and makes the statement its whole SQL text.
    void setSql(const QString &statement);
    QString sql() const;

    void open();
    void close();
    bool isOpen() const;
    void execute();

    int recordCount() const;
    int recordNumber() const;
    State state() const;
    bool isModified() const;

    QStringList fieldNames() const;
    int fieldIndex(const QString &field) const; // -1 when the result has no such field
    QString fieldText(const QString &field) const;
    void setFieldText(const QString &field, const QString &value);
    // A stored row's value, for grids; does not move the current row.
    QString cellText(int row, int column) const;

    void first();
    void prior();
    void next();
    void last();
    void moveTo(int row);

    void append();
    void edit();
    void post();
    void cancel();
    void remove();

Q_SIGNALS:
    // Something bound controls show may have changed: the current row moved,
    // the rows changed or a field of the pending row was set.
    void dataChanged();
    // Rows were read, dropped, added, changed or deleted.
    void rowsChanged();
    void stateChanged();

private:
    using Values = std::vector<std::optional<QString>>;

    void requireOpen() const;
    int requireField(const QString &field) const;
    void settle();
    void setState(State state);
    void setCurrent(int row);
    void insertPending(sqlite3 *db, const TableKey &target);
    void updatePending(sqlite3 *db, const TableKey &target);
    void encode(const Values &values);
    Values rowValues(int row) const;

    Connection &m_connection;
    QString m_sql;
    State m_state = State::Inactive;
    QStringList m_fields;
    RowStore m_rows;
    int m_current = -1;
    Values m_pending;
    std::vector<bool> m_changed;
};

} // namespace corvane
