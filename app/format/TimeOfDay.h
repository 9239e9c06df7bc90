// The time of day in the user's regional long time format.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

// What the regional long time format asks for.
struct LongTimeFormat {
  bool hourLeadingZero = true;
  bool twelveHour = false;
  bool designatorFirst = false;  // "am 1:02:03" rather than "1:02:03 am"
  std::string separator = ":";
  std::string am = "am";
  std::string pm = "pm";
};

// Reads a Windows time pattern ("HH:mm:ss", "h:mm:ss tt", "tt hh.mm.ss", quoted literals) with
// the region's designators; empty designators or separator keep the defaults.
LongTimeFormat ParseLongTimeFormat(std::string_view pattern, std::string_view am,
                                   std::string_view pm);

// The time t (seconds of the day; fractions dropped, never rounded up) as text, or nothing when
// its hours, minutes or seconds fall outside 0..23, 0..59, 0..59.
std::optional<std::string> TimeOfDayText(double t, const LongTimeFormat& format);

}  // namespace pelmora
