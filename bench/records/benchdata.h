#pragma once

#include <QString>

#include <functional>

namespace corvane {
class Connection;
}

namespace corvane::bench {

// Creates a database from resources/tel.sql holding `customers` customers and
// `calls` logged calls, copied from one generated earlier for the same sizes
// when the build folder has it. Customer i has the number telOf(i) and the
// address addressOf(i), the last of its fields the main window fills. With
// `recentCalls`, table calls holds that many calls of every kind, the newest
// taken when the cached file was made.
void createFilledDatabase(const QString &path, int customers, int calls, int recentCalls = 0);
QString telOf(int customer);
QString addressOf(int customer);

// Runs `fill`, which adds rows to table calls, in one transaction with the
// table's indexes dropped, and makes them again after it: sorting once is
// quicker than keeping them up to date row by row.
void withCallIndexesAfter(Connection &connection, const std::function<void()> &fill);

} // namespace corvane::bench
