#include "core/callsharing.h"

#include "core/calldesk.h"
#include "store/callannouncements.h"

namespace corvane {

void shareCalls(CallDesk &desk, CallAnnouncements &announcements)
{
    // Reported while the call is the one shown: its token is the desk's.
    QObject::connect(
        &desk, &CallDesk::callReported, &announcements, [&desk, &announcements](const CallerIdReport &call) {
            announcements.announce({call.number, call.dateText, call.timeText, desk.shownCallToken()});
        });
    // Queued: the new-number question (or a box of the list that shows an
    // edit) waits for the user, and the channel's reading of the server is not
    // to wait with it.
    QObject::connect(
        &announcements, &CallAnnouncements::heard, &desk,
        [&desk](const AnnouncedCall &call) {
            desk.showAnnouncedCall({call.number, call.dateText, call.timeText}, call.token);
        },
        Qt::QueuedConnection);
    QObject::connect(
        &announcements, &CallAnnouncements::editHeard, &desk, [&desk] { desk.showOtherDeskEdit(); },
        Qt::QueuedConnection);
    announcements.open();
}

} // namespace corvane
