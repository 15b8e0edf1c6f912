#pragma once

#include "core/callerid.h"
#include "store/customerstore.h"

#include <QObject>

namespace corvane {

class CallDesk;
class Notifications;
struct Notification;

// Announces each call the desk shows in the desktop's notifications, for
// when the window cannot come forward or nobody is at it: the number, who
// calls (or that the number is new), the date and time. A repeat of the call
// and the next call replace it; it stays on the screen while the call rings.
class CallNotifier : public QObject
{
    Q_OBJECT
public:
    CallNotifier(CallDesk &callDesk, Notifications &notifications, QObject *parent = nullptr);

    // The user came to the window another way: the notification has done its work.
    void withdraw();

    // What the notification of a call says.
    enum class Caller { Unknown, Known, New };
    static Notification notificationOf(const CallerIdReport &call, Caller caller, const Customer &customer,
                                       bool ringing);

private:
    void onCallShown(const CallerIdReport &call);
    void onCallerKnown(Caller caller, const Customer &customer);
    // Once the desk's sequence has told all it knows, in one notification.
    void post();

    Notifications &m_notifications;
    CallerIdReport m_call;
    Customer m_customer;
    Caller m_caller = Caller::Unknown;
    // A report is on its way in: the next number shown is a call's, not the
    // start's or "保存新号码"'s empty one.
    bool m_callComing = false;
    bool m_callShown = false;
    bool m_ringing = false;
    bool m_postQueued = false;
};

} // namespace corvane
