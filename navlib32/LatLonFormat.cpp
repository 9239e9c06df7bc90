// The value is rounded once, as an integer count of the last component's smallest unit, and the
// degrees, minutes and seconds are taken from that count: so 59.9999' rounds to the next whole
// degree instead of printing 60'. Digits are written by hand (no printf) so that neither the
// locale nor the buffer size can change the result.
#include "navlib32/LatLonFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

namespace navlib {
namespace {

constexpr char kDegreeSign = '\xB0';  // Windows-1252
constexpr char kInvalidText[] = "---";
// A latitude this close beyond 90 degrees is rounding noise, not a bad value.
constexpr double kLatitudeSlackDeg = 1e-9;

std::string Digits(uint64_t v) {
  std::string s;
  do {
    s.insert(s.begin(), static_cast<char>('0' + v % 10));
    v /= 10;
  } while (v != 0);
  return s;
}

// The whole part, a point and exactly `decimals` digits of a fixed-point count.
std::string FixedPoint(uint64_t count, uint64_t scale, int decimals) {
  std::string frac = Digits(count % scale);
  frac.insert(0, static_cast<std::size_t>(decimals) - frac.size(), '0');
  return Digits(count / scale) + "." + frac;
}

void CopyOut(const std::string& text, char* out, std::size_t outSize) {
  const std::size_t n = std::min(text.size(), outSize - 1);
  std::copy_n(text.data(), n, out);
  out[n] = '\0';
}

}  // namespace

bool FormatLatLonText(char* out, std::size_t outSize, double degrees, LatLonKind kind, int format,
                      int decimals) {
  if (out == nullptr || outSize == 0) return false;
  format = std::clamp(format, 0, kLatLonFormatCount - 1);
  decimals = std::clamp(decimals, kLatLonMinDecimals, kLatLonMaxDecimals);
  const bool latitude = kind == LatLonKind::Latitude;
  if (!std::isfinite(degrees) || (latitude && std::fabs(degrees) > 90.0 + kLatitudeSlackDeg)) {
    CopyOut(kInvalidText, out, outSize);
    return false;
  }
  if (latitude) {
    degrees = std::clamp(degrees, -90.0, 90.0);
  } else if (std::fabs(degrees) > 180.0) {
    degrees = std::remainder(degrees, 360.0);  // into -180..180
  }

  // Units of the last component per degree: 1, 60 or 3600.
  const int components = format / 2 + 1;
  const uint64_t perDegree = components == 1 ? 1 : (components == 2 ? 60 : 3600);
  uint64_t scale = 1;
  for (int i = 0; i < decimals; ++i)
    scale *= 10;
  // 180 degrees in units of 1e-10 arc seconds is 6.48e15: within 64 bits, and long double keeps
  // the product exact enough to round correctly.
  const long double exact =
      static_cast<long double>(std::fabs(degrees)) * perDegree * static_cast<long double>(scale);
  const uint64_t count = static_cast<uint64_t>(std::llround(exact));
  const bool negative = degrees < 0 && count != 0;

  std::string text;
  const bool signedForm = format % 2 == 0;
  if (signedForm && negative) text += '-';
  if (components == 1) {
    text += FixedPoint(count, scale, decimals) + kDegreeSign;
  } else if (components == 2) {
    const uint64_t perWhole = 60 * scale;
    text += Digits(count / perWhole) + kDegreeSign + " " +
            FixedPoint(count % perWhole, scale, decimals) + "'";
  } else {
    const uint64_t perWhole = 3600 * scale;
    const uint64_t rest = count % perWhole;
    text += Digits(count / perWhole) + kDegreeSign + " " + Digits(rest / (60 * scale)) + "' " +
            FixedPoint(rest % (60 * scale), scale, decimals) + "\"";
  }
  if (!signedForm) {
    text += ' ';
    text += latitude ? (negative ? 'S' : 'N') : (negative ? 'W' : 'E');
  }
  CopyOut(text, out, outSize);
  return true;
}

}  // namespace navlib
