#pragma once

#include "store/pagedquery.h"
#include "store/recentcallsstore.h"

#include <QAbstractTableModel>

#include <functional>
#include <map>
#include <memory>

namespace corvane {

// The recent calls as the window lists them, newest first: read a page at a
// time as the list is scrolled, the note edited in place and the handled mark
// toggled, each saved at once. New calls come in on top without moving the
// rows already read, so the user's place, selection and an edit in progress
// stay where they are; what another desk saved on the rows read comes in
// with them.
class RecentCallsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Time, Number, Caller, Handled, Note, ColumnCount };
    static constexpr int Page = 100;

    RecentCallsModel(RecentCallsStore &store, std::function<QDate()> today, QObject *parent = nullptr);

    // Lists the calls `filter` leaves, from the top.
    void setFilter(const RecentCallsFilter &filter);
    const RecentCallsFilter &filter() const { return m_filter; }
    // Drops the rows read: a hidden window holds none.
    void clear();
    // Puts the calls written since in their places among the rows read,
    // shows the notes and handled marks saved elsewhere since on rows
    // `firstShown` to `lastShown` (numbered with the new calls in), and saves
    // again the notes the database refused. Only the rows on the screen are
    // read again: the rows read may run to many more.
    void refresh(int firstShown = 0, int lastShown = Page - 1);
    // The note typed into an editor that began with `startedFrom`: saved
    // only over that, so a note another desk saved since is kept beside it.
    // setData() takes the note shown as the beginning.
    bool typeNote(const QModelIndex &index, const QString &startedFrom, const QString &note);

    // The number of a row and its customer's key (0 for none).
    QString numberAt(int row) const;
    qint64 customerAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

Q_SIGNALS:
    // A read or a save the database refused, or a note kept beside the one
    // another desk saved meanwhile, in words for the user.
    void failed(const QString &message);
    // The note or handled mark of the call of row `callId` was saved.
    void edited(qint64 callId);

private:
    QString field(int row, RecentCallsStore::Field field) const;
    qint64 idAt(int row) const;
    bool save(qint64 id, const std::function<bool(qint64)> &write);
    // A note typed and the one its editor started from.
    struct UnsavedNote
    {
        QString startedFrom;
        QString note;
    };
    void saveNote(qint64 id, const UnsavedNote &unsaved);
    // Throws Failure when the database refuses; false when the call is gone.
    bool writeNote(qint64 id, const UnsavedNote &unsaved);
    void showNote(qint64 id, const QString &note);
    void saveRefusedNotes();
    void showMarks(int first, int last);
    void place(const Record &call);

    RecentCallsStore &m_store;
    std::function<QDate()> m_today;
    RecentCallsFilter m_filter;
    std::unique_ptr<PagedQuery> m_query;
    std::vector<Record> m_rows;
    bool m_atEnd = true;
    // The newest call read by refresh(), known by its id: the time taken says
    // nothing of when a call was written once the PC clock went back.
    qint64 m_newestId = 0;
    // The notes the database refused, by call, to be saved again; kept while
    // the window is hidden too.
    std::map<qint64, UnsavedNote> m_refusedNotes;
};

} // namespace corvane
