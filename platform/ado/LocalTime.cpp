#include "LocalTime.h"

#include <QTimeZone>

namespace ado {

QDateTime localDateTime(const QDate &date, const QTime &time)
{
    static const QTimeZone zone = QTimeZone::systemTimeZone();
    return zone.isValid() ? QDateTime(date, time, zone) : QDateTime(date, time);
}

} // namespace ado
