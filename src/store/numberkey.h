#pragma once

#include <QString>
#include <QStringList>

namespace corvane {

// The key a telephone number is found by however it was written: its digits
// alone ("020-8765 4321", "(020)87654321" and "02087654321" alike), a mobile
// number without the country code 86 or the trunk 0 before it, a landline
// after +86 with its trunk 0 ("+86 20 …" as 020 …), another country's number
// after 00. An extension is never part of the key: it ends at 转, 分机, ext,
// x or #, and at a short group of digits after a complete number
// ("87654321-123"). Empty for a text that cannot be a number (no digits,
// fewer than three, a date), which is found only as it is written.
QString numberKey(const QString &number);

// The keys of a customer's number field, which may hold several numbers
// ("020-87654321 / 13912345678"), each once. Blanks never separate numbers.
QStringList telKeys(const QString &tel);

// The keys a caller's number is looked up by: its own key and, with the
// shop's area code (as areaCodeOf gives it, or empty), the same local number
// with the area code put in front or taken off. A stored key therefore never
// depends on the area code, and changing it re-keys nothing.
QStringList callerKeys(const QString &number, const QString &areaCode);

// The area code a setting names, its leading 0 included ("020" for "020",
// "20" or "(020)"); empty when the text is empty or no area code.
QString areaCodeOf(const QString &text);

} // namespace corvane
