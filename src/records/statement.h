#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace corvane {

// One prepared SQLite statement. Every failure becomes a Failure carrying
// SQLite's own message, so it ends in the generic error box.
class Statement
{
public:
    // Takes exactly one statement: text left after it (a second statement
    // smuggled in after a ';') is refused rather than ignored.
    Statement(sqlite3 *db, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int index, const std::optional<QString> &value); // 1-based; nullopt binds NULL
    void bind(int index, qint64 value);

    // Steps once: true while a row is ready.
    bool step();
    int columnCount() const;
    QString columnName(int column) const;
    // A column of the current row; std::nullopt for NULL. Valid until the next step.
    std::optional<QByteArrayView> column(int column) const;
    qint64 columnInt64(int column) const;

private:
    [[noreturn]] void fail() const;

    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace corvane
