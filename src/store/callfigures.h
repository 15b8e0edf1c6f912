#pragma once

#include <QDate>
#include <QString>

#include <array>
#include <vector>

namespace corvane {

class Connection;

// Who a call came from, as table calls holds it at the call: a customer
// found then (a customer code), a number no customer had (a key, no code),
// or a withheld or unavailable number (no key).
enum class CallerKind { Customer, NewNumber, Withheld };
inline constexpr int CallerKinds = 3;

// Calls counted by the kind of caller, in CallerKind's order.
struct KindCounts
{
    std::array<qint64, CallerKinds> calls{};

    qint64 total() const { return calls[0] + calls[1] + calls[2]; }
    qint64 &operator[](CallerKind kind) { return calls[std::size_t(kind)]; }
    qint64 operator[](CallerKind kind) const { return calls[std::size_t(kind)]; }
};

// The calls of one day (slot yyyy-MM-dd) or month (yyyy-MM).
struct SlotCounts
{
    QString slot;
    KindCounts counts;
};

// A customer among those who called most.
struct TopCaller
{
    qint64 customerId = 0; // 0 when the code names no customer now
    QString code;
    QString name;
    qint64 calls = 0;
    QString lastCall; // yyyy-MM-dd HH:mm:ss
};

// Who called: these read every call of the period, so they take longer than
// the counts (a second or more for a year of a busy shop).
struct CallerFigures
{
    // The numbers that called, each once; a withheld number is nobody's.
    qint64 numbers = 0;
    // The new numbers of the period that a customer has now: saved from the
    // call or later (customers keep no time of their own).
    qint64 savedNumbers = 0;
    // Most calls first; a tie goes to the latest call, then to the code.
    std::vector<TopCaller> topCallers;
};

struct CallFigures
{
    // Only the slots with calls, oldest first.
    std::vector<SlotCounts> bySlot;
    // Hour 0 to 23 of the day.
    std::array<KindCounts, 24> byHour{};
    qint64 calls = 0;
    qint64 notHandled = 0;
    CallerFigures callers;
};

// The figures of 来电统计, counted by the database in grouped queries:
// the bars from the counts by hour that it keeps (calls_hourly), the callers
// in one pass over the period's calls by their time index. Nothing per call
// comes into the program.
class CallFiguresStore
{
public:
    explicit CallFiguresStore(Connection &connection);

    // The calls taken from `first` to `last`, both days included, in bars of
    // days or of months, without the callers: quick at any size.
    CallFigures counts(const QDate &first, const QDate &last, bool byMonth);
    // Who called in the same days.
    CallerFigures callers(const QDate &first, const QDate &last, int topCount = 10);

private:
    Connection &m_connection;
};

} // namespace corvane
