#pragma once

#include "store/pagedquery.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

namespace corvane {

// A store's query as the windows browse it: counted when opened, walked both
// ways, edited one row at a time. A small result is read whole at opening; a
// big one a page at a time as it is shown. Rows read are kept, so what the
// window shows stays as it was while the database holds no transaction for
// it; rows added elsewhere after opening are not part of it.
class Dataset : public QObject
{
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    // Results up to this many rows are read whole when opened.
    static constexpr int CachedRows = 8192;
    // Rows read are kept up to this many; those farthest from the rows shown
    // go first.
    static constexpr int KeptRows = CachedRows * 4;

    explicit Dataset(QObject *parent = nullptr);
    Dataset(std::unique_ptr<PagedQuery> query, QObject *parent = nullptr);
    ~Dataset() override;

    // Closes the dataset and makes it read `query` when opened.
    void setQuery(std::unique_ptr<PagedQuery> query);

    void open();
    void close();
    bool isOpen() const;

    int recordCount() const;
    int recordNumber() const;
    State state() const;
    bool isEditing() const; // in the edit or the insert state
    bool isModified() const;

    int fieldIndex(const QString &field) const; // -1 when the result has no such field
    QString fieldText(const QString &field) const;
    void setFieldText(const QString &field, const QString &value);
    // A row's value, for grids; does not move the current row.
    QString cellText(int row, int column) const;

    void first();
    void prior();
    void next();
    void last();
    void moveTo(int row);
    // Moves to the row of key `key`; false when the result does not hold it.
    bool moveToKey(qint64 key);

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
    const Record &row(int row) const;
    void readPage(int row) const;
    qint64 keyOf(int row) const;
    int rowCount() const;

    static constexpr int PageRows = 256;

    std::unique_ptr<PagedQuery> m_query;
    State m_state = State::Inactive;
    QStringList m_fields;
    // Rows of the result as counted at opening, and those this dataset added.
    int m_stored = 0;
    std::vector<Record> m_added;
    mutable std::map<int, Record> m_read;
    mutable Record m_unreadable;
    int m_current = -1;
    Record m_pending;
    std::vector<bool> m_changed;
};

} // namespace corvane
