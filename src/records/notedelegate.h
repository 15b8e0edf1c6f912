#pragma once

#include <QStyledItemDelegate>

namespace corvane {

// The editor of a recent call's note: what the user types stays as typed
// while the note beneath it changes (another desk saved one), and is saved
// only over the note the editor began with (RecentCallsModel::typeNote()).
class NoteDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
};

} // namespace corvane
