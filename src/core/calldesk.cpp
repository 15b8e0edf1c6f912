#include "core/calldesk.h"

#include "core/callernumber.h"
#include "core/calllogwriter.h"
#include "core/callsharing.h"
#include "core/databaseconfig.h"
#include "core/lineconfig.h"
#include "core/linesession.h"
#include "core/modemconfig.h"
#include "core/ring.h"
#include "core/ringschedule.h"
#include "platform/failure.h"
#include "platform/handlerboundary.h"
#include "platform/programfolder.h"
#include "platform/ringplayer.h"
#include "store/callannouncements.h"
#include "store/customerkeying.h"
#include "store/databasefilefailure.h"
#include "store/stores.h"

#include <QUuid>

namespace corvane {

CallDesk::CallDesk(Stores &stores, RingPlayer &ringPlayer, QObject *parent)
    : QObject(parent), m_stores(stores), m_ringPlayer(ringPlayer), m_currentRing(stores.rings),
      m_line(new LineSession(LineTiming{}, this)), m_ringSchedule(new RingSchedule(this))
{
    setObjectName(QStringLiteral("callDesk"));
    connect(m_line, &LineSession::dataArrived, this, &CallDesk::lineDataArrived);
    connect(m_line, &LineSession::reportReceived, this, [this](const QString &text, int bufferCount) {
        // The year is the PC clock's at this moment.
        handle([&] { showCall(parseCallerIdReport(text, bufferCount), Origin::Line); });
    });
    connect(m_line, &LineSession::notice, this, &CallDesk::notice);
    connect(m_line, &LineSession::modemOffered, this, &CallDesk::modemOffered);
    connect(m_line, &LineSession::failed, this, &CallDesk::failed);
    connect(m_ringSchedule, &RingSchedule::ringDue, this, [this] { handle([this] { playRing(); }); });
    connect(m_ringSchedule, &RingSchedule::ended, this, &CallDesk::ringEnded);
}

CallDesk::~CallDesk()
{
    release();
}

SerialControl &CallDesk::serialPort()
{
    return m_line->serialPort();
}

void CallDesk::start()
{
    m_onServer = chooseDatabase();
    m_areaCode = readAreaCode();
    if (m_onServer) {
        checkServer();
        // Other desks' calls come also while the server was away at start:
        // the channel connects by itself once it is back.
        m_announcements = std::make_unique<CallAnnouncements>(*m_stores.connection.server());
        shareCalls(*this, *m_announcements);
    } else {
        checkDatabaseFile();
    }
    m_callLog = std::make_unique<CallLogWriter>(
        m_stores.connection, programFolder() + QStringLiteral("calls.journal"), m_areaCode);
    connect(m_callLog.get(), &CallLogWriter::notice, this, &CallDesk::notice);
    connect(m_callLog.get(), &CallLogWriter::failed, this, &CallDesk::failed);
    connect(m_callLog.get(), &CallLogWriter::written, this, &CallDesk::callsChanged);
    m_callLog->resume();
    startKeying();
    m_shownCall = {};
    m_shownCallToken.clear();
    showCustomer({});
    Q_EMIT callShown(m_shownCall);

    const LineConfig line = readLineConfig();
    // A desk on the shared server may have no modem of its own.
    if (m_onServer && portNumberText(line.portName).isEmpty())
        return;
    m_line->start(line, readModemSettings(line.portName));
}

void CallDesk::checkServer()
{
    try {
        m_stores.connection.engine();
    } catch (const Failure &failure) {
        tellServerAway(failure.message());
    }
}

void CallDesk::checkDatabaseFile()
{
    const QString path = m_stores.connection.databasePath();
    try {
        m_stores.connection.engine();
    } catch (const Failure &failure) {
        tellLookupTrouble(failure);
        return;
    }
    if (!databaseFileWritable(path))
        Q_EMIT notice(DatabaseFileFailure::describe(DatabaseFileFailure::Kind::ReadOnly, path) +
                      tr("\n来电时仍能查到客户资料；来电记录先暂存起来，数据库可以写入后自动写入。"));
}

void CallDesk::tellLookupTrouble(const Failure &failure)
{
    if (m_onServer || m_noDatabase) {
        tellServerAway(failure.message());
        return;
    }
    if (m_lookupTroubleTold)
        return;
    // Noted first: the box runs an event loop in which more calls may come.
    m_lookupTroubleTold = true;
    if (dynamic_cast<const DatabaseFileFailure *>(&failure))
        Q_EMIT notice(failure.message() +
                      tr("\n来电号码照常显示；来电记录先暂存起来，数据库恢复后自动查找客户并写入。"));
    else
        Q_EMIT failed(failure.message());
}

void CallDesk::tellServerAway(const QString &reason)
{
    if (m_lookupTroubleTold)
        return;
    // Noted first: the box runs an event loop in which more calls may come.
    m_lookupTroubleTold = true;
    Q_EMIT notice(tr("无法连接数据库服务器，来电号码照常显示，但暂时无法查找客户资料；来电记录先保存在"
                     "备用文件中，程序会自动重新连接并写入。\n%1")
                      .arg(reason));
}

void CallDesk::startKeying()
{
    m_keying.reset();
    if (m_noDatabase)
        return;
    m_keying = std::make_unique<CustomerKeying>(m_stores.connection);
    connect(m_keying.get(), &CustomerKeying::progress, this, &CallDesk::keyingProgress);
    m_keying->start();
}

bool CallDesk::chooseDatabase()
{
    m_noDatabase = false;
    m_lookupTroubleTold = false;
    try {
        const DatabaseConfig config = readDatabaseConfig();
        useDatabase(m_stores.connection, config);
        return config.engine == DatabaseConfig::Engine::Postgresql;
    } catch (const Failure &failure) {
        // Calls are still shown from the line; their log rows wait in the journal.
        const QString message = tr("%1\n请改正后重新启动程序。在此之前来电仍会显示，但无法查找或保存客户资料")
                                    .arg(failure.message());
        m_stores.connection.setUnavailable(message);
        m_noDatabase = true;
        // Told here once; the calls that cannot be looked up add no box.
        m_lookupTroubleTold = true;
        Q_EMIT failed(message);
        return false;
    }
}

void CallDesk::release()
{
    m_line->close();
    m_keying.reset();
    m_announcements.reset();
    // Its last try at kept calls, also on the tray's immediate exit; no
    // window is to hear of it any more.
    if (m_callLog)
        m_callLog->disconnect(this);
    m_callLog.reset();
}

void CallDesk::useModem(const QString &device)
{
    m_line->useDevice(device);
}

void CallDesk::clearNumber()
{
    m_shownCall.number.clear();
    Q_EMIT callShown(m_shownCall);
}

bool CallDesk::ringRepeating() const
{
    return m_ringSchedule->repeating();
}

bool CallDesk::ringPeriodRunning() const
{
    return m_ringSchedule->running();
}

void CallDesk::handle(const std::function<void()> &handler)
{
    runGuarded(handler, [this](const QString &message) { Q_EMIT failed(message); });
}

void CallDesk::showAnnouncedCall(const CallerIdReport &call, const QString &token)
{
    handle([&] { showCall(call, Origin::OtherDesk, token); });
}

void CallDesk::tellCallEdited(qint64 callId)
{
    if (m_announcements)
        m_announcements->announceEdit(callId);
}

void CallDesk::showOtherDeskEdit()
{
    Q_EMIT callsChanged();
}

void CallDesk::showCall(const CallerIdReport &report, Origin origin, const QString &announcedToken)
{
    Q_EMIT callArrived();
    // Some lines send one call's report twice; the repeat rings, but is
    // neither looked up nor logged again. A new call from the number shown is.
    const bool repeat = report == m_shownCall;
    m_shownCall = report;
    if (!repeat)
        m_shownCallToken =
            origin == Origin::Line ? QUuid::createUuid().toString(QUuid::WithoutBraces) : announcedToken;
    Q_EMIT callShown(m_shownCall);
    // The ring sounds on its own thread while the caller is looked up; its
    // choice is read from the database, so the number is shown first.
    playRing();
    if (repeat) {
        announce(origin);
    } else {
        if (origin == Origin::Line) {
            // Kept before the lookup, which may take a second: a power cut
            // or a kill meanwhile does not take the call with it.
            m_callLog->arrive(QUuid::fromString(m_shownCallToken),
                              {m_shownCall.dateText, m_shownCall.timeText, m_shownCall.number, {}, {}},
                              callerNumberKind(m_shownCall.number) == CallerNumberKind::Number
                                  ? KeptCall::Lookup::Due
                                  : KeptCall::Lookup::Done);
        } else {
            // That desk wrote the call's row before it announced it: told
            // before the lookup, whose new-number question waits for the user.
            Q_EMIT callsChanged();
        }
        lookUpNumber(origin);
    }

    m_ringSchedule->start();
}

void CallDesk::lookUpNumber(Origin origin)
{
    // No number, or one the caller withheld: nobody to look up or to save.
    // A new caller never stands beside the record of the one before.
    if (callerNumberKind(m_shownCall.number) != CallerNumberKind::Number) {
        showCustomer({});
        writeCall(origin, std::nullopt);
        announce(origin);
        return;
    }
    std::optional<Customer> customer;
    try {
        customer = m_stores.customers.customerByTel(m_shownCall.number, m_areaCode);
        // Customers another program added since the last look are keyed now
        // rather than looked through call after call.
        if (m_keying)
            m_keying->nudge();
    } catch (const Failure &failure) {
        // Whatever stopped the lookup, the number stays shown and the call
        // stays kept (looked up once the database answers, by the desk whose
        // line reported it) and is announced before the user is told (the
        // box runs an event loop in which the next call may replace it).
        showCustomer({});
        m_ringSchedule->stopRepeating();
        announce(origin);
        tellLookupTrouble(failure);
        return;
    }
    m_lookupTroubleTold = false;
    if (!customer) {
        showCustomer({});
        writeCall(origin, std::nullopt);
        announce(origin);
        Q_EMIT newNumber();
        m_ringSchedule->stopRepeating();
        return;
    }
    showCustomer(*customer);
    m_ringSchedule->stopRepeating();
    writeCall(origin, customer);
    announce(origin);
}

void CallDesk::writeCall(Origin origin, const std::optional<Customer> &customer)
{
    // Before the announcement: the other desks find the row when they hear of it.
    if (origin == Origin::Line)
        m_callLog->lookedUp(QUuid::fromString(m_shownCallToken), customer);
}

void CallDesk::showCustomer(const Customer &customer)
{
    m_shownCustomer = customer;
    Q_EMIT customerShown(m_shownCustomer);
}

void CallDesk::announce(Origin origin)
{
    if (origin == Origin::Line)
        Q_EMIT callReported(m_shownCall);
}

void CallDesk::playRing()
{
    m_ringPlayer.play(m_currentRing.file());
}

} // namespace corvane
