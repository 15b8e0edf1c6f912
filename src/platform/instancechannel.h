#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace corvane {

// Single instance: the first copy listens on a local socket in a folder only
// this user can enter; a later copy connects, posts the activation message and
// ends.
class InstanceChannel : public QObject
{
    Q_OBJECT
public:
    // The socket's name and the message, as every release has had them, so
    // that a new copy also finds a running older one.
    static constexpr const char *SocketName = "TCorvaneMainWindow";
    static constexpr const char *ActivateMessage = "WM_ACTIVATEINSTANCE";
    static constexpr const char *QuitMessage = "WM_QUITINSTANCE";

    explicit InstanceChannel(QObject *parent = nullptr);

    // Where the channel lives: $XDG_RUNTIME_DIR when it is a folder of this
    // user's that nobody else may enter, else "corvane-<uid>" in the temporary
    // folder or, failing that, in the user's cache folder, made so. A folder
    // that is not this user's own, or that others may enter, is refused.
    // Empty when no such folder can be had.
    static QString channelFolder();
    // The socket's full path in that folder, or on Windows the name of a pipe
    // of this user's session; empty without a folder.
    static QString channelPath();
    // Held by a copy while it decides whether the channel is dead.
    static QString claimLockPath();
    // Lets the copy being told come forward over this one's windows, which
    // Windows allows only to a program the user started last.
    static void letRunningCopyComeForward();

    // True when a running copy was found and told to come forward.
    static bool activateRunningInstance();

    enum class QuitAnswer { NoneRunning, Ended, StillRunning };
    // Asks a running copy to end as a logoff ends it, and waits up to waitMs
    // for it to let go of the channel, which it does only as it ends: an
    // installer may then replace its files. A copy that does not answer, or
    // does not end in time, is still running.
    static QuitAnswer askRunningInstanceToQuit(int waitMs);

    // Takes the channel for this copy, before anything is built, so that of
    // two copies started together only one goes on. False when a running copy
    // holds it (it has then been told to come forward) or is too busy to
    // answer. A socket that refuses connections, left behind by a crashed copy,
    // is taken over. Without a private folder this copy goes on unfound.
    bool claim();

Q_SIGNALS:
    void activationRequested();
    void quitRequested();

private:
    QLocalServer *m_server;
};

} // namespace corvane
