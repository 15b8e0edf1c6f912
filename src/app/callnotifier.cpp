#include "app/callnotifier.h"

#include "core/calldesk.h"
#include "core/callernumber.h"
#include "desktop/guard.h"
#include "desktop/notifications.h"

#include <QTimer>

namespace corvane {

CallNotifier::CallNotifier(CallDesk &callDesk, Notifications &notifications, QObject *parent)
    : QObject(parent), m_notifications(notifications)
{
    // Direct: the desk's sequence may wait in a message box (a new number)
    // before these return; what is known by then is told.
    connect(
        &callDesk, &CallDesk::callArrived, this, [this] { m_callComing = true; }, Qt::DirectConnection);
    connect(&callDesk, &CallDesk::callShown, this, &CallNotifier::onCallShown, Qt::DirectConnection);
    connect(
        &callDesk, &CallDesk::customerShown, this,
        [this](const Customer &customer) { onCallerKnown(Caller::Known, customer); }, Qt::DirectConnection);
    connect(
        &callDesk, &CallDesk::newNumber, this, [this] { onCallerKnown(Caller::New, {}); },
        Qt::DirectConnection);
    connect(&callDesk, &CallDesk::ringEnded, this, [this] {
        guarded([this] {
            m_ringing = false;
            // No longer urgent; one the user has closed stays closed.
            if (m_callShown)
                m_notifications.update(notificationOf(m_call, m_caller, m_customer, m_ringing));
        });
    });
}

void CallNotifier::withdraw()
{
    m_notifications.withdraw();
}

void CallNotifier::onCallShown(const CallerIdReport &call)
{
    if (!std::exchange(m_callComing, false))
        return;
    // A repeat of the call keeps what its lookup found.
    if (call != m_call) {
        m_caller = Caller::Unknown;
        m_customer = {};
    }
    m_call = call;
    m_callShown = true;
    m_ringing = true;
    post();
}

void CallNotifier::onCallerKnown(Caller caller, const Customer &customer)
{
    // The customer shown at start belongs to no call.
    if (!m_callShown)
        return;
    m_caller = caller;
    m_customer = customer;
    post();
}

void CallNotifier::post()
{
    if (std::exchange(m_postQueued, true))
        return;
    QTimer::singleShot(0, this, [this] {
        guarded([this] {
            m_postQueued = false;
            m_notifications.show(notificationOf(m_call, m_caller, m_customer, m_ringing));
        });
    });
}

Notification CallNotifier::notificationOf(const CallerIdReport &call, Caller caller, const Customer &customer,
                                          bool ringing)
{
    // A withheld number, or a lookup that failed, is shown with an empty
    // record: no customer to name.
    const bool named = !customer.customerCode.isEmpty() || !customer.name.isEmpty();
    QString body;
    if (caller == Caller::Known && named)
        body = tr("%1（客户编号 %2）\n").arg(customer.name, customer.customerCode);
    else if (caller == Caller::New)
        body = tr("新号码，尚未保存为客户\n");
    body += tr("来电时间：%1 %2").arg(call.dateText, call.timeText);
    return {call.number.isEmpty() ? tr("来电") : shownNumber(call.number), body, ringing};
}

} // namespace corvane
