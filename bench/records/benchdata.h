#pragma once

#include <QString>

namespace corvane::bench {

// Creates a database from resources/tel.sql holding `customers` customers and
// `calls` logged calls. Customer i has the number telOf(i).
void createFilledDatabase(const QString &path, int customers, int calls);
QString telOf(int customer);

} // namespace corvane::bench
