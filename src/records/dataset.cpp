#include "records/dataset.h"

#include "platform/failure.h"

#include <algorithm>

namespace corvane {

Dataset::Dataset(QObject *parent) : QObject(parent) {}

Dataset::Dataset(std::unique_ptr<PagedQuery> query, QObject *parent)
    : QObject(parent), m_query(std::move(query))
{
}

Dataset::~Dataset() = default;

void Dataset::setQuery(std::unique_ptr<PagedQuery> query)
{
    close();
    m_query = std::move(query);
}

void Dataset::open()
{
    if (isOpen())
        return;
    if (!m_query)
        throw Failure(QStringLiteral("Command text was not set for the command object"));
    PagedQuery::Start start = m_query->start(CachedRows, PageRows);
    m_fields = m_query->fields();
    m_stored = int(start.count);
    m_added.clear();
    m_read.clear();
    for (std::size_t i = 0; i < start.firstRows.size(); ++i)
        m_read.emplace(int(i), std::move(start.firstRows[i]));
    m_current = rowCount() > 0 ? 0 : -1;
    setState(State::Browse);
    Q_EMIT rowsChanged();
    Q_EMIT dataChanged();
}

void Dataset::close()
{
    if (!isOpen())
        return;
    m_fields.clear();
    m_read.clear();
    m_added.clear();
    m_stored = 0;
    m_pending.clear();
    m_changed.clear();
    m_current = -1;
    setState(State::Inactive);
    Q_EMIT rowsChanged();
    Q_EMIT dataChanged();
}

bool Dataset::isOpen() const
{
    return m_state != State::Inactive;
}

int Dataset::recordCount() const
{
    return rowCount();
}

int Dataset::recordNumber() const
{
    return m_current;
}

Dataset::State Dataset::state() const
{
    return m_state;
}

bool Dataset::isEditing() const
{
    return m_state == State::Edit || m_state == State::Insert;
}

bool Dataset::isModified() const
{
    return std::find(m_changed.begin(), m_changed.end(), true) != m_changed.end();
}

int Dataset::fieldIndex(const QString &field) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString Dataset::fieldText(const QString &field) const
{
    if (!isOpen())
        return {};
    const int column = requireField(field);
    if (isEditing())
        return m_pending[std::size_t(column)].value_or(QString());
    return m_current < 0 ? QString() : cellText(m_current, column);
}

void Dataset::setFieldText(const QString &field, const QString &value)
{
    requireOpen();
    if (!isEditing())
        throw Failure(QStringLiteral("Dataset not in edit or insert mode"));
    const auto column = std::size_t(requireField(field));
    if (m_pending[column].value_or(QString()) == value)
        return;
    m_pending[column] = value;
    m_changed[column] = true;
    Q_EMIT dataChanged();
}

QString Dataset::cellText(int row, int column) const
{
    if (!isOpen() || row < 0 || row >= rowCount())
        return {};
    return this->row(row).at(std::size_t(column)).value_or(QString());
}

void Dataset::first()
{
    moveTo(0);
}

void Dataset::prior()
{
    moveTo(m_current - 1);
}

void Dataset::next()
{
    moveTo(m_current + 1);
}

void Dataset::last()
{
    moveTo(rowCount() - 1);
}

void Dataset::moveTo(int row)
{
    requireOpen();
    settle();
    if (row < 0 || row >= rowCount())
        return;
    setCurrent(row);
}

bool Dataset::moveToKey(qint64 key)
{
    requireOpen();
    settle();
    const std::optional<PagedQuery::Located> found = m_query->locate(key);
    if (!found || found->position >= m_stored)
        return false;
    setCurrent(int(found->position));
    return true;
}

void Dataset::append()
{
    requireOpen();
    settle();
    m_pending.assign(std::size_t(m_fields.size()), std::nullopt);
    m_changed.assign(std::size_t(m_fields.size()), false);
    m_current = rowCount();
    setState(State::Insert);
    Q_EMIT dataChanged();
}

void Dataset::edit()
{
    requireOpen();
    if (isEditing())
        return;
    if (rowCount() == 0) {
        append();
        return;
    }
    m_pending = row(m_current);
    m_changed.assign(std::size_t(m_fields.size()), false);
    setState(State::Edit);
}

void Dataset::post()
{
    requireOpen();
    if (!isEditing())
        return;
    const auto key = std::size_t(m_query->keyColumn());
    if (m_state == State::Insert) {
        // The key is the database's to give, unless one was typed.
        std::vector<bool> given(m_changed.size(), true);
        given[key] = m_changed[key];
        m_pending[key] = QString::number(m_query->insert(m_pending, given));
        m_added.push_back(m_pending);
        m_current = rowCount() - 1;
    } else {
        // Another program deleted the row meanwhile: saying "saved" would be a lie.
        if (!m_query->update(keyOf(m_current), m_pending, m_changed))
            throw Failure(QStringLiteral("Row cannot be located for updating. Some values may have been "
                                         "changed since it was last read"));
        if (m_current >= m_stored)
            m_added.at(std::size_t(m_current - m_stored)) = m_pending;
        else
            m_read.insert_or_assign(m_current, m_pending);
    }
    m_pending.clear();
    m_changed.clear();
    setState(State::Browse);
    Q_EMIT rowsChanged();
    Q_EMIT dataChanged();
}

void Dataset::cancel()
{
    if (!isEditing())
        return;
    const bool inserting = m_state == State::Insert;
    m_pending.clear();
    m_changed.clear();
    if (inserting)
        m_current = rowCount() - 1;
    setState(State::Browse);
    Q_EMIT dataChanged();
}

void Dataset::remove()
{
    requireOpen();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    cancel();
    if (rowCount() == 0)
        throw Failure(QStringLiteral("Cannot perform this operation on an empty dataset"));
    m_query->remove(keyOf(m_current));
    if (m_current >= m_stored) {
        m_added.erase(m_added.begin() + (m_current - m_stored));
    } else {
        // The rows read after it move up one place, as the database's do.
        std::map<int, Record> moved;
        for (auto &[row, values] : m_read) {
            if (row != m_current)
                moved.emplace(row < m_current ? row : row - 1, std::move(values));
        }
        m_read = std::move(moved);
        --m_stored;
    }
    m_current = std::min(m_current, rowCount() - 1);
    Q_EMIT rowsChanged();
    Q_EMIT dataChanged();
}

void Dataset::requireOpen() const
{
    if (!isOpen())
        throw Failure(QStringLiteral("Operation is not allowed when the object is closed"));
}

int Dataset::requireField(const QString &field) const
{
    const int column = fieldIndex(field);
    if (column < 0)
        throw Failure(
            QStringLiteral("Item cannot be found in the collection corresponding to the requested name "
                           "or ordinal: '%1'")
                .arg(field));
    return column;
}

// Leaving a pending row the way the program expects: a changed row is saved,
// an untouched one is dropped.
void Dataset::settle()
{
    if (!isEditing())
        return;
    if (isModified())
        post();
    else
        cancel();
}

void Dataset::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    Q_EMIT stateChanged();
}

void Dataset::setCurrent(int row)
{
    if (row == m_current)
        return;
    m_current = row;
    Q_EMIT dataChanged();
}

const Record &Dataset::row(int row) const
{
    if (row >= m_stored)
        return m_added.at(std::size_t(row - m_stored));
    auto found = m_read.find(row);
    if (found == m_read.end()) {
        // Rows are read while painting grids, where nothing may throw: a row
        // that cannot be read (an I/O error, or deleted elsewhere) shows empty
        // and is tried again the next time.
        try {
            readPage(row);
        } catch (const Failure &) {
        }
        found = m_read.find(row);
    }
    if (found != m_read.end())
        return found->second;
    m_unreadable.assign(std::size_t(m_fields.size()), std::nullopt);
    return m_unreadable;
}

// Reads a page starting at `row` from the nearest place known: either end of
// the result, or a row read before it or after it.
void Dataset::readPage(int row) const
{
    const Record *from = nullptr;
    auto direction = PagedQuery::Direction::Forward;
    qint64 skip = row;
    if (m_stored - 1 - row < skip) {
        direction = PagedQuery::Direction::Backward;
        skip = m_stored - 1 - row;
    }
    const auto after = m_read.upper_bound(row);
    if (after != m_read.begin()) {
        const auto before = std::prev(after);
        if (row - before->first - 1 < skip) {
            from = &before->second;
            direction = PagedQuery::Direction::Forward;
            skip = row - before->first - 1;
        }
    }
    if (after != m_read.end() && after->first - row - 1 < skip) {
        from = &after->second;
        direction = PagedQuery::Direction::Backward;
        skip = after->first - row - 1;
    }
    // Copied: the anchor goes when the kept rows are dropped below.
    const std::optional<Record> anchor = from ? std::optional<Record>(*from) : std::nullopt;
    std::vector<Record> rows = m_query->read(anchor ? &*anchor : nullptr, direction, skip, PageRows);
    // Rows far from those wanted now make room first.
    while (!m_read.empty() && m_read.size() + rows.size() > std::size_t(KeptRows)) {
        if (row - m_read.begin()->first > std::prev(m_read.end())->first - row)
            m_read.erase(m_read.begin());
        else
            m_read.erase(std::prev(m_read.end()));
    }
    const int step = direction == PagedQuery::Direction::Forward ? 1 : -1;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int place = row + step * int(i);
        if (place >= 0 && place < m_stored)
            m_read.insert_or_assign(place, std::move(rows[i]));
    }
}

qint64 Dataset::keyOf(int row) const
{
    return this->row(row).at(std::size_t(m_query->keyColumn())).value_or(QString()).toLongLong();
}

int Dataset::rowCount() const
{
    return m_stored + int(m_added.size());
}

} // namespace corvane
