// Latitude/longitude text of the engine (llcvt_dbl2str): six formats, 1..10 decimals in the last
// component, Windows-1252 text (degree sign 0xB0). Portable: standard C++ only.
#pragma once

#include <cstddef>

namespace navlib {

constexpr std::size_t kLatLonTextSize = 32;  // the caller's buffer, terminator included
constexpr int kLatLonFormatCount = 6;
constexpr int kLatLonMinDecimals = 1;
constexpr int kLatLonMaxDecimals = 10;

enum class LatLonKind { Latitude, Longitude };

// Formats degrees into out (outSize bytes, always zero-terminated when outSize > 0):
//   0 "+/- Degrees"                    -12.50000°
//   1 "Degrees, Direction"             12.50000° S
//   2 "+/- Degrees, Minutes"           -12° 30.000'
//   3 "Degrees, Minutes, Direction"    12° 30.000' S
//   4 "+/- Degrees, Minutes, Seconds"  -12° 30' 0.0"
//   5 "Degrees, Minutes, Seconds, Dir" 12° 30' 0.0" S
// format and decimals out of range are clamped. A longitude is brought into -180..180; a
// latitude beyond 90 degrees or a non-finite value gives "---" and returns false.
bool FormatLatLonText(char* out, std::size_t outSize, double degrees, LatLonKind kind, int format,
                      int decimals);

}  // namespace navlib
