#include "records/customerentryform.h"

#include "desktop/guard.h"
#include "desktop/messagebox.h"
#include "desktop/modalshow.h"
#include "platform/failure.h"
#include "records/dataset.h"
#include "records/datasource.h"
#include "records/dbedit.h"
#include "store/customerstore.h"
#include "widgets/windowgeometry.h"

#include <QKeyEvent>
#include <QToolButton>

namespace corvane {

CustomerEntryForm::CustomerEntryForm(CustomerStore &customers, QWidget *parent)
    : QDialog(parent), m_customers(new Dataset(customers.allCustomers(), this)),
      m_source(new DataSource(m_customers, this))
{
    buildLayout();
    connectHandlers();
}

int CustomerEntryForm::showModalFromMenu()
{
    if (isVisible())
        throw Failure(QStringLiteral("Cannot make a visible window modal"));
    centreOnScreen(this);
    return execModal(*this);
}

void CustomerEntryForm::saveNewNumber(const QString &number)
{
    bringForward();
    if (isEditLook()) {
        // A row is already pending: append saves it if it was changed (or drops
        // it), and when the database refuses it the row stays in front of the
        // user with its error, without a new row taking its place.
        m_customers->append();
        m_customerCodeEdit->setFocus();
    } else {
        onAddClicked();
    }
    m_telEdit->setText(number);
}

bool CustomerEntryForm::isEditLook() const
{
    return m_saveButton->isEnabled();
}

bool CustomerEntryForm::hasChangedRow() const
{
    return isEditLook() && m_customers->isModified();
}

void CustomerEntryForm::saveChangedRow()
{
    onSaveClicked();
}

void CustomerEntryForm::dropChangedRow()
{
    onCancelClicked();
}

void CustomerEntryForm::bringForward()
{
    corvane::bringForward(this);
}

void CustomerEntryForm::showCustomer(qint64 id)
{
    bringForward();
    // A customer saved since the form read its rows is there once they are read again.
    if (!m_customers->moveToKey(id)) {
        rereadCustomers();
        m_customers->moveToKey(id);
    }
}

void CustomerEntryForm::rereadCustomers()
{
    if (m_customers->isEditing())
        return;
    m_customers->close();
    if (isVisible())
        m_customers->open();
}

void CustomerEntryForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guarded([this] { onShown(); });
}

// Escape does not close the form: only "退出" and the close box do.
void CustomerEntryForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

// Enter walks the editors in the form's own order, not the tab order.
bool CustomerEntryForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return QDialog::eventFilter(watched, event);
    if (QWidget *next = nextOnEnter(watched))
        next->setFocus();
    // Enter is never typed into an editor, nor passed on to the dialog.
    return true;
}

QWidget *CustomerEntryForm::nextOnEnter(QObject *editor) const
{
    const std::pair<QObject *, QWidget *> walk[] = {
        {m_customerCodeEdit, m_customerNameEdit},
        {m_customerNameEdit, m_postcodeEdit},
        {m_addressEdit, m_contactEdit},
        {m_postcodeEdit, m_addressEdit},
        {m_contactEdit, m_emailEdit},
        {m_telEdit, m_addressEdit},
        {m_emailEdit, m_qqEdit},
    };
    for (const auto &[from, to] : walk) {
        if (from == editor)
            return to;
    }
    return nullptr;
}

void CustomerEntryForm::onShown()
{
    m_customers->open();
}

void CustomerEntryForm::toggleEditLook()
{
    const QColor hintBase = palette().color(QPalette::ToolTipBase);
    const QColor base = palette().color(QPalette::Base);
    for (DBEdit *editor : editors()) {
        editor->setEnabled(!editor->isEnabled());
        QPalette palette = editor->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Base) == hintBase ? base : hintBase);
        editor->setPalette(palette);
    }
    for (QToolButton *button : toolButtons())
        button->setEnabled(!button->isEnabled());
}

void CustomerEntryForm::onAddClicked()
{
    m_customers->append();
    toggleEditLook();
    m_customerCodeEdit->setFocus();
}

void CustomerEntryForm::onEditClicked()
{
    m_customers->edit();
    toggleEditLook();
}

void CustomerEntryForm::onDeleteClicked()
{
    const msg::Box question{tr("请确认是否要删除"), QStringLiteral("Corvane"), msg::Icon::Information,
                            msg::Buttons::YesNo, msg::Answer::Yes};
    if (msg::show(question) == msg::Answer::Yes)
        m_customers->remove();
}

void CustomerEntryForm::onCancelClicked()
{
    m_customers->cancel();
    toggleEditLook();
}

void CustomerEntryForm::onSaveClicked()
{
    m_customers->post();
    toggleEditLook();
}

} // namespace corvane
