#include "store/numberkey.h"

#include <QDate>

#include <algorithm>
#include <vector>

namespace corvane {

namespace {

// What shop records put between two numbers in one field.
const QString Separators = QStringLiteral("/,，;；、");

// What shop records write before an extension, once some digits came.
const QStringList ExtensionMarks = {QStringLiteral("转"), QStringLiteral("分机"), QStringLiteral("ext"),
                                    QStringLiteral("x"),  QStringLiteral("#"),    QStringLiteral("＃")};

// A group of digits after a complete number this long or shorter is its
// extension ("87654321-123"), never the rest of the number.
constexpr qsizetype ExtensionDigits = 4;

// Service numbers (110, 114) are the shortest a line reports.
constexpr qsizetype ShortestNumber = 3;

// What separates year, month and day in a date written in digits.
const QString DateMarks = QStringLiteral("-/.");

const QString China = QStringLiteral("86");
const QString InternationalPrefix = QStringLiteral("00");

// A run of digits as written, full-width digits made plain, with the text
// between it and the run before.
struct DigitGroup
{
    QString digits;
    QString before;
};

// The number part of one number as written: its digit groups up to any
// extension mark, and whether a "+" came before the first digit.
struct WrittenNumber
{
    std::vector<DigitGroup> groups;
    bool plus = false;
};

bool isMobile(QStringView digits)
{
    return digits.size() == 11 && digits.front() == u'1';
}

// A landline number within the area: 7 or 8 digits, neither a trunk 0 nor a
// service or mobile number's 1 in front.
bool isLocal(QStringView digits)
{
    return (digits.size() == 7 || digits.size() == 8) && digits.front() != u'0' && digits.front() != u'1';
}

// A landline with its trunk 0 and area code: 010 and 02X with 7 or 8 digits,
// 0XXX with 7 or 8.
bool isLongDistance(QStringView digits)
{
    return digits.size() >= 10 && digits.size() <= 12 && digits.front() == u'0' && digits[1] != u'0';
}

// A nationwide service number (400 and 800), dialled without a trunk 0.
bool isNationwide(QStringView digits)
{
    return digits.size() == 10 && (digits.startsWith(u"400") || digits.startsWith(u"800"));
}

bool isComplete(QStringView digits)
{
    return isMobile(digits) || isLocal(digits) || isLongDistance(digits) || isNationwide(digits);
}

bool startsExtension(const QString &text, qsizetype at)
{
    return std::any_of(ExtensionMarks.begin(), ExtensionMarks.end(), [&](const QString &mark) {
        return QStringView(text).mid(at).startsWith(mark, Qt::CaseInsensitive);
    });
}

WrittenNumber writtenNumber(const QString &text)
{
    WrittenNumber written;
    QString between;
    bool inDigits = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit()) {
            if (!inDigits)
                written.groups.push_back({QString(), between});
            // Full-width digits, as a Chinese input method types them, count too.
            written.groups.back().digits += QChar(u'0' + c.digitValue());
            between.clear();
            inDigits = true;
            continue;
        }
        inDigits = false;
        if (written.groups.empty()) {
            written.plus = written.plus || c == u'+' || c == u'＋';
            continue;
        }
        if (startsExtension(text, i))
            break;
        between += c;
    }
    return written;
}

// A date rather than a number: year, month and day, or day, month and year,
// with the same mark between them ("2023-12-09", "9/12/2023", "2023年12月9日").
bool isDate(const std::vector<DigitGroup> &groups)
{
    if (groups.size() != 3)
        return false;
    const QString first = groups[1].before.trimmed();
    const QString second = groups[2].before.trimmed();
    const bool dateMarks = (first == second && DateMarks.contains(first) && first.size() == 1) ||
                           (first == QStringLiteral("年") && second == QStringLiteral("月"));
    if (!dateMarks)
        return false;
    const auto number = [&](int group) { return groups[std::size_t(group)].digits.toInt(); };
    const auto isYear = [&](int group) { return groups[std::size_t(group)].digits.size() == 4; };
    const auto shortGroups = [&](int a, int b) {
        return groups[std::size_t(a)].digits.size() <= 2 && groups[std::size_t(b)].digits.size() <= 2;
    };
    if (isYear(0) && shortGroups(1, 2))
        return QDate(number(0), number(1), number(2)).isValid();
    if (isYear(2) && shortGroups(0, 1))
        return QDate(number(2), number(1), number(0)).isValid() ||
               QDate(number(2), number(0), number(1)).isValid();
    return false;
}

// The digits of `groups` from `first` on, up to an extension written as a
// short group after a complete number; `complete` tells a complete number.
template <typename Complete>
QString numberDigits(const std::vector<DigitGroup> &groups, std::size_t first, Complete complete)
{
    QString digits;
    for (std::size_t i = first; i < groups.size(); ++i) {
        if (!digits.isEmpty() && groups[i].digits.size() <= ExtensionDigits && complete(digits))
            break;
        digits += groups[i].digits;
    }
    return digits;
}

// A number within China after its country code, as dialled at home: a mobile
// or nationwide number as it is, a landline with its trunk 0 ("+86 20 …" is
// 020 …).
QString dialledAtHome(const QString &digits)
{
    return isMobile(digits) || isNationwide(digits) || digits.startsWith(u'0') ? digits
                                                                               : QLatin1Char('0') + digits;
}

// The key of a number written with a country code: the groups from the first
// with the code taken off. Empty when `groups` has no country code in front.
QString internationalKey(std::vector<DigitGroup> groups, bool plus)
{
    QString &lead = groups.front().digits;
    if (lead.startsWith(InternationalPrefix))
        lead.remove(0, InternationalPrefix.size());
    else if (!plus)
        return {};
    std::size_t first = lead.isEmpty() ? 1 : 0;
    if (first == groups.size())
        return {};
    QString &code = groups[first].digits;
    if (!code.startsWith(China))
        return InternationalPrefix + numberDigits(groups, first, [](const QString &) { return false; });
    code.remove(0, China.size());
    if (code.isEmpty())
        ++first;
    return dialledAtHome(
        numberDigits(groups, first, [](const QString &digits) { return isComplete(dialledAtHome(digits)); }));
}

// A mobile number without the country code 86 or the trunk 0 before it.
QString withoutMobilePrefix(const QString &digits)
{
    for (const QStringView prefix : {u"86", u"0"}) {
        if (digits.startsWith(prefix) && isMobile(QStringView(digits).mid(prefix.size())))
            return digits.mid(prefix.size());
    }
    return digits;
}

QString digitsOf(const QString &text)
{
    QString digits;
    for (const QChar c : text) {
        if (c.isDigit())
            digits += QChar(u'0' + c.digitValue());
    }
    return digits;
}

} // namespace

QString numberKey(const QString &number)
{
    const WrittenNumber written = writtenNumber(number);
    if (written.groups.empty() || isDate(written.groups))
        return {};
    QString key = internationalKey(written.groups, written.plus);
    if (key.isEmpty())
        key = withoutMobilePrefix(numberDigits(written.groups, 0, [](const QString &digits) {
            return isComplete(withoutMobilePrefix(digits));
        }));
    return key.size() < ShortestNumber ? QString() : key;
}

QStringList telKeys(const QString &tel)
{
    QStringList keys;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= tel.size(); ++i) {
        if (i < tel.size() && !Separators.contains(tel[i]))
            continue;
        const QString key = numberKey(tel.mid(start, i - start));
        if (!key.isEmpty() && !keys.contains(key))
            keys.append(key);
        start = i + 1;
    }
    return keys;
}

QStringList callerKeys(const QString &number, const QString &areaCode)
{
    const QString key = numberKey(number);
    if (key.isEmpty())
        return {};
    if (areaCode.isEmpty())
        return {key};
    if (isLocal(key))
        return {key, areaCode + key};
    if (key.startsWith(areaCode) && isLocal(QStringView(key).mid(areaCode.size())))
        return {key, key.mid(areaCode.size())};
    return {key};
}

QString areaCodeOf(const QString &text)
{
    QString digits = digitsOf(text);
    if (digits.isEmpty())
        return {};
    if (!digits.startsWith(u'0'))
        digits.prepend(u'0');
    // 010, 02X and 0XXX; a second 0 would be the international prefix.
    const bool fits = (digits.size() == 3 || digits.size() == 4) && digits[1] != u'0';
    return fits ? digits : QString();
}

} // namespace corvane
