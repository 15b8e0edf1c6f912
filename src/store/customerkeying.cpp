#include "store/customerkeying.h"

#include "store/customerkeys.h"
#include "store/transaction.h"

#include <algorithm>
#include <chrono>
#include <exception>

namespace corvane {

namespace {

// Between batches, so that a save of the window's finds the file free and the
// window's thread gets the processor.
constexpr int BreathMs = 20;

} // namespace

CustomerKeying::CustomerKeying(const Connection &database, QObject *parent) : QObject(parent)
{
    m_connection.setSameDatabaseAs(database);
}

CustomerKeying::~CustomerKeying()
{
    stop();
    if (m_thread.joinable())
        m_thread.join();
}

void CustomerKeying::start()
{
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
}

void CustomerKeying::stop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
}

void CustomerKeying::nudge()
{
    {
        const std::lock_guard lock(m_mutex);
        m_nudged = true;
    }
    m_wake.notify_all();
}

void CustomerKeying::run()
{
    do {
        try {
            keyNoted();
        } catch (const std::exception &) {
            // The file busy, or the server away: tried again at the next look.
        }
    } while (pause(LookEveryMs));
}

void CustomerKeying::keyNoted()
{
    Engine &engine = m_connection.engine();
    if (!hasUnkeyedCustomers(engine))
        return;
    qint64 total = unkeyedCustomerCount(engine);
    qint64 keyed = 0;
    for (;;) {
        Transaction writing(m_connection);
        const qsizetype batch = keyWaitingCustomers(engine, Batch);
        writing.commit();
        keyed += batch;
        total = std::max(total, keyed);
        if (batch < Batch) {
            Q_EMIT progress(total, total);
            return;
        }
        Q_EMIT progress(keyed, total);
        if (!pause(BreathMs))
            return;
    }
}

bool CustomerKeying::pause(int ms)
{
    std::unique_lock lock(m_mutex);
    m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stopping || m_nudged; });
    m_nudged = false;
    return !m_stopping;
}

} // namespace corvane
