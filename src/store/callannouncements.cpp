#include "store/callannouncements.h"

#include "store/pgparameters.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <QTimer>
#include <QUuid>

#include <libpq-fe.h>

namespace corvane {

namespace {

const char *const Listen = "LISTEN corvane_calls";
const char *const Notify = "SELECT pg_notify('corvane_calls', $1)";
// libpq's own connect timeout does not apply to a connection made step by
// step; a server that does not answer is given up after this.
constexpr int ConnectLimitMs = 3000;
constexpr int FirstRetryMs = 250;
constexpr int LastRetryMs = 2000;

const QString DeskKey = QStringLiteral("desk");
const QString NumberKey = QStringLiteral("number");
const QString DateKey = QStringLiteral("date");
const QString TimeKey = QStringLiteral("time");

} // namespace

CallAnnouncements::CallAnnouncements(const ServerAddress &server, QObject *parent)
    : QObject(parent), m_server(server), m_deskId(QUuid::createUuid().toByteArray(QUuid::WithoutBraces)),
      m_retryTimer(new QTimer(this)), m_connectTimer(new QTimer(this)), m_retryDelayMs(FirstRetryMs)
{
    m_retryTimer->setSingleShot(true);
    m_connectTimer->setSingleShot(true);
    m_connectTimer->setInterval(ConnectLimitMs);
    connect(m_retryTimer, &QTimer::timeout, this, &CallAnnouncements::startConnecting);
    connect(m_connectTimer, &QTimer::timeout, this, &CallAnnouncements::drop);
}

CallAnnouncements::~CallAnnouncements()
{
    delete m_readNotifier;
    delete m_writeNotifier;
    PQfinish(m_conn);
}

void CallAnnouncements::open()
{
    if (m_state == State::Closed && !m_retryTimer->isActive())
        startConnecting();
}

void CallAnnouncements::announce(const AnnouncedCall &call)
{
    if (m_state != State::Connected)
        return;
    const QJsonObject payload{{DeskKey, QString::fromLatin1(m_deskId)},
                              {NumberKey, call.number},
                              {DateKey, call.dateText},
                              {TimeKey, call.timeText}};
    m_pending.push_back(QJsonDocument(payload).toJson(QJsonDocument::Compact));
    sendNext();
}

void CallAnnouncements::startConnecting()
{
    const PgParameters parameters(m_server, {});
    m_conn = PQconnectStartParams(parameters.keys(), parameters.values(), 0);
    if (!m_conn || PQstatus(m_conn) == CONNECTION_BAD) {
        drop();
        return;
    }
    m_state = State::Connecting;
    m_connectTimer->start();
    // A connection just started waits to write first.
    watchSocket(false, true);
}

void CallAnnouncements::pollConnecting()
{
    switch (PQconnectPoll(m_conn)) {
    case PGRES_POLLING_OK:
        onConnected();
        break;
    case PGRES_POLLING_READING:
        watchSocket(true, false);
        break;
    case PGRES_POLLING_WRITING:
        watchSocket(false, true);
        break;
    default:
        drop();
        break;
    }
}

void CallAnnouncements::onConnected()
{
    m_connectTimer->stop();
    m_retryDelayMs = FirstRetryMs;
    m_state = State::Connected;
    PQsetnonblocking(m_conn, 1);
    PQsetNoticeProcessor(
        m_conn, [](void *, const char *) {}, nullptr);
    watchSocket(true, false);
    // Announcements are queued only while connected: the LISTEN goes first.
    m_pending.clear();
    m_pending.push_back({});
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
        PQfreemem(notification);
        const QString desk = payload.value(DeskKey).toString();
        if (desk.isEmpty() || desk == QLatin1String(m_deskId))
            continue;
        Q_EMIT heard({payload.value(NumberKey).toString(), payload.value(DateKey).toString(),
                      payload.value(TimeKey).toString()});
    }
}

void CallAnnouncements::sendNext()
{
    if (m_busy || m_pending.empty() || !m_conn)
        return;
    const QByteArray payload = m_pending.front();
    m_pending.pop_front();
    const char *values[] = {payload.constData()};
    const int sent = payload.isEmpty()
                         ? PQsendQuery(m_conn, Listen)
                         : PQsendQueryParams(m_conn, Notify, 1, nullptr, values, nullptr, nullptr, 0);
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
    m_connectTimer->stop();
    m_state = State::Closed;
    m_pending.clear();
    m_busy = false;
    setListening(false);
    m_retryTimer->start(m_retryDelayMs);
    m_retryDelayMs = std::min(m_retryDelayMs * 2, LastRetryMs);
}

void CallAnnouncements::watchSocket(bool read, bool write)
{
    // The socket changes while connecting when a host has several addresses.
    const qintptr socket = PQsocket(m_conn);
    if (m_readNotifier && m_readNotifier->socket() != socket)
        retireNotifiers();
    if (!m_readNotifier) {
        m_readNotifier = new QSocketNotifier(socket, QSocketNotifier::Read, this);
        m_writeNotifier = new QSocketNotifier(socket, QSocketNotifier::Write, this);
        const auto ready = [this](bool readable) {
            if (m_state == State::Connecting)
                pollConnecting();
            else if (readable)
                onSocketReady();
            else
                flush();
        };
        connect(m_readNotifier, &QSocketNotifier::activated, this, [ready] { ready(true); });
        connect(m_writeNotifier, &QSocketNotifier::activated, this, [ready] { ready(false); });
    }
    m_readNotifier->setEnabled(read);
    m_writeNotifier->setEnabled(write);
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
