#include "records/dbedit.h"

#include "desktop/guard.h"
#include "records/dataset.h"
#include "records/datasource.h"
#include "widgets/lineedittext.h"

namespace corvane {

DBEdit::DBEdit(DataSource *source, const QString &field, QWidget *parent)
    : QLineEdit(parent), m_source(source), m_field(field)
{
    connect(m_source, &DataSource::datasetChanged, this, &DBEdit::bind);
    // textChanged, not textEdited: a text the program puts in counts as typed.
    connect(this, &QLineEdit::textChanged, this,
            [this](const QString &text) { guarded([&] { writeField(text); }); });
    bind();
}

QString DBEdit::field() const
{
    return m_field;
}

void DBEdit::bind()
{
    disconnect(m_dataConnection);
    disconnect(m_stateConnection);
    if (Dataset *dataset = m_source->dataset()) {
        m_dataConnection = connect(dataset, &Dataset::dataChanged, this, &DBEdit::showField);
        m_stateConnection = connect(dataset, &Dataset::stateChanged, this, &DBEdit::showField);
    }
    showField();
}

void DBEdit::showField()
{
    const Dataset *dataset = m_source->dataset();
    setReadOnly(!dataset || !dataset->isEditing());
    // A field the result lacks shows empty rather than failing on every move.
    const QString text =
        dataset && dataset->fieldIndex(m_field) >= 0 ? dataset->fieldText(m_field) : QString();
    if (text != this->text())
        showFromStart(this, text);
}

void DBEdit::writeField(const QString &text)
{
    Dataset *dataset = m_source->dataset();
    if (dataset && dataset->isEditing())
        dataset->setFieldText(m_field, text);
}

} // namespace corvane
