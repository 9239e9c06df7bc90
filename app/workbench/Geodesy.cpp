// WGS84 conversions and local east-north-up frames.
#include "app/workbench/Geodesy.h"

#include <cmath>
#include <numbers>

namespace pelmora::workbench {
namespace {

constexpr double kA = 6378137.0;            // semi-major axis, metres
constexpr double kF = 1.0 / 298.257223563;  // flattening
constexpr double kE2 = kF * (2.0 - kF);     // first eccentricity squared
constexpr double kRad = std::numbers::pi / 180.0;

double PrimeVerticalRadius(double sinLat) {
  return kA / std::sqrt(1.0 - kE2 * sinLat * sinLat);
}

}  // namespace

Ecef GeodeticToEcef(const Geodetic& g) {
  const double lat = g.latitude * kRad, lon = g.longitude * kRad;
  const double sinLat = std::sin(lat), cosLat = std::cos(lat);
  const double n = PrimeVerticalRadius(sinLat);
  return {(n + g.height) * cosLat * std::cos(lon), (n + g.height) * cosLat * std::sin(lon),
          (n * (1.0 - kE2) + g.height) * sinLat};
}

Geodetic EcefToGeodetic(const Ecef& e) {
  const double p = std::hypot(e.x, e.y);
  // Fixed-point iteration on latitude: each step shrinks the error by about e^2 (1/150), so ten
  // steps from the spherical guess reach the rounding of a double.
  double lat = std::atan2(e.z, p * (1.0 - kE2));
  for (int i = 0; i < 10; ++i) {
    const double sinLat = std::sin(lat);
    lat = std::atan2(e.z + kE2 * PrimeVerticalRadius(sinLat) * sinLat, p);
  }
  const double sinLat = std::sin(lat), cosLat = std::cos(lat);
  // Height along the normal, well conditioned at the poles and the equator alike.
  const double height = p * cosLat + e.z * sinLat - kA * std::sqrt(1.0 - kE2 * sinLat * sinLat);
  return {lat / kRad, std::atan2(e.y, e.x) / kRad, height};
}

LocalFrame::LocalFrame(const Geodetic& origin) : origin_(origin), ecef_(GeodeticToEcef(origin)) {
  const double lat = origin.latitude * kRad, lon = origin.longitude * kRad;
  const double sl = std::sin(lat), cl = std::cos(lat), so = std::sin(lon), co = std::cos(lon);
  const double axes[3][3] = {{-so, co, 0.0}, {-sl * co, -sl * so, cl}, {cl * co, cl * so, sl}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      axes_[r][c] = axes[r][c];
}

Enu LocalFrame::ToEnu(const Ecef& e) const {
  const double d[3] = {e.x - ecef_.x, e.y - ecef_.y, e.z - ecef_.z};
  double out[3];
  for (int r = 0; r < 3; ++r)
    out[r] = axes_[r][0] * d[0] + axes_[r][1] * d[1] + axes_[r][2] * d[2];
  return {out[0], out[1], out[2]};
}

Ecef LocalFrame::ToEcef(const Enu& v) const {
  const double in[3] = {v.east, v.north, v.up};
  double d[3];
  for (int c = 0; c < 3; ++c)
    d[c] = axes_[0][c] * in[0] + axes_[1][c] * in[1] + axes_[2][c] * in[2];
  return {ecef_.x + d[0], ecef_.y + d[1], ecef_.z + d[2]};
}

LocalFrame::Transform LocalFrame::From(const LocalFrame& from) const {
  Transform t{};
  // rotation = axes_ * from.axes_^T
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      t.rotation[r][c] = axes_[r][0] * from.axes_[c][0] + axes_[r][1] * from.axes_[c][1] +
                         axes_[r][2] * from.axes_[c][2];
  t.offset = ToEnu(from.ecef_);
  return t;
}

Enu LocalFrame::Transform::Apply(double east, double north, double up) const {
  const double in[3] = {east, north, up};
  double out[3];
  for (int r = 0; r < 3; ++r)
    out[r] = rotation[r][0] * in[0] + rotation[r][1] * in[1] + rotation[r][2] * in[2];
  return {out[0] + offset.east, out[1] + offset.north, out[2] + offset.up};
}

}  // namespace pelmora::workbench
