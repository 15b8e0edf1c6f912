#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace corvane {

// Single instance: the first copy listens on a local socket named after the
// main window's fixed class name and the user; a later copy connects, posts the
// activation message and ends.
class InstanceChannel : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *WindowClassName = "TCorvaneMainWindow";
    static constexpr const char *ActivateMessage = "WM_ACTIVATEINSTANCE";

    explicit InstanceChannel(QObject *parent = nullptr);

    static QString channelName();

    // True when a running copy was found and told to come forward.
    static bool activateRunningInstance();

    // Takes the name for this copy, before anything is built, so that of two
    // copies started together only one goes on. False when a running copy holds
    // it (and has been told to come forward). A socket file left behind by a
    // crashed copy is taken over.
    bool claim();

Q_SIGNALS:
    void activationRequested();


private:
    QLocalServer *m_server;
};

} // namespace corvane
