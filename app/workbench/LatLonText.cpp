// Reading and writing a surveyed mark's coordinates.
#include "app/workbench/LatLonText.h"

#include <array>
#include <charconv>
#include <cmath>

namespace pelmora::workbench {
namespace {

constexpr double kMaxHeightMetres = 100000.0;  // beyond any mark near the Earth's surface

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\xA0';  // 0xA0: Windows-1252 no-break space
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

// +1 or -1 for the kind's hemisphere letters, 0 for any other character.
int Hemisphere(char c, navlib::LatLonKind kind) {
  const bool latitude = kind == navlib::LatLonKind::Latitude;
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c == (latitude ? 'N' : 'E')) return 1;
  if (c == (latitude ? 'S' : 'W')) return -1;
  return 0;
}

// The component a unit sign at text[i] closes (0 degrees, 1 minutes, 2 seconds) and its length;
// -1 when there is none. Besides the ASCII signs: 0xB0 degree, 0xBA ordinal (often typed for it),
// 0x92 and 0xB4 for the minute, 0x94 and two apostrophes for the second (Windows-1252).
int UnitSign(std::string_view text, std::size_t i, std::size_t* length) {
  *length = 1;
  const char c = text[i];
  if (c == '\'' && i + 1 < text.size() && text[i + 1] == '\'') {
    *length = 2;
    return 2;
  }
  if (c == '\xB0' || c == '\xBA' || c == 'd' || c == 'D') return 0;
  if (c == '\'' || c == '\x92' || c == '\xB4') return 1;
  if (c == '"' || c == '\x94') return 2;
  return -1;
}

// Digits with at most one point and at least one digit.
std::optional<double> UnsignedNumber(std::string_view digits) {
  int points = 0, count = 0;
  for (const char c : digits) {
    points += c == '.' ? 1 : 0;
    count += IsDigit(c) ? 1 : 0;
  }
  if (points > 1 || count == 0) return std::nullopt;
  double value = 0.0;
  const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (r.ec != std::errc() || r.ptr != digits.data() + digits.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<double> ParseDecimal(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || !(IsDigit(text.front()) || text.front() == '.' || text.front() == '-'))
    return std::nullopt;
  double value = 0.0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<double> ParseLatLon(std::string_view text, navlib::LatLonKind kind) {
  text = Trim(text);
  if (text.empty()) return std::nullopt;
  int hemisphere = Hemisphere(text.front(), kind);
  if (hemisphere != 0) text = Trim(text.substr(1));
  if (!text.empty() && Hemisphere(text.back(), kind) != 0) {
    if (hemisphere != 0) return std::nullopt;  // a letter on both sides
    hemisphere = Hemisphere(text.back(), kind);
    text = Trim(text.substr(0, text.size() - 1));
  }
  int sign = 1;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    if (hemisphere != 0) return std::nullopt;  // a sign and a letter contradict or repeat
    sign = text.front() == '-' ? -1 : 1;
    text = Trim(text.substr(1));
  }

  std::array<double, 3> parts{};
  std::array<bool, 3> fraction{};
  int count = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t start = i;
    while (i < text.size() && (IsDigit(text[i]) || text[i] == '.'))
      ++i;
    if (i == start || count == 3) return std::nullopt;
    const std::string_view digits = text.substr(start, i - start);
    const std::optional<double> value = UnsignedNumber(digits);
    if (!value) return std::nullopt;
    parts[count] = *value;
    fraction[count] = digits.find('.') != std::string_view::npos;
    ++count;
    while (i < text.size() && IsBlank(text[i]))
      ++i;
    if (i == text.size()) break;
    std::size_t length = 0;
    const int unit = UnitSign(text, i, &length);
    if (unit >= 0) {
      if (unit != count - 1) return std::nullopt;  // a sign in the wrong place
      i += length;
    } else if (text[i] == ':') {
      ++i;
      if (i == text.size()) return std::nullopt;
    }
    while (i < text.size() && IsBlank(text[i]))
      ++i;
  }
  if (count == 0) return std::nullopt;
  for (int k = 0; k + 1 < count; ++k)
    if (fraction[k]) return std::nullopt;  // only the last component has decimals
  for (int k = 1; k < count; ++k)
    if (parts[k] >= 60.0) return std::nullopt;
  const double degrees =
      (hemisphere != 0 ? hemisphere : sign) * (parts[0] + parts[1] / 60.0 + parts[2] / 3600.0);
  const double limit = kind == navlib::LatLonKind::Latitude ? 90.0 : 180.0;
  if (!std::isfinite(degrees) || std::fabs(degrees) > limit) return std::nullopt;
  return degrees;
}

std::string MarkCoordinateText(double degrees, navlib::LatLonKind kind, int format) {
  // Decimals of the last component for about a millimetre: 1e-8 degree is 1.1 mm, 1e-6 minute
  // 1.9 mm, 1e-4 second 3.1 mm (at most, on a meridian).
  constexpr int kDecimals[] = {8, 6, 4};
  format = format < 0 || format >= navlib::kLatLonFormatCount ? 0 : format;
  char text[navlib::kLatLonTextSize];
  navlib::FormatLatLonText(text, sizeof text, degrees, kind, format, kDecimals[format / 2]);
  return text;
}

MarkReading ReadMark(std::string_view latitude, std::string_view longitude,
                     std::string_view height) {
  MarkReading out;
  if (Trim(latitude).empty() || Trim(longitude).empty()) {
    out.error = "Type the mark's latitude and longitude, then press Apply.";
    return out;
  }
  const std::optional<double> lat = ParseLatLon(latitude, navlib::LatLonKind::Latitude);
  if (!lat) {
    out.error =
        "Latitude not understood: type it as the program shows it (52\xB0 31.200' N) or in "
        "decimal degrees (52.52).";
    return out;
  }
  const std::optional<double> lon = ParseLatLon(longitude, navlib::LatLonKind::Longitude);
  if (!lon) {
    out.error =
        "Longitude not understood: type it as the program shows it (13\xB0 24.300' E) or in "
        "decimal degrees (13.405).";
    return out;
  }
  Geodetic mark{*lat, *lon, 0.0};
  height = Trim(height);
  if (!height.empty()) {
    if (height.back() == 'm' || height.back() == 'M') height.remove_suffix(1);
    const std::optional<double> metres = ParseDecimal(height);
    if (!metres || std::fabs(*metres) > kMaxHeightMetres) {
      out.error = "Height not understood: metres above the ellipsoid (45.2), or leave it empty.";
      return out;
    }
    mark.height = *metres;
    out.hasHeight = true;
  }
  out.position = mark;
  return out;
}

}  // namespace pelmora::workbench
