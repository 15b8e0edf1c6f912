#include "core/calldesk.h"

#include "core/calllogwriter.h"
#include "core/lineconfig.h"
#include "core/linesession.h"
#include "core/ring.h"
#include "core/ringschedule.h"
#include "platform/handlerboundary.h"
#include "platform/programfolder.h"
#include "platform/ringplayer.h"
#include "store/stores.h"

namespace corvane {

CallDesk::CallDesk(Stores &stores, RingPlayer &ringPlayer, QObject *parent)
    : QObject(parent), m_stores(stores), m_ringPlayer(ringPlayer), m_line(new LineSession(this)),
      m_ringSchedule(new RingSchedule(this))
{
    setObjectName(QStringLiteral("callDesk"));
    connect(m_line, &LineSession::dataArrived, this, &CallDesk::lineDataArrived);
    connect(m_line, &LineSession::reportReceived, this, [this](const QString &text, int bufferCount) {
        // The year is the PC clock's at this moment.
        handle([&] { showCall(parseCallerIdReport(text, bufferCount), Origin::Line); });
    });
    connect(m_line, &LineSession::notice, this, &CallDesk::notice);
    connect(m_line, &LineSession::failed, this, &CallDesk::failed);
    connect(m_ringSchedule, &RingSchedule::ringDue, this, [this] { handle([this] { playRing(); }); });
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
    const QString database = programFolder() + QStringLiteral("tel.mdb");
    m_stores.connection.setDatabasePath(database);
    m_callLog = std::make_unique<CallLogWriter>(database, programFolder() + QStringLiteral("calls.journal"));
    connect(m_callLog.get(), &CallLogWriter::notice, this, &CallDesk::notice);
    connect(m_callLog.get(), &CallLogWriter::failed, this, &CallDesk::failed);
    m_callLog->resume();
    m_shownCall = {};
    m_shownCustomer = {};
    Q_EMIT customerShown(m_shownCustomer);
    Q_EMIT callShown(m_shownCall);

    m_line->start(readLineConfig());
}

void CallDesk::release()
{
    m_line->close();
    // Its last try at kept calls, also on the tray's immediate exit.
    m_callLog.reset();
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

void CallDesk::showAnnouncedCall(const CallerIdReport &call)
{
    handle([&] { showCall(call, Origin::OtherDesk); });
}

void CallDesk::showCall(const CallerIdReport &report, Origin origin)
{
    Q_EMIT callArrived();
    // The ring sounds on its own thread while the caller is shown.
    playRing();

    // Some lines send one call's report twice; the repeat rings, but is
    // neither looked up nor logged again. A new call from the number shown is.
    const bool repeat = report == m_shownCall;
    m_shownCall = report;
    Q_EMIT callShown(m_shownCall);
    if (repeat)
        announce(origin);
    else
        lookUpNumber(origin);

    m_ringSchedule->start();
}

void CallDesk::lookUpNumber(Origin origin)
{
    if (trimControls(m_shownCall.number).isEmpty()) {
        announce(origin);
        return;
    }
    const std::optional<Customer> customer = m_stores.customers.customerByTel(m_shownCall.number);
    if (!customer) {
        announce(origin);
        // The customer shown before stays on the window beside the new number.
        Q_EMIT newNumber();
        m_ringSchedule->stopRepeating();
        return;
    }
    m_shownCustomer = *customer;
    Q_EMIT customerShown(m_shownCustomer);
    m_ringSchedule->stopRepeating();

    if (origin == Origin::Line)
        m_callLog->write({m_shownCall.dateText, m_shownCall.timeText, m_shownCall.number,
                          m_shownCustomer.customerCode, m_shownCustomer.name});
    announce(origin);
}

void CallDesk::announce(Origin origin)
{
    if (origin == Origin::Line)
        Q_EMIT callReported(m_shownCall);
}

void CallDesk::playRing()
{
    m_ringPlayer.play(currentRingFile(m_stores.rings));
}

} // namespace corvane
