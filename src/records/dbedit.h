#pragma once

#include <QLineEdit>
#include <QMetaObject>

namespace corvane {

class DataSource;

// A single-line data-aware editor: shows one field of the current row, follows
// every move, and while the dataset is in edit or insert state writes what is
// typed (or set by the program) into the row. Outside those states it is read
// only, so nothing typed can be silently lost.
class DBEdit : public QLineEdit
{
    Q_OBJECT
public:
    DBEdit(DataSource *source, const QString &field, QWidget *parent = nullptr);

    QString field() const;

private:
    void bind();
    void showField();
    void writeField(const QString &text);

    DataSource *m_source;
    QString m_field;
    QMetaObject::Connection m_dataConnection;
    QMetaObject::Connection m_stateConnection;
};

} // namespace corvane
