#pragma once

#include "store/pagedquery.h"

#include <QString>

namespace corvane {

// Who a row of the recent calls came from, as the list and its export name
// it: the customer's name, "新号码" for a number no customer has, or
// "私人号码" / "号码不详" for a withheld one.
QString callerCaption(const Record &call);

// "是" or "否", the handled mark in words.
QString handledCaption(const Record &call);

} // namespace corvane
