// Latitudes and longitudes as the user types them for a surveyed mark: the program's six display
// formats (signed or with N/S/E/W; degrees, degrees and minutes, or degrees, minutes and
// seconds) and plain decimal degrees, read back into degrees; and a mark's coordinates written in
// the user's chosen format with enough decimals to keep it to the millimetre. Portable: standard
// C++ only; texts are Windows-1252.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/workbench/Geodesy.h"
#include "navlib32/LatLonFormat.h"

namespace pelmora::workbench {

// Degrees of a latitude or longitude text; nothing for text that is not one or lies out of range.
// Accepted: an optional sign or a hemisphere letter (N/S for latitudes, E/W for longitudes, before
// or after), then up to three numbers (degrees, minutes, seconds) separated by blanks, colons or
// their signs (° or d, ' , "); only the last number may have decimals; minutes and seconds below
// 60. "52.52", "-12° 30.5'", "12° 30' 30.0\" S", "N 52 31 12", "013° 24.3' E".
std::optional<double> ParseLatLon(std::string_view text, navlib::LatLonKind kind);

// Text of degrees in display format 0..5 (GeoFormat), to about a millimetre.
std::string MarkCoordinateText(double degrees, navlib::LatLonKind kind, int format);

// A mark read from its three fields; error says what is wrong when position is empty.
struct MarkReading {
  std::optional<Geodetic> position;
  bool hasHeight = false;  // an empty height field: the session's mean height is taken
  std::string error;
};
// The height is metres above the WGS84 ellipsoid, optionally followed by "m"; it may be empty.
MarkReading ReadMark(std::string_view latitude, std::string_view longitude,
                     std::string_view height);

// A finite decimal number, blanks around it allowed, '.' as the decimal point.
std::optional<double> ParseDecimal(std::string_view text);

}  // namespace pelmora::workbench
