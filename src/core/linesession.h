#pragma once

#include "core/calleridsetup.h"
#include "core/modemconfig.h"
#include "core/modemexchange.h"
#include "core/modemprobe.h"
#include "platform/serialcontrol.h"
#include "platform/suspendwatch.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

namespace corvane {

struct LineConfig;

// How long the line waits on its modem, and how often it looks after it.
struct LineTiming
{
    // A caller-ID command's answer, or a check's.
    int answerMs = 2000;
    // A device asked whether it is a modem.
    int probeAnswerMs = 1000;
    // How often the idle modem is checked.
    int keepAliveMs = 3 * 60 * 1000;
    // A check waits until the line has been quiet this long: never during a call.
    int quietBeforeCheckMs = 15000;
};

// The caller-ID line: the port with the line's fixed parameters, opened at
// start and taken up again whenever its device comes back; the modem told
// its mode each time (and after the PC slept), its answer read and other
// commands tried when it refuses; the idle modem checked now and then; the
// reports told apart from the modem's answers.
class LineSession : public QObject
{
    Q_OBJECT
public:
    explicit LineSession(const LineTiming &timing = {}, QObject *parent = nullptr);

    SerialControl &serialPort() { return m_serialPort; }

    // Sets the port up from the settings and opens it. Throws Failure when
    // the port name gives no number.
    void start(const LineConfig &config, const ModemSettings &modem);
    // Closes the port; no reopening follows.
    void close();
    // Takes the device as the line's modem at once, kept in zel.ini.
    void useDevice(const QString &device);

Q_SIGNALS:
    // Bytes came in from the line and are about to be read.
    void dataArrived();
    // A caller-ID report (upper-cased) and the count of characters that
    // waited before it was read.
    void reportReceived(const QString &text, int bufferCount);
    // The modem answered a caller-ID command with OK.
    void callerIdOn(const QString &command);
    // What the user is told about the line.
    void notice(const QString &text);
    // The port's modem does not answer but one does on `device`: the
    // question to ask the user, whether to use it.
    void modemOffered(const QString &question, const QString &device);
    // A failure of the line's own events.
    void failed(const QString &message);

private:
    // Opens the port unless it is open, then switches caller ID on.
    void open();
    void setUpCallerId();
    void onSetupFinished(CallerIdSetup::Result result, const QString &command, const QStringList &tried);
    void keepCommand(const QString &command);
    // Nothing answers on the port: a modem elsewhere, by its name, is offered.
    void lookForAnotherModem();
    // The question offering a modem the search found.
    QString offerOf(const QString &device) const;
    void checkModem();
    void onDataReceived();
    void tell(const QString &text, bool &told);

    LineTiming m_timing;
    SerialControl m_serialPort;
    ModemExchange m_exchange;
    CallerIdSetup m_setup;
    ModemProbe m_search;
    SuspendWatch m_suspendWatch;
    QTimer m_keepAlive;
    QElapsedTimer m_sinceData;
    QString m_portName;
    QString m_mode;
    ModemSettings m_modem;
    // Whether the modem answered the last time it was asked.
    bool m_modemAnswers = true;
    // Each told once per start, so a modem that stays away adds no boxes.
    bool m_openProblemTold = false;
    bool m_refusalTold = false;
    bool m_silenceTold = false;
    bool m_slownessTold = false;
};

} // namespace corvane
