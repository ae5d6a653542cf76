#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace ado {

// A date and time of the local clock, as the database gives them, in the system's time zone
// read once. Equal to QDateTime(date, time) (the same moment, date and time), but built
// without the C library's local time, which looks at the zone file again for every value
// when TZ is not set.
QDateTime localDateTime(const QDate &date, const QTime &time = QTime(0, 0));

} // namespace ado
