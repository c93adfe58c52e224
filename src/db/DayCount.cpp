#include "db/DayCount.h"

#include <cmath>

namespace kov {

namespace {
const QDate kBaseDay(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
}  // namespace

double daysFromDateTime(const QDateTime& dateTime) {
  const double day = double(kBaseDay.daysTo(dateTime.date()));
  const double fraction = dateTime.time().msecsSinceStartOfDay() / kMsPerDay;
  return day >= 0 ? day + fraction : day - fraction;
}

QDateTime dateTimeFromDays(double days) {
  if (!std::isfinite(days) || std::fabs(days) > 3.0e6) return {};
  const double whole = std::trunc(days);
  qint64 ms = std::llround(std::fabs(days - whole) * kMsPerDay);
  qint64 day = qint64(whole);
  if (ms >= qint64(kMsPerDay)) {  // rounding reached the next midnight
    ms -= qint64(kMsPerDay);
    day += 1;
  }
  return QDateTime(kBaseDay.addDays(day), QTime::fromMSecsSinceStartOfDay(int(ms)));
}

double nowAsDays() { return daysFromDateTime(QDateTime::currentDateTime()); }

}  // namespace kov
