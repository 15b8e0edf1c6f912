#pragma once

#include <QLatin1String>
#include <QRect>

namespace corvane {

// A control of a form laid out by hand: named, so tests find it, and put in
// its place.
template <typename Control> Control *placed(Control *control, const char *name, const QRect &place)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(place);
    return control;
}

} // namespace corvane
