#include "store/callerfiguresreader.h"

#include "platform/failure.h"

#include <QMetaObject>

#include <exception>

namespace corvane {

CallerFiguresReader::CallerFiguresReader(const Connection &database, QObject *parent)
    : QObject(parent), m_database(database)
{
    m_thread = std::thread([this] { run(); });
}

CallerFiguresReader::~CallerFiguresReader()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

quint64 CallerFiguresReader::read(const QDate &first, const QDate &last)
{
    auto connection = std::make_shared<Connection>();
    connection->setSameDatabaseAs(m_database);
    connection->setAnswerWait(AnswerWaitMs);
    quint64 number = 0;
    {
        const std::lock_guard lock(m_mutex);
        number = ++m_lastNumber;
        m_pending = Request{number, first, last, std::move(connection)};
    }
    m_wake.notify_all();
    return number;
}

void CallerFiguresReader::run()
{
    for (;;) {
        Request request;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || m_pending; });
            if (m_stopping)
                return;
            request = *m_pending;
            m_pending.reset();
        }
        // The answer is handed over on the owner's thread, where the signal is
        // raised; queued on the reader itself, it is dropped if the reader goes.
        try {
            CallerFigures callers =
                CallFiguresStore(*request.connection).callers(request.first, request.last);
            QMetaObject::invokeMethod(
                this,
                [this, number = request.number, callers = std::move(callers)] {
                    Q_EMIT ready(number, callers);
                },
                Qt::QueuedConnection);
        } catch (const std::exception &error) {
            const auto *failure = dynamic_cast<const Failure *>(&error);
            const QString reason = failure ? failure->message() : QString::fromLocal8Bit(error.what());
            QMetaObject::invokeMethod(
                this, [this, number = request.number, reason] { Q_EMIT failed(number, reason); },
                Qt::QueuedConnection);
        }
    }
}

} // namespace corvane
