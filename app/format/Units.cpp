#include "app/format/Units.h"

namespace pelmora {

const std::string& UnitSuffixes::At(const std::vector<std::string>& list, int32_t index) {
  static const std::string kEmpty;
  if (index < 0 || static_cast<size_t>(index) >= list.size()) return kEmpty;
  return list[static_cast<size_t>(index)];
}

double ElevationInUnit(double metres, int32_t elevUnits) {
  return elevUnits == 0 ? metres * kFeetPerMetre : metres;
}

double SpeedInUnit(double metresPerSecond, int32_t speedUnits) {
  switch (speedUnits) {
    case 0:
      return metresPerSecond * kMphPerMps;
    case 1:
      return metresPerSecond * kKnotsPerMps;
    case 2:
      return metresPerSecond;
    case 3:
      return metresPerSecond * kKmhPerMps;
    default:
      return 0.0;
  }
}

double DisplayHeading(double trueHeading, double magVariation, int32_t trackTrue) {
  return trackTrue == 1 ? trueHeading : trueHeading + magVariation;
}

double DisplayTimeSeconds(double utcSeconds, int32_t timeUtc, int32_t utcOffsetHours) {
  double t = timeUtc == 1 ? utcSeconds : utcSeconds - utcOffsetHours * kSecondsPerHour;
  if (t < 0) t += kSecondsPerDay;
  if (t > kSecondsPerDay) t -= kSecondsPerDay;
  return t;
}

}  // namespace pelmora
