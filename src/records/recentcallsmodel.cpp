#include "records/recentcallsmodel.h"

#include "core/callcaption.h"
#include "platform/handlerboundary.h"

#include <algorithm>

namespace corvane {

namespace {

qint64 idOf(const Record &call)
{
    return call[RecentCallsStore::Id].value_or(QString()).toLongLong();
}

bool newerThan(const Record &row, const Record &than)
{
    const auto taken = [](const Record &r) { return r[RecentCallsStore::Taken].value_or(QString()); };
    return std::pair(taken(row), idOf(row)) > std::pair(taken(than), idOf(than));
}

} // namespace

RecentCallsModel::RecentCallsModel(RecentCallsStore &store, std::function<QDate()> today, QObject *parent)
    : QAbstractTableModel(parent), m_store(store), m_today(std::move(today))
{
}

void RecentCallsModel::setFilter(const RecentCallsFilter &filter)
{
    m_filter = filter;
    clear();
    refresh();
}

void RecentCallsModel::clear()
{
    beginResetModel();
    m_query.reset();
    m_rows.clear();
    m_atEnd = true;
    m_newestId = 0;
    endResetModel();
}

void RecentCallsModel::refresh(int firstShown, int lastShown)
{
    saveRefusedNotes();
    runGuarded(
        [&] {
            auto query = m_store.calls(m_filter, m_today());
            if (m_rows.empty()) {
                beginResetModel();
                m_rows = query->first(Page);
                m_atEnd = m_rows.size() < std::size_t(Page);
                m_query = std::move(query);
                for (Record &row : m_rows) {
                    m_newestId = std::max(m_newestId, idOf(row));
                    if (const auto refused = m_refusedNotes.find(idOf(row)); refused != m_refusedNotes.end())
                        row[RecentCallsStore::Note] = refused->second.note;
                }
                endResetModel();
                return;
            }
            m_query = std::move(query);
            const auto written = m_store.calls(m_filter, m_today(), m_newestId);
            for (std::vector<Record> page = written->first(Page); !page.empty();
                 page = written->read(&page.back(), PagedQuery::Direction::Forward, 0, Page)) {
                for (const Record &call : page)
                    place(call);
            }
            showMarks(firstShown, lastShown);
        },
        [this](const QString &message) { Q_EMIT failed(message); });
}

void RecentCallsModel::showMarks(int first, int last)
{
    std::vector<qint64> ids;
    std::map<qint64, int> rows;
    for (int row = std::max(first, 0); row <= std::min(last, rowCount() - 1); ++row) {
        ids.push_back(idAt(row));
        rows[ids.back()] = row;
    }
    for (const RecentCallsStore::Marks &marks : m_store.marks(ids)) {
        Record &call = m_rows[std::size_t(rows.at(marks.id))];
        // A note the database refused stays as typed until it is saved.
        const bool noteShown =
            m_refusedNotes.count(marks.id) > 0 || call[RecentCallsStore::Note] == marks.note;
        if (call[RecentCallsStore::Handled] == marks.handled && noteShown)
            continue;
        call[RecentCallsStore::Handled] = marks.handled;
        if (!noteShown)
            call[RecentCallsStore::Note] = marks.note;
        // More than one cell, so that a view leaves an editor open on the note
        // as the user typed it.
        Q_EMIT dataChanged(index(rows.at(marks.id), Handled), index(rows.at(marks.id), Note));
    }
}

void RecentCallsModel::place(const Record &call)
{
    const qint64 id = idOf(call);
    m_newestId = std::max(m_newestId, id);
    if (std::any_of(m_rows.begin(), m_rows.end(), [&](const Record &row) { return idOf(row) == id; }))
        return;
    const auto at =
        std::find_if(m_rows.begin(), m_rows.end(), [&](const Record &row) { return newerThan(call, row); });
    // Below the rows read it comes with the next page.
    if (at == m_rows.end() && !m_atEnd)
        return;
    const int row = int(at - m_rows.begin());
    beginInsertRows({}, row, row);
    m_rows.insert(at, call);
    endInsertRows();
}

QString RecentCallsModel::numberAt(int row) const
{
    return field(row, RecentCallsStore::Number);
}

qint64 RecentCallsModel::customerAt(int row) const
{
    return field(row, RecentCallsStore::FoundId).toLongLong();
}

QString RecentCallsModel::field(int row, RecentCallsStore::Field field) const
{
    return m_rows.at(std::size_t(row))[field].value_or(QString());
}

qint64 RecentCallsModel::idAt(int row) const
{
    return idOf(m_rows.at(std::size_t(row)));
}

int RecentCallsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RecentCallsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RecentCallsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const Record &call = m_rows.at(std::size_t(index.row()));
    if (index.column() == Handled)
        return role == Qt::CheckStateRole
                   ? QVariant(call[RecentCallsStore::Handled] == QStringLiteral("1") ? Qt::Checked
                                                                                     : Qt::Unchecked)
                   : QVariant();
    // A note of several lines (two desks' notes kept together) shows its first
    // in the cell: the whole of it comes when the pointer rests there.
    if (index.column() == Note && role == Qt::ToolTipRole)
        return field(index.row(), RecentCallsStore::Note);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case Time:
        return field(index.row(), RecentCallsStore::Taken);
    case Number:
        return field(index.row(), RecentCallsStore::Number);
    case Caller:
        return callerCaption(call);
    case Note:
        return field(index.row(), RecentCallsStore::Note);
    default:
        return {};
    }
}

QVariant RecentCallsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const QStringList headings{tr("时间"), tr("号码"), tr("客户"), tr("已处理"), tr("备注")};
    return headings.value(section);
}

Qt::ItemFlags RecentCallsModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == Handled)
        return flags | Qt::ItemIsUserCheckable;
    if (index.column() == Note)
        return flags | Qt::ItemIsEditable;
    return flags;
}

bool RecentCallsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid())
        return false;
    if (index.column() == Note && role == Qt::EditRole)
        return typeNote(index, field(index.row(), RecentCallsStore::Note), value.toString());
    Record &call = m_rows.at(std::size_t(index.row()));
    if (index.column() == Handled && role == Qt::CheckStateRole) {
        const bool handled = value.toInt() == Qt::Checked;
        const std::optional<QString> before = call[RecentCallsStore::Handled];
        call[RecentCallsStore::Handled] = handled ? QStringLiteral("1") : QStringLiteral("0");
        bool saved = false;
        save(idAt(index.row()), [&](qint64 id) { return saved = m_store.saveHandled(id, handled); });
        if (!saved)
            m_rows.at(std::size_t(index.row()))[RecentCallsStore::Handled] = before;
        Q_EMIT dataChanged(index, index);
        return saved;
    }
    return false;
}

bool RecentCallsModel::typeNote(const QModelIndex &index, const QString &startedFrom, const QString &note)
{
    if (!index.isValid() || index.column() != Note)
        return false;
    Record &call = m_rows.at(std::size_t(index.row()));
    const qint64 id = idAt(index.row());
    const auto refused = m_refusedNotes.find(id);
    if (call[RecentCallsStore::Note] == note && refused == m_refusedNotes.end())
        return false;
    // The database still holds what a refused note was typed over.
    const QString over = refused != m_refusedNotes.end() ? refused->second.startedFrom : startedFrom;
    // Kept in the cell whatever the database says: the text typed is not lost.
    call[RecentCallsStore::Note] = note;
    Q_EMIT dataChanged(index, index);
    saveNote(id, {over, note});
    return true;
}

bool RecentCallsModel::save(qint64 id, const std::function<bool(qint64)> &write)
{
    bool found = true;
    bool answered = true;
    runGuarded([&] { found = write(id); },
               [&](const QString &message) {
                   answered = false;
                   Q_EMIT failed(tr("来电记录没有保存：%1\n请稍后再试一次。").arg(message));
               });
    if (answered && !found)
        Q_EMIT failed(tr("这个来电已经不在数据库里了，没有保存。"));
    if (answered && found)
        Q_EMIT edited(id);
    return answered;
}

void RecentCallsModel::saveNote(qint64 id, const UnsavedNote &unsaved)
{
    if (save(id, [&](qint64) { return writeNote(id, unsaved); }))
        m_refusedNotes.erase(id);
    else
        m_refusedNotes[id] = unsaved;
}

bool RecentCallsModel::writeNote(qint64 id, const UnsavedNote &unsaved)
{
    const std::optional<QString> now = m_store.saveNote(id, unsaved.startedFrom, unsaved.note);
    if (now && *now != unsaved.note) {
        // Another desk saved its note meanwhile: both are kept, its own first.
        const QString both = *now + u'\n' + unsaved.note;
        showNote(id, both);
        Q_EMIT failed(
            tr("另一台电脑刚刚改过这个来电的备注，两段备注都已保留：\n\n%1\n\n请看一下，需要时再修改。")
                .arg(both));
        return writeNote(id, {*now, both});
    }
    return now.has_value();
}

void RecentCallsModel::showNote(qint64 id, const QString &note)
{
    const auto at =
        std::find_if(m_rows.begin(), m_rows.end(), [&](const Record &row) { return idOf(row) == id; });
    if (at == m_rows.end())
        return;
    (*at)[RecentCallsStore::Note] = note;
    const QModelIndex cell = index(int(at - m_rows.begin()), Note);
    Q_EMIT dataChanged(cell, cell);
}

void RecentCallsModel::saveRefusedNotes()
{
    for (const auto &refused : std::map(m_refusedNotes)) {
        // Quietly: the user was told of the refusal when it came.
        runGuarded(
            [&] {
                if (writeNote(refused.first, refused.second))
                    Q_EMIT edited(refused.first);
                m_refusedNotes.erase(refused.first);
            },
            [](const QString &) {});
    }
}

bool RecentCallsModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_atEnd && m_query;
}

void RecentCallsModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    runGuarded(
        [&] {
            std::vector<Record> more = m_query->read(&m_rows.back(), PagedQuery::Direction::Forward, 0, Page);
            m_atEnd = more.size() < std::size_t(Page);
            if (more.empty())
                return;
            beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + more.size()) - 1);
            m_rows.insert(m_rows.end(), more.begin(), more.end());
            endInsertRows();
        },
        [this](const QString &message) {
            m_atEnd = true;
            Q_EMIT failed(message);
        });
}

} // namespace corvane
