#include "records/customerentryform.h"

#include "platform/failure.h"
#include "platform/guard.h"
#include "platform/messagebox.h"
#include "platform/modalshow.h"
#include "records/datamodule.h"
#include "records/dbedit.h"
#include "widgets/windowgeometry.h"

#include <QKeyEvent>
#include <QToolButton>

namespace corvane {

namespace {

constexpr char EnterKey = 13;

// The Enter walk: Enter in an editor moves the focus to the named one.
void moveOnEnter(char &key, QWidget *next)
{
    if (key != EnterKey)
        return;
    key = 0;
    next->setFocus();
}

} // namespace

CustomerEntryForm::CustomerEntryForm(DataModule &data, QWidget *parent) : QDialog(parent), m_data(data)
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
        m_data.ADOQuery1->append();
        DBEdit1->setFocus();
    } else {
        n_insertClick();
    }
    DBEdit6->setText(number);
}

bool CustomerEntryForm::isEditLook() const
{
    return n_save->isEnabled();
}

bool CustomerEntryForm::hasChangedRow() const
{
    return isEditLook() && m_data.ADOQuery1->isModified();
}

void CustomerEntryForm::saveChangedRow()
{
    n_saveClick();
}

void CustomerEntryForm::dropChangedRow()
{
    n_cancelClick();
}

void CustomerEntryForm::bringForward()
{
    if (!isVisible()) {
        centreOnScreen(this);
        show();
    }
    raise();
    activateWindow();
}

void CustomerEntryForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guarded([this] { FormShow(); });
}

// Escape does not close the form: only "退出" and the close box do.
void CustomerEntryForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

bool CustomerEntryForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return QDialog::eventFilter(watched, event);
    const std::pair<QObject *, void (CustomerEntryForm::*)(char &)> handlers[] = {
        {DBEdit1, &CustomerEntryForm::DBEdit1KeyPress}, {DBEdit2, &CustomerEntryForm::DBEdit2KeyPress},
        {DBEdit3, &CustomerEntryForm::DBEdit3KeyPress}, {DBEdit4, &CustomerEntryForm::DBEdit4KeyPress},
        {DBEdit5, &CustomerEntryForm::DBEdit5KeyPress}, {DBEdit6, &CustomerEntryForm::DBEdit6KeyPress},
        {DBEdit7, &CustomerEntryForm::DBEdit7KeyPress},
    };
    char character = EnterKey;
    for (const auto &[editor, handler] : handlers) {
        if (editor == watched)
            guarded([&] { (this->*handler)(character); });
    }
    // Enter is never typed into an editor, nor passed on to the dialog.
    return true;
}

void CustomerEntryForm::FormShow()
{
    m_data.ADOQuery1->open();
}

void CustomerEntryForm::ToggleEditMode()
{
    const QColor infoBk = palette().color(QPalette::ToolTipBase);
    const QColor window = palette().color(QPalette::Base);
    for (DBEdit *editor : editors()) {
        editor->setEnabled(!editor->isEnabled());
        QPalette palette = editor->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Base) == infoBk ? window : infoBk);
        editor->setPalette(palette);
    }
    for (QToolButton *button : toolButtons())
        button->setEnabled(!button->isEnabled());
}

void CustomerEntryForm::n_insertClick()
{
    m_data.ADOQuery1->append();
    ToggleEditMode();
    DBEdit1->setFocus();
}

void CustomerEntryForm::n_editClick()
{
    m_data.ADOQuery1->edit();
    ToggleEditMode();
}

void CustomerEntryForm::n_deleteClick()
{
    const msg::Box question{tr("请确认是否要删除"), QStringLiteral("Corvane"), msg::Icon::Information,
                            msg::Buttons::YesNo, msg::Answer::Yes};
    if (msg::show(question) == msg::Answer::Yes)
        m_data.ADOQuery1->remove();
}

void CustomerEntryForm::n_cancelClick()
{
    m_data.ADOQuery1->cancel();
    ToggleEditMode();
}

void CustomerEntryForm::n_saveClick()
{
    m_data.ADOQuery1->post();
    ToggleEditMode();
}

void CustomerEntryForm::n_exitClick()
{
    close();
}

void CustomerEntryForm::sp1Click()
{
    m_data.ADOQuery1->first();
}

void CustomerEntryForm::sp2Click()
{
    m_data.ADOQuery1->prior();
}

void CustomerEntryForm::sp3Click()
{
    m_data.ADOQuery1->next();
}

void CustomerEntryForm::sp4Click()
{
    m_data.ADOQuery1->last();
}

void CustomerEntryForm::DBEdit1KeyPress(char &key)
{
    moveOnEnter(key, DBEdit2);
}

void CustomerEntryForm::DBEdit2KeyPress(char &key)
{
    moveOnEnter(key, DBEdit4);
}

void CustomerEntryForm::DBEdit3KeyPress(char &key)
{
    moveOnEnter(key, DBEdit5);
}

void CustomerEntryForm::DBEdit4KeyPress(char &key)
{
    moveOnEnter(key, DBEdit3);
}

void CustomerEntryForm::DBEdit5KeyPress(char &key)
{
    moveOnEnter(key, DBEdit7);
}

void CustomerEntryForm::DBEdit6KeyPress(char &key)
{
    moveOnEnter(key, DBEdit3);
}

void CustomerEntryForm::DBEdit7KeyPress(char &key)
{
    moveOnEnter(key, DBEdit8);
}

} // namespace corvane
