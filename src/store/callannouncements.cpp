#include "store/callannouncements.h"

#include "store/pgconnect.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <QTimer>
#include <QUuid>

#include <libpq-fe.h>

namespace corvane {

namespace {

// Edits have a channel of their own, which desks of an older version do not
// hear: they would take one for a call.
const char *const CallsChannel = "corvane_calls";
const char *const EditsChannel = "corvane_edits";
const char *const Listen = "LISTEN corvane_calls; LISTEN corvane_edits";
const char *const Notify = "SELECT pg_notify($1, $2)";
// How often a connection being made on its thread is looked for.
constexpr int ConnectPollMs = 50;

const QString DeskKey = QStringLiteral("desk");
const QString NumberKey = QStringLiteral("number");
const QString DateKey = QStringLiteral("date");
const QString TimeKey = QStringLiteral("time");
const QString TokenKey = QStringLiteral("token");
const QString CallIdKey = QStringLiteral("call");

} // namespace

CallAnnouncements::CallAnnouncements(const ServerAddress &server, QObject *parent)
    : QObject(parent), m_server(server), m_deskId(QUuid::createUuid().toByteArray(QUuid::WithoutBraces)),
      m_connectPoll(new QTimer(this))
{
    m_connectPoll->setInterval(ConnectPollMs);
    connect(m_connectPoll, &QTimer::timeout, this, &CallAnnouncements::pollConnecting);
}

CallAnnouncements::~CallAnnouncements()
{
    delete m_readNotifier;
    delete m_writeNotifier;
    PQfinish(m_conn);
}

void CallAnnouncements::open()
{
    if (!m_conn && !m_attempt)
        startConnecting();
}

void CallAnnouncements::announce(const AnnouncedCall &call)
{
    queue(CallsChannel, {{NumberKey, call.number},
                         {DateKey, call.dateText},
                         {TimeKey, call.timeText},
                         {TokenKey, call.token}});
}

void CallAnnouncements::announceEdit(qint64 callId)
{
    // As text: a number in JSON is a double.
    queue(EditsChannel, {{CallIdKey, QString::number(callId)}});
}

void CallAnnouncements::queue(const char *channel, QJsonObject payload)
{
    if (!m_conn)
        return;
    payload.insert(DeskKey, QString::fromLatin1(m_deskId));
    m_pending.emplace_back(channel, QJsonDocument(payload).toJson(QJsonDocument::Compact));
    sendNext();
}

void CallAnnouncements::startConnecting()
{
    // It tries until the server is there again.
    m_attempt = std::make_unique<PgConnectAttempt>(m_server, PgConnectAttempt::Tables::Leave, true);
    m_connectPoll->start();
}

void CallAnnouncements::pollConnecting()
{
    if (!m_attempt->ended())
        return;
    m_connectPoll->stop();
    // An attempt that keeps trying ends only once connected.
    onConnected(std::exchange(m_attempt, nullptr)->take());
}

void CallAnnouncements::onConnected(PGconn *conn)
{
    m_conn = conn;
    PQsetnonblocking(m_conn, 1);
    watchSocket();
    // Announcements are queued only while connected: the LISTEN goes first.
    m_pending.clear();
    m_pending.emplace_back();
    sendNext();
}

void CallAnnouncements::onSocketReady()
{
    if (!PQconsumeInput(m_conn) || PQstatus(m_conn) != CONNECTION_OK) {
        drop();
        return;
    }
    readResults();
    if (m_conn)
        readNotifications();
}

void CallAnnouncements::readResults()
{
    while (m_busy && !PQisBusy(m_conn)) {
        PGresult *result = PQgetResult(m_conn);
        if (!result) {
            m_busy = false;
            sendNext();
            continue;
        }
        // Only the LISTEN answers with a command; a refused announcement
        // (too long for the channel) is the announcing desk's loss alone.
        if (PQresultStatus(result) == PGRES_COMMAND_OK)
            setListening(true);
        PQclear(result);
    }
}

void CallAnnouncements::readNotifications()
{
    while (PGnotify *notification = PQnotifies(m_conn)) {
        const QJsonObject payload = QJsonDocument::fromJson(QByteArray(notification->extra)).object();
        const bool edit = qstrcmp(notification->relname, EditsChannel) == 0;
        PQfreemem(notification);
        const QString desk = payload.value(DeskKey).toString();
        if (desk.isEmpty() || desk == QLatin1String(m_deskId))
            continue;
        if (!edit) {
            Q_EMIT heard({payload.value(NumberKey).toString(), payload.value(DateKey).toString(),
                          payload.value(TimeKey).toString(), payload.value(TokenKey).toString()});
        } else if (const qint64 callId = payload.value(CallIdKey).toString().toLongLong(); callId > 0) {
            Q_EMIT editHeard(callId);
        }
    }
}

void CallAnnouncements::sendNext()
{
    if (m_busy || m_pending.empty() || !m_conn)
        return;
    const auto [channel, payload] = m_pending.front();
    m_pending.pop_front();
    const char *values[] = {channel.constData(), payload.constData()};
    const int sent = channel.isEmpty()
                         ? PQsendQuery(m_conn, Listen)
                         : PQsendQueryParams(m_conn, Notify, 2, nullptr, values, nullptr, nullptr, 0);
    if (!sent) {
        drop();
        return;
    }
    m_busy = true;
    flush();
}

void CallAnnouncements::flush()
{
    const int left = PQflush(m_conn);
    if (left < 0)
        drop();
    else
        m_writeNotifier->setEnabled(left > 0);
}

void CallAnnouncements::drop()
{
    retireNotifiers();
    PQfinish(std::exchange(m_conn, nullptr));
    m_pending.clear();
    m_busy = false;
    setListening(false);
    startConnecting();
}

void CallAnnouncements::watchSocket()
{
    const qintptr socket = PQsocket(m_conn);
    m_readNotifier = new QSocketNotifier(socket, QSocketNotifier::Read, this);
    m_writeNotifier = new QSocketNotifier(socket, QSocketNotifier::Write, this);
    // Written to only while a command has not all gone out (flush()).
    m_writeNotifier->setEnabled(false);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &CallAnnouncements::onSocketReady);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &CallAnnouncements::flush);
}

void CallAnnouncements::retireNotifiers()
{
    for (QSocketNotifier *notifier :
         {std::exchange(m_readNotifier, nullptr), std::exchange(m_writeNotifier, nullptr)}) {
        // It may be the one whose signal is running now.
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
}

void CallAnnouncements::setListening(bool listening)
{
    if (listening == m_listening)
        return;
    m_listening = listening;
    Q_EMIT listeningChanged(listening);
}

} // namespace corvane
