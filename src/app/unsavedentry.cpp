#include "app/unsavedentry.h"

#include "desktop/messagebox.h"
#include "platform/failure.h"
#include "platform/programfolder.h"
#include "records/customerentryform.h"

#include <QCoreApplication>

#include <exception>

namespace corvane {

namespace {

bool saveShowingRefusal(CustomerEntryForm &form)
{
    try {
        form.saveChangedRow();
        return true;
    } catch (const Failure &failure) {
        msg::error(failure.message());
    }
    form.bringForward();
    return false;
}

} // namespace

bool settleUnsavedEntry(CustomerEntryForm &form, bool offerCancel)
{
    if (!form.hasChangedRow())
        return true;
    if (!offerCancel) {
        try {
            form.saveChangedRow();
        } catch (const std::exception &) {
            // Ending at once: nothing may hold the end up, and no one is left
            // to show the refusal to.
        }
        return true;
    }
    const msg::Box question{
        QCoreApplication::translate("corvane::MainWindow", "客户资料尚未保存，是否保存？"),
        applicationTitle(), msg::Icon::Question, msg::Buttons::YesNoCancel, msg::Answer::Yes};
    switch (msg::show(question)) {
    case msg::Answer::Yes:
        return saveShowingRefusal(form);
    case msg::Answer::No:
        form.dropChangedRow();
        return true;
    default:
        form.bringForward();
        return false;
    }
}

} // namespace corvane
