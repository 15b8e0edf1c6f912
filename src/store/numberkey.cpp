#include "store/numberkey.h"

namespace corvane {

namespace {

// What shop records put between two numbers in one field.
const QString Separators = QStringLiteral("/,，;；、");

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

QString digitsOf(const QString &text)
{
    QString digits;
    for (const QChar c : text) {
        // Full-width digits, as a Chinese input method types them, count too.
        if (c.isDigit())
            digits += QChar(u'0' + c.digitValue());
    }
    return digits;
}

} // namespace

QString numberKey(const QString &number)
{
    const QString digits = digitsOf(number);
    for (const QStringView prefix : {u"0086", u"86", u"0"}) {
        if (digits.startsWith(prefix) && isMobile(QStringView(digits).mid(prefix.size())))
            return digits.mid(prefix.size());
    }
    return digits;
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
