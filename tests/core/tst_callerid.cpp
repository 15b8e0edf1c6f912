#include "core/callerid.h"
#include "core/callernumber.h"
#include "store/numberkey.h"

#include <QDate>
#include <QTest>

#include <climits>

using namespace corvane;

namespace {

const QString example = QStringLiteral("\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = 5551234\r\n\r\n");
// The PC clock of the cases that do not say otherwise.
const QDateTime pcClock(QDate(2026, 6, 15), QTime(10, 30, 20));

} // namespace

class TestCallerId : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void workedExamplePositionsAndTails()
    {
        QCOMPARE(example.size(), 46);
        QCOMPARE(datePosition(example), 3);
        QCOMPARE(timePosition(example), 16);
        QCOMPARE(nmbrPosition(example), 29);
        QCOMPARE(fieldPosition(example, QStringLiteral("NAME")), 0);

        QCOMPARE(trimControls(example), QStringLiteral("DATE = 0321\r\nTIME = 1405\r\nNMBR = 5551234"));
        QCOMPARE(fieldTail(example, 46, datePosition(example)),
                 QStringLiteral("ATE = 0321\r\nTIME = 1405\r\nNMBR = 5551234"));
        QCOMPARE(fieldTail(example, 46, timePosition(example)),
                 QStringLiteral("IME = 1405\r\nNMBR = 5551234"));
        QCOMPARE(fieldTail(example, 46, nmbrPosition(example)), QStringLiteral("MBR = 5551234"));
    }

    void reports_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("shortBy"); // bufferCount = length - shortBy
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("dateText");
        QTest::addColumn<QString>("timeText");

        QTest::newRow("worked example") << example << 0 << "5551234"
                                        << "2026-03-21"
                                        << "14:05";
        QTest::newRow("no blanks") << "DATE=0321TIME=1405NMBR=5551234" << 0 << "5551234"
                                   << "2026-03-21"
                                   << "14:05";
        // Without DATE or TIME the clock gives them, not the number.
        QTest::newRow("NMBR only") << "NMBR = 5551234\r\n"
                                   << 0 << "5551234"
                                   << "2026-06-15"
                                   << "10:30";
        QTest::newRow("no DATE") << "\r\nTIME = 1405\r\nNMBR = 5551234\r\n\r\n"
                                 << 0 << "5551234"
                                 << "2026-06-15"
                                 << "14:05";
        QTest::newRow("no TIME") << "\r\nDATE = 0321\r\nNMBR = 5551234\r\n\r\n"
                                 << 0 << "5551234"
                                 << "2026-03-21"
                                 << "10:30";
        QTest::newRow("NAME after NMBR")
            << "\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = 5551234\r\nNAME = WANG\r\n"
            << 0 << "5551234"
            << "2026-03-21"
            << "14:05";
        QTest::newRow("NAME and MESG after NMBR")
            << "\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = 5551234\r\nNAME = WANG\r\nMESG = 0102AB\r\n\r\n"
            << 0 << "5551234"
            << "2026-03-21"
            << "14:05";
        QTest::newRow("NMBR first") << "NMBR = 5551234\r\nDATE = 0321\r\nTIME = 1405\r\n"
                                    << 0 << "5551234"
                                    << "2026-03-21"
                                    << "14:05";
        QTest::newRow("line feeds only") << "NMBR=5551234 \nNAME=WANG\n"
                                         << 0 << "5551234"
                                         << "2026-06-15"
                                         << "10:30";
        QTest::newRow("empty NMBR before NAME")
            << "\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = \r\nNAME = WANG\r\n"
            << 0 << ""
            << "2026-03-21"
            << "14:05";
        QTest::newRow("empty NMBR at the end") << "\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR =\r\n"
                                               << 0 << ""
                                               << "2026-03-21"
                                               << "14:05";
        QTest::newRow("withheld P") << "\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = P\r\n\r\n"
                                    << 0 << "P"
                                    << "2026-03-21"
                                    << "14:05";
        QTest::newRow("unavailable O") << "\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = O\r\n\r\n"
                                       << 0 << "O"
                                       << "2026-03-21"
                                       << "14:05";
        QTest::newRow("3-digit date") << "\r\nDATE = 321\r\nTIME = 1405\r\nNMBR = 5551234\r\n\r\n"
                                      << 0 << "5551234"
                                      << "2026-32-1\r"
                                      << "14:05";
        QTest::newRow("count 5 short") << example << 5 << "5551234"
                                       << "2026-14-05"
                                       << "55:51";
        QTest::newRow("count 3 long") << example << -3 << "5551234"
                                      << "2026-03-21"
                                      << "14:05";
        QTest::newRow("no '=' at all") << "NMBR 5551234" << 0 << "MBR 5551234"
                                       << "2026-06-15"
                                       << "10:30";
    }
    void reports()
    {
        QFETCH(QString, text);
        QFETCH(int, shortBy);
        const CallerIdReport report = parseCallerIdReport(text, int(text.size()) - shortBy, pcClock);
        QTEST(report.number, "number");
        QTEST(report.dateText, "dateText");
        QTEST(report.timeText, "timeText");
    }

    // The year is the one that puts the reported day nearest the clock's
    // date; a month and day that are no date keep the clock's year.
    void theYearOfTheReportedDay_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QDateTime>("readAt");
        QTest::addColumn<QString>("dateText");
        QTest::newRow("31 December read after midnight")
            << "1231" << QDateTime(QDate(2028, 1, 1), QTime(0, 0, 30)) << "2027-12-31";
        QTest::newRow("1 January read before midnight")
            << "0101" << QDateTime(QDate(2025, 12, 31), QTime(23, 59, 50)) << "2026-01-01";
        QTest::newRow("same day") << "0615" << pcClock << "2026-06-15";
        QTest::newRow("29 February") << "0229" << QDateTime(QDate(2028, 3, 1), QTime(0, 0, 5))
                                     << "2028-02-29";
        QTest::newRow("month 13") << "1399" << QDateTime(QDate(2028, 1, 1), QTime(0, 0, 30)) << "2028-13-99";
        QTest::newRow("31 April") << "0431" << pcClock << "2026-04-31";
        QTest::newRow("letters") << "12AB" << QDateTime(QDate(2028, 1, 1), QTime()) << "2028-12-AB";
        QTest::newRow("four-digit year") << "0321" << QDateTime(QDate(987, 3, 1), QTime()) << "0987-03-21";
    }
    void theYearOfTheReportedDay()
    {
        QFETCH(QString, date);
        QFETCH(QDateTime, readAt);
        const QString report = QStringLiteral("\r\nDATE = %1\r\nTIME = 2359\r\nNMBR = 5551234\r\n").arg(date);
        QTEST(parseCallerIdReport(report, int(report.size()), readAt).dateText, "dateText");
    }

    void theClockIsReadAsTheReportIs()
    {
        const QString report = QStringLiteral("NMBR = 5551234\r\n");
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        QCOMPARE(parseCallerIdReport(report, int(report.size())).dateText, today);
    }

    // The recogniser runs on the upper-cased text; only a to z change, so
    // Latin-1 letters from line noise stay as they came.
    void upperCaseAndRecognition()
    {
        QCOMPARE(upperAscii(QStringLiteral("nmbr = 123 \u00e9\u00ff az{")),
                 QStringLiteral("NMBR = 123 \u00e9\u00ff AZ{"));
        QVERIFY(isCallerIdReport(upperAscii(QStringLiteral("\r\nnmbr = 123\r\n"))));
        QCOMPARE(parseCallerIdReport(upperAscii(QStringLiteral("nmbr = 123")), 10, pcClock).number,
                 QStringLiteral("123"));
        QVERIFY(!isCallerIdReport(QStringLiteral("nmbr = 123")));
        QVERIFY(!isCallerIdReport(QStringLiteral("AT#CID=1\rOK\r\nRING\r\n")));
        QVERIFY(!isCallerIdReport(QString()));
    }

    void trimmingTouchesOnlyTheEnds()
    {
        QCOMPARE(trimControls(QStringLiteral("\0\t\r\n 5 5\x1f\r\n ")), QStringLiteral("5 5"));
        QCOMPARE(trimControls(QStringLiteral("\r\n\x01 ")), QString());
        QCOMPARE(trimControls(QStringLiteral("\u00a0x\x7f")), QStringLiteral("\u00a0x\x7f"));
    }

    // Counts that do not fit the text, and texts without any field, give
    // texts and never fail.
    void degenerateCounts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bufferCount");
        QTest::addColumn<QString>("dateText");
        QTest::addColumn<QString>("timeText");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("numberTail");
        const QString noDate = QStringLiteral("2026--");
        const QString noTime = QStringLiteral(":");
        const QString clockDate = QStringLiteral("2026-06-15");
        const QString clockTime = QStringLiteral("10:30");
        QTest::newRow("empty text") << QString() << 0 << clockDate << clockTime << QString() << QString();
        QTest::newRow("empty text, count")
            << QString() << 46 << clockDate << clockTime << QString() << QString();
        QTest::newRow("negative") << example << -5 << noDate << noTime << QString() << QString();
        QTest::newRow("most negative") << example << INT_MIN << noDate << noTime << QString() << QString();
        // Every tail is the whole text: each value runs from the first "=".
        const QString whole = trimControls(example);
        QTest::newRow("huge") << example << INT_MAX << QStringLiteral("2026-03-21") << QStringLiteral("03:21")
                              << QStringLiteral("0321") << whole;
        QTest::newRow("only =") << QStringLiteral("=") << 1 << clockDate << clockTime << QString()
                                << QStringLiteral("=");
        QTest::newRow("controls only")
            << QStringLiteral("\r\n\0\x01") << 4 << clockDate << clockTime << QString() << QString();
    }
    void degenerateCounts()
    {
        QFETCH(QString, text);
        QFETCH(int, bufferCount);
        const CallerIdReport report = parseCallerIdReport(text, bufferCount, pcClock);
        QTEST(report.dateText, "dateText");
        QTEST(report.timeText, "timeText");
        QTEST(report.number, "number");
        QTEST(fieldTail(text, bufferCount, nmbrPosition(text)), "numberTail");
    }

    void countAtOrBelowPositionGivesEmptyTail()
    {
        QCOMPARE(fieldTail(example, 29, 29), QString());
        QCOMPARE(callerIdNumber(example, 20), QString());
        QCOMPARE(callerIdTimeText(example, 10, pcClock), QStringLiteral(":"));
        QCOMPARE(fieldTail(example, 1000, 29), trimControls(example));
    }

    // The keys of a customer's number field, however a shop wrote it.
    void numberKeys_data()
    {
        QTest::addColumn<QString>("tel");
        QTest::addColumn<QStringList>("keys");
        const QString landline = QStringLiteral("02087654321");
        const QString mobile = QStringLiteral("13912345678");
        QTest::newRow("dash, blank") << QStringLiteral("020-8765 4321") << QStringList{landline};
        QTest::newRow("brackets, dot") << QStringLiteral("(020) 8765.4321") << QStringList{landline};
        QTest::newRow("full-width") << QStringLiteral("０２０－８７６５４３２１") << QStringList{landline};
        QTest::newRow("+86") << QStringLiteral("+86 139-1234-5678") << QStringList{mobile};
        QTest::newRow("0086") << QStringLiteral("0086 13912345678") << QStringList{mobile};
        QTest::newRow("trunk 0") << QStringLiteral("013912345678") << QStringList{mobile};
        // A bare 86 only before a mobile number: a landline keeps every digit.
        QTest::newRow("86 landline") << QStringLiteral("86 20 87654321")
                                     << QStringList{QStringLiteral("862087654321")};
        QTest::newRow("+86 landline") << QStringLiteral("+86 20 8765 4321") << QStringList{landline};
        QTest::newRow("0086, trunk 0") << QStringLiteral("0086 (0)20-87654321") << QStringList{landline};
        QTest::newRow("+86 Beijing") << QStringLiteral("+86 10 6552 9988")
                                     << QStringList{QStringLiteral("01065529988")};
        QTest::newRow("nationwide") << QStringLiteral("+86 400-820-8820 / 800 820 8820-3")
                                    << QStringList{QStringLiteral("4008208820"),
                                                   QStringLiteral("8008208820")};
        QTest::newRow("abroad") << QStringLiteral("+1 415 555 0100")
                                << QStringList{QStringLiteral("0014155550100")};
        QTest::newRow("several") << QStringLiteral("020-87654321 / 139 1234 5678，8765 4322；110、1;2")
                                 << QStringList{landline, mobile, QStringLiteral("87654322"),
                                                QStringLiteral("110")};
        // The extension is never part of the key, however it is written.
        const QString local = QStringLiteral("87654322");
        QTest::newRow("转") << QStringLiteral("87654322转123") << QStringList{local};
        QTest::newRow("分机, ext, x, #")
            << QStringLiteral("8765 4322 分机 5 / 87654322 ext.6 / 87654322x7 / 87654322#8 / Fax 87654322X9")
            << QStringList{local};
        QTest::newRow("short group") << QStringLiteral("87654322-123 / 020-87654321-9 / 139 1234 5678 12")
                                     << QStringList{local, landline, mobile};
        QTest::newRow("short group, area code")
            << QStringLiteral("0755-2345678-9") << QStringList{QStringLiteral("07552345678")};
        QTest::newRow("7 digits, extension")
            << QStringLiteral("7654321转8") << QStringList{QStringLiteral("7654321")};
        QTest::newRow("+86, extension") << QStringLiteral("+86 20 8765 4321 转 66") << QStringList{landline};
        QTest::newRow("dates") << QStringLiteral("2023-12-09 / 09.12.2023 / 2023年12月9日 / 2023.1.31")
                               << QStringList();
        QTest::newRow("date-like numbers")
            << QStringLiteral("2023-1209 / 2023-13-45")
            << QStringList{QStringLiteral("20231209"), QStringLiteral("20231345")};
        QTest::newRow("twice, empty part")
            << QStringLiteral("13912345678 // 139 1234 5678") << QStringList{mobile};
        QTest::newRow("no digits") << QStringLiteral("无 / P") << QStringList();
    }
    void numberKeys()
    {
        QFETCH(QString, tel);
        QTEST(telKeys(tel), "keys");
    }

    // A caller's local number is also looked for with the shop's area code,
    // and one with that area code also without it; never another city's.
    void callerKeysFollowTheAreaCode()
    {
        const QString areaCode = areaCodeOf(QStringLiteral("(20)"));
        QCOMPARE(areaCode, QStringLiteral("020"));
        QCOMPARE(callerKeys(QStringLiteral("87654321"), areaCode),
                 (QStringList{QStringLiteral("87654321"), QStringLiteral("02087654321")}));
        QCOMPARE(callerKeys(QStringLiteral("02087654321"), areaCode),
                 (QStringList{QStringLiteral("02087654321"), QStringLiteral("87654321")}));
        QCOMPARE(callerKeys(QStringLiteral("01087654321"), areaCode),
                 QStringList{QStringLiteral("01087654321")});
        QCOMPARE(callerKeys(QStringLiteral("87654321"), {}), QStringList{QStringLiteral("87654321")});
        QCOMPARE(callerKeys(QStringLiteral("013912345678"), areaCode),
                 QStringList{QStringLiteral("13912345678")});
        QCOMPARE(callerKeys(QStringLiteral("PRIVATE"), areaCode), QStringList());
        for (const char *notAnAreaCode : {"", "abc", "12345", "0020"})
            QCOMPARE(areaCodeOf(QLatin1String(notAnAreaCode)), QString());
        QCOMPARE(areaCodeOf(QStringLiteral("0755")), QStringLiteral("0755"));
    }

    // What the exchange sends for a number it will not or cannot give.
    void withheldAndUnknownNumbers()
    {
        for (const char *withheld : {"P", "p", "PRIVATE", "Anonymous", " P\r\n"}) {
            QCOMPARE(shownNumber(QLatin1String(withheld)), QStringLiteral("私人号码"));
            QCOMPARE(numberForNewCustomer(QLatin1String(withheld)), QString());
        }
        for (const char *unknown : {"O", "OUT-OF-AREA", "unavailable"})
            QCOMPARE(shownNumber(QLatin1String(unknown)), QStringLiteral("号码不详"));
        for (const char *number : {"5551234", "PO", "P1", ""}) {
            QCOMPARE(shownNumber(QLatin1String(number)), QLatin1String(number));
            QCOMPARE(numberForNewCustomer(QLatin1String(number)), QLatin1String(number));
        }
        QCOMPARE(callerNumberKind(QStringLiteral(" \r\n")), CallerNumberKind::Empty);
    }
};

QTEST_GUILESS_MAIN(TestCallerId)
#include "tst_callerid.moc"
