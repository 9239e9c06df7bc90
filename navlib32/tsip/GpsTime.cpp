// GPS time → UTC.
#include "navlib32/tsip/GpsTime.h"

#include <cmath>

#include "navlib32/Calendar.h"

namespace navlib::tsip {

namespace {

// GPS − UTC and the first GPS week it held (the leap second at the end of the week before).
struct LeapStep {
  int leapSeconds;
  int firstWeek;
};
constexpr LeapStep kLeapSteps[] = {
    {13, 990},   // 1999-01-01
    {14, 1356},  // 2006-01-01
    {15, 1512},  // 2009-01-01
    {16, 1695},  // 2012-07-01
    {17, 1851},  // 2015-07-01
    {18, 1930},  // 2017-01-01
};

}  // namespace

double UtcSecondsOfDay(double gpsSeconds, int leapSeconds) {
  if (!std::isfinite(gpsSeconds)) return 0.0;
  double t = gpsSeconds - leapSeconds;
  if (t >= 0.0 && t < 8 * kSecondsPerDay) {
    // A time of week: the whole days off in one subtraction, exact as fmod's result is (a
    // multiple of t's last place below t); the quotient may be one off either way.
    t -= static_cast<int>(t * (1.0 / kSecondsPerDay)) * kSecondsPerDay;
    if (t < 0.0) t += kSecondsPerDay;
    if (t >= kSecondsPerDay) t -= kSecondsPerDay;
    return t;
  }
  t = std::fmod(t, kSecondsPerDay);
  if (t < 0) t += kSecondsPerDay;
  // fmod of a value just below a whole day may round up to it
  if (t >= kSecondsPerDay) t = 0.0;
  return t;
}

int FirstWeekOfLeapSeconds(int leapSeconds) {
  int week = 0;
  for (const LeapStep& step : kLeapSteps) {
    if (leapSeconds >= step.leapSeconds) week = step.firstWeek;
  }
  return week;
}

int ResolveGpsWeek(int reportedWeek, int leapSeconds) {
  if (reportedWeek < 0) return -1;
  const int earliest = FirstWeekOfLeapSeconds(leapSeconds);
  int week = reportedWeek;
  while (week < earliest)
    week += 1024;
  return week;
}

int64_t GpsToUnixSeconds(int fullWeek, double gpsSeconds, int leapSeconds) {
  // A damaged packet's time of week can be any float: clamp to a representable count (about
  // 30 million years either way; such a date is rejected downstream) instead of overflowing.
  constexpr double kLimit = 1e15;
  double total = GpsSecondsSinceEpoch(fullWeek, gpsSeconds, leapSeconds);
  if (!(total > -kLimit)) total = -kLimit;  // also NaN
  if (total > kLimit) total = kLimit;
  // std::floor without the library call: the whole part, one less below a negative fraction.
  int64_t whole = static_cast<int64_t>(total);
  if (static_cast<double>(whole) > total) --whole;
  return kGpsEpochUnixSeconds + whole;
}

CivilDate CivilDateOf(int64_t unixSeconds) {
  int64_t days = unixSeconds / 86400;
  if (unixSeconds % 86400 < 0) --days;
  CivilDate date;
  CivilFromDays(days, &date.year, &date.month, &date.day);
  return date;
}

}  // namespace navlib::tsip
