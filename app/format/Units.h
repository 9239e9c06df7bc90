// Unit conversions of the displayed quantities and the unit suffix lists, indexed by the
// presentation options. Values outside an option's list convert as documented per function.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelmora {

constexpr double kFeetPerMetre = 3.280839895;
constexpr double kMphPerMps = 2.2374144;
constexpr double kKnotsPerMps = 1.944;
constexpr double kKmhPerMps = 3.6;
constexpr double kSecondsPerHour = 3600.0;
constexpr double kSecondsPerDay = 86400.0;

// The four unit suffix lists (" " + resource string), indexed by option value.
struct UnitSuffixes {
  std::vector<std::string> elevation;  // ElevUnits
  std::vector<std::string> speed;      // SpeedUnits
  std::vector<std::string> heading;    // TrackTrue
  std::vector<std::string> time;       // TimeUTC

  // The entry at index, or an empty text for an index outside the list.
  static const std::string& At(const std::vector<std::string>& list, int32_t index);
};

// ElevUnits 0: feet; any other value: metres unchanged.
double ElevationInUnit(double metres, int32_t elevUnits);
// SpeedUnits 0 mph, 1 knots, 2 m/s, 3 km/h; any other value gives 0.
double SpeedInUnit(double metresPerSecond, int32_t speedUnits);
// TrackTrue 1: the true heading; otherwise true + variation, not brought back into 0..360.
double DisplayHeading(double trueHeading, double magVariation, int32_t trackTrue);
// Seconds of the displayed day: UTC, or local (utc - offset hours) when TimeUTC is not 1, with
// one correction each way into the day (exactly 86400 stays).
double DisplayTimeSeconds(double utcSeconds, int32_t timeUtc, int32_t utcOffsetHours);

}  // namespace pelmora
