#pragma once

#include "core/callerid.h"
#include "core/ring.h"
#include "store/customerstore.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace corvane {

class CallAnnouncements;
class CallLogWriter;
class CustomerKeying;
class Failure;
class LineSession;
class RingPlayer;
class RingSchedule;
class SerialControl;
struct Stores;

// The call desk: takes the line's reports, rings, shows the call, looks the
// number up, keeps every call its line reports (the call log for known
// customers) and repeats the ring for a few
// seconds. It holds the call shown (number, date, time, customer) and emits
// what the windows show; they connect directly, so a message box they open
// comes at the very point of the sequence that raised it.
class CallDesk : public QObject
{
    Q_OBJECT
public:
    CallDesk(Stores &stores, RingPlayer &ringPlayer, QObject *parent = nullptr);
    ~CallDesk() override;

    SerialControl &serialPort();

    // The set-up once the window is on the screen: the database zel.ini
    // chooses, the call log with the calls an earlier run kept, nothing shown,
    // the line from the settings file. Throws Failure when the settings name
    // no port, unless the desk works on the server (it may have no modem).
    void start();
    // Closes the port and makes a last try at kept calls; on every way out.
    void release();

    const CallerIdReport &shownCall() const { return m_shownCall; }
    const Customer &shownCustomer() const { return m_shownCustomer; }
    // The token of the call shown, as its row in table calls holds it (the
    // same on every desk); empty when no call is shown.
    const QString &shownCallToken() const { return m_shownCallToken; }
    // The number is handed on ("保存新号码"): it is shown no more, so the next
    // report from it is looked up and logged again.
    void clearNumber();

    // A call another desk's line reported: shown, rung and looked up as one
    // from this desk's line, but that desk logged it. `token` is the call's,
    // as that desk announced it (none from an older desk).
    void showAnnouncedCall(const CallerIdReport &call, const QString &token = {});

    // The note or handled mark of the call of row `callId` was saved at this
    // desk: the other desks on the server show it too.
    void tellCallEdited(qint64 callId);
    // Another desk saved a call's note or handled mark.
    void showOtherDeskEdit();

    // The user took the modem offered: the line uses it from now on.
    void useModem(const QString &device);

    bool ringRepeating() const;
    bool ringPeriodRunning() const;

Q_SIGNALS:
    // Bytes came in from the line and are about to be read.
    void lineDataArrived();
    // A report came: before its ring, the window comes forward.
    void callArrived();
    // The number, date and time to show.
    void callShown(const CallerIdReport &call);
    // The customer's fields to show.
    void customerShown(const Customer &customer);
    // The number shown belongs to no customer.
    void newNumber();
    // This desk's line reported the call, now shown and logged: the other
    // desks may show it too. Before the new-number question, which waits for
    // the user.
    void callReported(const CallerIdReport &call);
    // A row of table calls was written by this desk, another desk's call
    // was shown (that desk wrote its row before announcing it), or another
    // desk saved a call's note or handled mark.
    void callsChanged();
    // The call shown has stopped ringing: its ring period is over.
    void ringEnded();
    // What the user is told about the line or the call log.
    void notice(const QString &text);
    // The question whether to use a modem found on another device.
    void modemOffered(const QString &question, const QString &device);
    // A failure that ended one of the desk's handlers.
    void failed(const QString &message);
    // The customers' number keys are being made in the background: `keyed`
    // of `total` so far, the two equal at the end.
    void keyingProgress(qint64 keyed, qint64 total);

private:
    // Runs one of the desk's event handlers; a failure ends it and is told
    // through failed(), never thrown through a signal.
    void handle(const std::function<void()> &handler);
    // Keys in the background the customers waiting for it, on the database
    // chosen.
    void startKeying();
    // Points the stores at the database zel.ini chooses; true for the server.
    // Broken settings are told and leave the stores on no database.
    bool chooseDatabase();
    // Connects at once, so a server that is away is told at start.
    void checkServer();
    // Opens tel.mdb at once, so a file that is missing, damaged or read-only
    // is told at start.
    void checkDatabaseFile();
    // Tells once per outage why customers cannot be looked up: in words that
    // say what to do when the trouble is known, in the error box when not. A
    // lookup that works ends the outage.
    void tellLookupTrouble(const Failure &failure);
    void tellServerAway(const QString &reason);
    // Where a call shown came from: only this desk's line logs and announces.
    enum class Origin { Line, OtherDesk };

    void showCall(const CallerIdReport &report, Origin origin, const QString &announcedToken = {});
    void lookUpNumber(Origin origin);
    // Writes the call from this desk's line with what its lookup found.
    void writeCall(Origin origin, const std::optional<Customer> &customer);
    void showCustomer(const Customer &customer);
    void announce(Origin origin);
    void playRing();

    Stores &m_stores;
    RingPlayer &m_ringPlayer;
    CurrentRing m_currentRing;
    LineSession *m_line;
    RingSchedule *m_ringSchedule;
    // Made at start, when the database's place is known.
    std::unique_ptr<CallLogWriter> m_callLog;
    // Made at start, unless there is no database.
    std::unique_ptr<CustomerKeying> m_keying;
    // Made at start when the desk works on the server.
    std::unique_ptr<CallAnnouncements> m_announcements;
    // The shop's own, from zel.ini at start.
    QString m_areaCode;
    CallerIdReport m_shownCall;
    Customer m_shownCustomer;
    QString m_shownCallToken;
    bool m_onServer = false;
    bool m_noDatabase = false;
    bool m_lookupTroubleTold = false;
};

} // namespace corvane
