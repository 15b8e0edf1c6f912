#include "records/recentcallsmodel.h"

#include "core/callcaption.h"
#include "platform/handlerboundary.h"

#include <algorithm>

namespace corvane {

namespace {

bool newerThan(const Record &row, const Record &than)
{
    const auto taken = [](const Record &r) { return r[RecentCallsStore::Taken].value_or(QString()); };
    const auto id = [](const Record &r) { return r[RecentCallsStore::Id].value_or(QString()).toLongLong(); };
    return std::pair(taken(row), id(row)) > std::pair(taken(than), id(than));
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
    endResetModel();
}

void RecentCallsModel::refresh()
{
    runGuarded(
        [&] {
            auto query = m_store.calls(m_filter, m_today());
            std::vector<Record> fresh = query->first(Page);
            if (m_rows.empty()) {
                beginResetModel();
                m_atEnd = fresh.size() < std::size_t(Page);
                m_rows = std::move(fresh);
                m_query = std::move(query);
                endResetModel();
                return;
            }
            // More new calls than a page: read on until the rows already listed.
            std::vector<Record> arrived;
            while (!fresh.empty()) {
                const auto old = std::find_if(fresh.begin(), fresh.end(), [&](const Record &row) {
                    return !newerThan(row, m_rows.front());
                });
                arrived.insert(arrived.end(), fresh.begin(), old);
                if (old != fresh.end())
                    break;
                fresh = query->read(&arrived.back(), PagedQuery::Direction::Forward, 0, Page);
            }
            m_query = std::move(query);
            if (arrived.empty())
                return;
            beginInsertRows({}, 0, int(arrived.size()) - 1);
            m_rows.insert(m_rows.begin(), arrived.begin(), arrived.end());
            endInsertRows();
        },
        [this](const QString &message) { Q_EMIT failed(message); });
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
    return field(row, RecentCallsStore::Id).toLongLong();
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
    Record &call = m_rows.at(std::size_t(index.row()));
    if (index.column() == Note && role == Qt::EditRole) {
        const QString note = value.toString();
        if (call[RecentCallsStore::Note] == note)
            return false;
        // Kept in the cell whatever the database says: the text typed is not lost.
        call[RecentCallsStore::Note] = note;
        Q_EMIT dataChanged(index, index);
        save(index.row(), [&](qint64 id) { return m_store.saveNote(id, note); });
        return true;
    }
    if (index.column() == Handled && role == Qt::CheckStateRole) {
        const bool handled = value.toInt() == Qt::Checked;
        const std::optional<QString> before = call[RecentCallsStore::Handled];
        call[RecentCallsStore::Handled] = handled ? QStringLiteral("1") : QStringLiteral("0");
        bool saved = false;
        save(index.row(), [&](qint64 id) { return saved = m_store.saveHandled(id, handled); });
        if (!saved)
            m_rows.at(std::size_t(index.row()))[RecentCallsStore::Handled] = before;
        Q_EMIT dataChanged(index, index);
        return saved;
    }
    return false;
}

void RecentCallsModel::save(int row, const std::function<bool(qint64)> &write)
{
    bool found = true;
    runGuarded([&] { found = write(idAt(row)); },
               [this](const QString &message) {
                   Q_EMIT failed(tr("来电记录没有保存：%1\n请稍后再试一次。").arg(message));
               });
    if (!found)
        Q_EMIT failed(tr("这个来电已经不在数据库里了，没有保存。"));
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
