#pragma once

#include "store/serveraddress.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <deque>
#include <memory>
#include <utility>

class QJsonObject;
class QSocketNotifier;
class QTimer;
using PGconn = struct pg_conn;

namespace corvane {

class PgConnectAttempt;

// A call as one desk tells the others about it.
struct AnnouncedCall
{
    QString number;
    QString dateText;
    QString timeText;
    // The call's token, as its row in table calls holds it; empty from a
    // desk of an older version.
    QString token{};

    bool operator==(const AnnouncedCall &) const = default;
};

// The desks' channel on the shared server: each desk announces the calls its
// modem reported and the calls whose note or handled mark it saved, and hears
// those of every other desk on the database. It has
// a connection of its own, made on a thread and then driven by the event
// loop, never waited on, so a slow or vanished server (or name service)
// cannot freeze a window. A connection the server dropped is made again by
// itself, and listens again. Announcements made while it is down are
// dropped: the call would be stale by the time the server is back.
class CallAnnouncements : public QObject
{
    Q_OBJECT
public:
    explicit CallAnnouncements(const ServerAddress &server, QObject *parent = nullptr);
    ~CallAnnouncements() override;
    CallAnnouncements(const CallAnnouncements &) = delete;
    CallAnnouncements &operator=(const CallAnnouncements &) = delete;

    // Starts connecting; heard() comes once the server has taken the LISTEN.
    void open();
    void announce(const AnnouncedCall &call);
    // The note or handled mark of the call of row `callId` was saved here.
    void announceEdit(qint64 callId);
    bool isListening() const { return m_listening; }

Q_SIGNALS:
    // Another desk announced a call.
    void heard(const AnnouncedCall &call);
    // Another desk saved the note or handled mark of the call of row `callId`.
    void editHeard(qint64 callId);
    // The channel listens, or stopped listening because the server went.
    void listeningChanged(bool listening);

private:
    void startConnecting();
    void pollConnecting();
    void onConnected(PGconn *conn);
    void onSocketReady();
    void readResults();
    void readNotifications();
    void queue(const char *channel, QJsonObject payload);
    void sendNext();
    void flush();
    void drop();
    void watchSocket();
    void retireNotifiers();
    void setListening(bool listening);

    ServerAddress m_server;
    // Tells this desk's own announcements from the others'.
    QByteArray m_deskId;
    PGconn *m_conn = nullptr;
    // While connecting, and looked at every ConnectPollMs.
    std::unique_ptr<PgConnectAttempt> m_attempt;
    QTimer *m_connectPoll;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    // Announcements for the server, each its channel and payload, one at a
    // time: libpq takes a new command only when the last one's results are
    // read. One of no channel is the LISTEN.
    std::deque<std::pair<QByteArray, QByteArray>> m_pending;
    bool m_busy = false;
    bool m_listening = false;
};

} // namespace corvane
