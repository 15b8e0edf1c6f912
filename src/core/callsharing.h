#pragma once

namespace corvane {

class CallAnnouncements;
class CallDesk;

// Every call on every desk: the calls this desk's line reports are announced
// to the other desks on the shared server, and theirs are shown here, as are
// the notes and handled marks they save. Starts listening.
void shareCalls(CallDesk &desk, CallAnnouncements &announcements);

} // namespace corvane
