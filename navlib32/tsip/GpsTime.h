// GPS time → UTC: leap seconds and GPS week roll-over. Portable: standard C++ only.
#pragma once

#include <cmath>
#include <cstdint>

#include "navlib32/TimeOfDay.h"

namespace navlib::tsip {

constexpr double kSecondsPerWeek = 604800.0;
// GPS − UTC in seconds since 2017-01-01. Used until the receiver reports its own offset;
// a receiver that has not yet read the offset from the navigation message sends none.
constexpr int kDefaultLeapSeconds = 18;
// Seconds from the Unix epoch to the GPS epoch, 1980-01-06 00:00:00 UTC.
constexpr int64_t kGpsEpochUnixSeconds = 315964800;

// UTC time of day in [0, 86400) of GPS time of week gpsSeconds with the offset leapSeconds.
double UtcSecondsOfDay(double gpsSeconds, int leapSeconds);

// True for a time of week a receiver can send: finite, 0 to 604800 s (a leap second may end
// a week at 604800).
inline bool IsTimeOfWeek(double gpsSeconds) {
  return std::isfinite(gpsSeconds) && gpsSeconds >= 0.0 && gpsSeconds <= kSecondsPerWeek;
}

// Full GPS week of a week number as reported. Old receivers send the week modulo 1024; newer
// ones a full week that they may still place in the wrong 1024-week era. The leap-second
// count dates the message: the week is moved forward by 1024-week eras until it is no earlier
// than the week in which that count took effect. Negative weeks give -1.
int ResolveGpsWeek(int reportedWeek, int leapSeconds);

// First full GPS week in which GPS − UTC equalled leapSeconds (0 for counts before 1999).
int FirstWeekOfLeapSeconds(int leapSeconds);

// UTC as seconds since the Unix epoch (whole seconds, floored) of a full GPS week and time of
// week.
int64_t GpsToUnixSeconds(int fullWeek, double gpsSeconds, int leapSeconds);

// The seconds GpsToUnixSeconds floors, counted from the GPS epoch (before its clamp).
inline double GpsSecondsSinceEpoch(int fullWeek, double gpsSeconds, int leapSeconds) {
  return static_cast<double>(fullWeek) * kSecondsPerWeek + gpsSeconds - leapSeconds;
}

struct CivilDate {
  int year = 1970, month = 1, day = 1;
};

// Gregorian UTC date of a count of seconds since the Unix epoch.
CivilDate CivilDateOf(int64_t unixSeconds);

}  // namespace navlib::tsip
