#pragma once

#include "records/rowsource.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

struct sqlite3;

namespace corvane {

class Connection;
struct TableKey;

// A query (ADOQuery1 ...) with a static snapshot: it can be counted and walked
// both ways and does not change when the tables change. A result is copied into
// compact storage when opened; a big result of one table is read from a held
// snapshot instead (see SnapshotRows), so opening a million customers or a
// year of calls stays quick.
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
    bool isEditing() const; // in the edit or the insert state
    bool isModified() const;

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
    void requireOpen() const;
    int requireField(const QString &field) const;
    void settle();
    void setState(State state);
    void setCurrent(int row);
    void insertPending(sqlite3 *db, const TableKey &target);
    void updatePending(sqlite3 *db, const TableKey &target);
    // The current row's key, for a statement ending in keyCondition(target).
    qint64 currentKey(const TableKey &target) const;
    RowValues rowValues(int row) const;
    int rowCount() const;

    Connection &m_connection;
    QString m_sql;
    State m_state = State::Inactive;
    QStringList m_fields;
    std::unique_ptr<RowSource> m_rows;
    int m_current = -1;
    RowValues m_pending;
    std::vector<bool> m_changed;
};

} // namespace corvane
