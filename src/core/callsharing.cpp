#include "core/callsharing.h"

#include "core/calldesk.h"
#include "store/callannouncements.h"

namespace corvane {

void shareCalls(CallDesk &desk, CallAnnouncements &announcements)
{
    QObject::connect(&desk, &CallDesk::callReported, &announcements,
                     [&announcements](const CallerIdReport &call) {
                         announcements.announce({call.number, call.dateText, call.timeText});
                     });
    // Queued: the new-number question waits for the user, and the channel's
    // reading of the server is not to wait with it.
    QObject::connect(
        &announcements, &CallAnnouncements::heard, &desk,
        [&desk](const AnnouncedCall &call) {
            desk.showAnnouncedCall({call.number, call.dateText, call.timeText});
        },
        Qt::QueuedConnection);
    announcements.open();
}

} // namespace corvane
