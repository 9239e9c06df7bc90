// Times of day as the decoders compare them: one difference that wraps at midnight, one
// tolerance for "the same time", and one rule for how long a value stays current. Shared by the
// fix state and both decoders so that they agree on where an epoch begins. Portable.
#pragma once

#include <cmath>

namespace navlib {

constexpr double kSecondsPerDay = 86400.0;
// Two times of day closer than this are the same epoch. Receivers print milliseconds at most;
// TSIP measurement times are floats of the time of week, equal when they name one measurement.
constexpr double kSameTimeSeconds = 0.001;
// Marks a value without a time of day of its own.
constexpr double kNoTime = -1.0;
// Values older than this, by arrival time or by the data's own time of day, are reported
// invalid; so is everything when the receiver has sent nothing decodable for this long.
constexpr double kStaleSeconds = 5.0;

// d (a difference of times of day beyond half a day either way) brought into (-12 h, 12 h].
double WrapDayDifference(double d);

// a - b as a time-of-day difference in (-12 h, 12 h], so that midnight is no jump.
inline double DayDifference(double a, double b) {
  const double d = a - b;
  if (d > kSecondsPerDay / 2 || d <= -kSecondsPerDay / 2) return WrapDayDifference(d);
  return d;
}

inline bool SameTimeOfDay(double a, double b) {
  return std::fabs(DayDifference(a, b)) <= kSameTimeSeconds;
}

// Whether a value that arrived at setAt, with the time of day dataTime (kNoTime: none), is still
// current at nowSeconds when the latest epoch has the time of day latestTime (kNoTime: none):
// it arrived at most maxAge seconds ago, and its data time lies at most maxAge behind the
// latest epoch (and not ahead of it).
inline bool IsCurrent(double setAt, double dataTime, double nowSeconds, double latestTime,
                      double maxAge) {
  if (nowSeconds - setAt > maxAge) return false;
  if (dataTime == kNoTime || latestTime == kNoTime) return true;
  const double age = DayDifference(latestTime, dataTime);
  return age >= -kSameTimeSeconds && age <= maxAge;
}

}  // namespace navlib
