#pragma once

#include "store/callfigures.h"
#include "store/connection.h"

#include <QDate>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace corvane {

// Reads the callers of a period (CallerFigures) on a thread of its own, since
// they read every call of the period: a year of a busy shop takes a second or
// more, which the window must not wait for. Each request gets a connection of
// its own to the database the program works on then (the user may have
// chosen another meanwhile). Only the latest request is answered; one asked
// for while another runs waits for it, and those in between are dropped.
class CallerFiguresReader : public QObject
{
    Q_OBJECT

public:
    // A server may take this long over ten years of calls.
    static constexpr int AnswerWaitMs = 60000;

    // Reads the database `database` works on at each request.
    explicit CallerFiguresReader(const Connection &database, QObject *parent = nullptr);
    // Waits for the read under way.
    ~CallerFiguresReader() override;
    CallerFiguresReader(const CallerFiguresReader &) = delete;
    CallerFiguresReader &operator=(const CallerFiguresReader &) = delete;

    // Asks for the callers from `first` to `last`; answered with the number
    // returned, which grows with each request.
    quint64 read(const QDate &first, const QDate &last);

Q_SIGNALS:
    // Raised on the thread the reader belongs to, through its event loop.
    void ready(quint64 request, const CallerFigures &callers);
    // The database could not be read: why, for the user.
    void failed(quint64 request, const QString &reason);

private:
    struct Request
    {
        quint64 number = 0;
        QDate first;
        QDate last;
        std::shared_ptr<Connection> connection;
    };

    void run();

    const Connection &m_database;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Request> m_pending;
    quint64 m_lastNumber = 0;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace corvane
