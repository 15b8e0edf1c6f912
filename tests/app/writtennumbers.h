#pragma once

// Customers whose numbers are written the way shops write them, and the calls
// that must find them (or must not), for a desk whose area code is 020: the
// same on tel.mdb and on the server.

#include "modemsim.h"
#include "runningprogram.h"

#include <QTest>

#include <functional>

namespace corvane::test {

// The shop's area code, as zel.ini gives it.
inline const QString AreaCode020 = QStringLiteral("[line]\r\nareacode=020\r\n");

// One statement for either engine.
inline const QString WrittenNumbersInsert = QStringLiteral(
    "INSERT INTO customer (customercode, customername, tel) VALUES ('D1', '横线', '020-87654321'), "
    "('B1', '空格', '139 1234 5678'), ('K1', '括号', '(020) 8765 4323'), ('P1', '国家码', '+86 "
    "139-1234-5679'), "
    "('T1', '长途', '13912345680'), ('L1', '本地', '8765 4322'), ('A1', '带区号', '020-8765 4324'), "
    "('M1', '两个号码', '020-87654325 / 13912345681'), ('W1', '外地', '010-87654326'), "
    "('E1', '分机', '8765432转6'), ('X1', '分机号', '020-87654327-123'), ('G1', '国际', '+86 20 8765 4329')");

// Places a call for every rule and checks what came of it: each known number
// logs one row with its customer, another city's same local digits ask to be
// saved (8765432转6, another line's extension, is not theirs either), and P,
// O and PRIVATE show in the number box but ask nothing and log nothing.
// `logged` gives the call log as "number code" rows in order.
inline void callEveryWrittenNumber(ModemSim &modem, const RunningProgram &program,
                                   const std::function<QStringList()> &logged)
{
    const QString newNumber = QStringLiteral("此号码为新号码，如果要保存的话请点击<保存新号码>按钮");
    const std::pair<const char *, const char *> calls[] = {
        {"02087654321", "D1"},  {"13912345678", "B1"},   {"02087654323", "K1"}, {"13912345679", "P1"},
        {"013912345680", "T1"}, {"02087654322", "L1"},   {"87654324", "A1"},    {"13912345681", "M1"},
        {"87654327", "X1"},     {"02087654329", "G1"},   {"87654326", nullptr}, {"P", "私人号码"},
        {"O", "号码不详"},      {"PRIVATE", "私人号码"}, {"13912345678", "B1"}};
    QStringList expected;
    int minute = 0;
    for (const auto &[number, outcome] : calls) {
        const QString reported = QLatin1String(number);
        QVERIFY(modem.command(
            QStringLiteral("call %1 0321 10%2").arg(reported).arg(++minute, 2, 10, QLatin1Char('0'))));
        if (!outcome) {
            QTRY_COMPARE_WITH_TIMEOUT(program.messageTexts(), QStringList{newNumber}, 10000);
        } else if (reported.at(0).isDigit()) {
            expected.append(reported + QLatin1Char(' ') + QLatin1String(outcome));
            QTRY_COMPARE_WITH_TIMEOUT(logged(), expected, 10000);
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(program.windowText(QStringLiteral("numberEdit")),
                                      QString::fromUtf8(outcome), 10000);
        }
    }
    QCOMPARE(program.messageTexts(), QStringList{newNumber});
}

} // namespace corvane::test
