#pragma once

#include "store/connection.h"

#include <QObject>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace corvane {

// Keys the customers waiting for keys (customerkeys.h: a book's range in
// customer_keying, then those noted in customer_unkeyed) on a thread of its
// own with a connection of its own, a batch per transaction: a book of
// millions is keyed while the window answers, and what a kill interrupts
// goes on at the next start from the range and notes still there. It looks
// again now and then, and when nudged, for customers another program added.
class CustomerKeying : public QObject
{
    Q_OBJECT

public:
    // Customers per transaction: short enough that a save of the window's
    // waits only a moment for the file.
    static constexpr qsizetype Batch = 5000;
    // How often it looks for newly noted customers when nobody nudges it.
    static constexpr int LookEveryMs = 2000;

    // Keys the database `database` works on, from start() on.
    explicit CustomerKeying(const Connection &database, QObject *parent = nullptr);
    // Stops, and waits for the batch under way.
    ~CustomerKeying() override;
    CustomerKeying(const CustomerKeying &) = delete;
    CustomerKeying &operator=(const CustomerKeying &) = delete;

    void start();
    // Ends after the batch under way; the rest is keyed next time.
    void stop();
    // Looks for customers to key at once.
    void nudge();

Q_SIGNALS:
    // From the keying's thread, after each batch: `keyed` of the `total`
    // customers waiting when this round of keying began (or more, when
    // others were noted meanwhile).
    void progress(qint64 keyed, qint64 total);

private:
    void run();
    // Keys what is noted now, a batch at a time, until nothing is or it is
    // told to stop.
    void keyNoted();
    // Waits `ms`, or less when nudged or stopped; false once stopped.
    bool pause(int ms);

    Connection m_connection;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    bool m_nudged = false;
    std::thread m_thread;
};

} // namespace corvane
