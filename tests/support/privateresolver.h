#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <functional>

namespace corvane::test {

// A name service that never answers, for a program started in a mount
// namespace of its own: its /etc/resolv.conf names a loopback address where a
// socket takes the queries and never replies, its /etc/hosts knows only what
// answer() adds, and its /etc/nsswitch.conf asks the hosts file, then the name
// server. Needs root, as the tests run.
class PrivateResolver
{
public:
    PrivateResolver();
    ~PrivateResolver();
    PrivateResolver(const PrivateResolver &) = delete;
    PrivateResolver &operator=(const PrivateResolver &) = delete;

    // Why it cannot be used here; empty when it can.
    const QString &unusable() const { return m_unusable; }
    // Runs in the child process before the program starts: the private files
    // in place of the system's. Ends the child when it cannot, which the
    // constructor has already tried in a child of its own.
    std::function<void()> childSetUp() const;
    // From now on `name` is `address`, through the hosts file.
    void answer(const QString &name, const QString &address);

private:
    QTemporaryDir m_dir;
    // The private files, in the order of the system's they stand for.
    QList<QByteArray> m_sources;
    int m_silentSocket = -1;
    QString m_unusable;
};

} // namespace corvane::test
