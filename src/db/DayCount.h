#pragma once
#include <QDateTime>

namespace kov {

// Date-times in the database files and the registry are doubles: whole days since
// 30 December 1899, with the time of day as the fraction (local time). Before the base
// day the whole part counts back while the fraction still runs forward (-1.25 is
// 29 December 1899, 06:00), as the stored values were made.
double daysFromDateTime(const QDateTime& dateTime);
QDateTime dateTimeFromDays(double days);
double nowAsDays();

}  // namespace kov
