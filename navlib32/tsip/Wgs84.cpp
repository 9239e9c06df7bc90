// WGS-84 ECEF ↔ geodetic conversions.
#include "navlib32/tsip/Wgs84.h"

#include <cmath>
#include <numbers>

namespace navlib::tsip {

namespace {

constexpr double kSemiMajorMetres = 6378137.0;
constexpr double kFlattening = 1.0 / 298.257223563;
constexpr double kEccentricity2 = kFlattening * (2.0 - kFlattening);
constexpr double kDegPerRad = 180.0 / std::numbers::pi;

double PrimeVerticalRadius(double sinLat) {
  return kSemiMajorMetres / std::sqrt(1.0 - kEccentricity2 * sinLat * sinLat);
}

}  // namespace

Lla EcefToLla(const Ecef& ecef) {
  const double p = std::hypot(ecef.x, ecef.y);
  // Fixed-point iteration on latitude; the height formula p·cosφ + z·sinφ − a²/N stays well
  // conditioned at the poles, where p / cosφ would not. Converges to 1e-15 rad in a few steps.
  double lat = std::atan2(ecef.z, p * (1.0 - kEccentricity2));
  double n = PrimeVerticalRadius(std::sin(lat));
  for (int i = 0; i < 10; ++i) {
    const double next = std::atan2(ecef.z + kEccentricity2 * n * std::sin(lat), p);
    n = PrimeVerticalRadius(std::sin(next));
    const bool done = std::fabs(next - lat) < 1e-15;
    lat = next;
    if (done) break;
  }
  const double height =
      p * std::cos(lat) + ecef.z * std::sin(lat) - kSemiMajorMetres * kSemiMajorMetres / n;
  Lla out;
  out.latitudeDeg = lat * kDegPerRad;
  out.longitudeDeg = (p == 0.0) ? 0.0 : std::atan2(ecef.y, ecef.x) * kDegPerRad;
  out.ellipsoidHeightMetres = height;
  return out;
}

Enu EcefVectorToEnu(const Ecef& v, double latitudeDeg, double longitudeDeg) {
  const double sinLat = std::sin(latitudeDeg / kDegPerRad),
               cosLat = std::cos(latitudeDeg / kDegPerRad);
  const double sinLon = std::sin(longitudeDeg / kDegPerRad),
               cosLon = std::cos(longitudeDeg / kDegPerRad);
  Enu out;
  out.east = -sinLon * v.x + cosLon * v.y;
  out.north = -sinLat * cosLon * v.x - sinLat * sinLon * v.y + cosLat * v.z;
  out.up = cosLat * cosLon * v.x + cosLat * sinLon * v.y + sinLat * v.z;
  return out;
}

Ecef LlaToEcef(const Lla& lla) {
  const double lat = lla.latitudeDeg / kDegPerRad;
  const double lon = lla.longitudeDeg / kDegPerRad;
  const double n = PrimeVerticalRadius(std::sin(lat));
  const double h = lla.ellipsoidHeightMetres;
  Ecef out;
  out.x = (n + h) * std::cos(lat) * std::cos(lon);
  out.y = (n + h) * std::cos(lat) * std::sin(lon);
  out.z = (n * (1.0 - kEccentricity2) + h) * std::sin(lat);
  return out;
}

}  // namespace navlib::tsip
