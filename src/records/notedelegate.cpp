#include "records/notedelegate.h"

#include "records/recentcallsmodel.h"

#include <QMetaProperty>

namespace corvane {

namespace {

const char *const StartedFrom = "corvaneNoteStartedFrom";

QString typed(const QWidget *editor)
{
    return editor->metaObject()->userProperty().read(editor).toString();
}

} // namespace

void NoteDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    // The view hands on every change of the cell; only the first fills the editor.
    if (editor->property(StartedFrom).isValid())
        return;
    QStyledItemDelegate::setEditorData(editor, index);
    editor->setProperty(StartedFrom, index.data(Qt::EditRole).toString());
}

void NoteDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *calls = qobject_cast<RecentCallsModel *>(model))
        calls->typeNote(index, editor->property(StartedFrom).toString(), typed(editor));
}

} // namespace corvane
