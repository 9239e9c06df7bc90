// The one table of option keys: every option the program reads or writes, with its type and
// default. The start-up loader, the records' default values, the dialogs and the tests take the
// keys and defaults from here; an unknown name in OptionNamed does not compile. Portable.
#pragma once

#include <cstdint>
#include <string_view>

namespace pelmora {

enum class OptionType { Int, Text };

struct OptionKey {
  const char* name;
  OptionType type = OptionType::Int;
  int32_t defaultInt = 0;
  // The default of a Text option; null for the web pages, whose default is the selected
  // product's own page.
  const char* defaultText = "";
  // Read once by the main window at start, in the table's order.
  bool atStart = true;
};

// clang-format off
inline constexpr OptionKey kOptionKeys[] = {
    {.name = "UpdateInterval", .defaultInt = 2},  // seconds between readings
    {.name = "GpsType", .defaultInt = 1},         // 1 NMEA 0183, 2 Trimble TSIP
    {.name = "ComPort", .defaultInt = 1},         // the serial port is "COM" + this
    {.name = "BaudRate", .defaultInt = 4800},
    {.name = "Parity", .defaultInt = 0},          // 0 none, 1 odd, 2 even
    {.name = "DataBits", .defaultInt = 8},
    {.name = "StopBits", .defaultInt = 0},        // 0 one, 1 two
    {.name = "ElevUnits", .defaultInt = 0},       // 0 feet, 1 metres
    {.name = "SpeedUnits", .defaultInt = 0},      // 0 mph, 1 knots, 2 m/s, 3 km/h
    {.name = "TrackTrue", .defaultInt = 1},       // 0 magnetic, 1 true heading
    {.name = "TimeUTC", .defaultInt = 1},         // 0 local time, 1 UTC
    {.name = "UTCOffset", .defaultInt = 0},       // hours; local time + offset = UTC
    {.name = "Beep", .defaultInt = 0},
    {.name = "GeoFormat", .defaultInt = 3},       // latitude/longitude format 0..5
    {.name = "GeoPrecision", .defaultInt = 2},    // decimal places 1..10
    {.name = "Minimize", .defaultInt = 0},
    {.name = "OnTop", .defaultInt = 0},
    {.name = "DDEIgnore", .defaultInt = 0},       // 1: the update command goes without valid bits
    {.name = "GPSMode", .defaultInt = 0},         // 0 2D/3D automatic, 3 2D only, 4 3D only
    {.name = "GPSDynamics", .defaultInt = 1},     // 1 land, 2 sea, 3 air, 4 stationary
    {.name = "GPSTrackMode", .defaultInt = 1},    // 0 best 4, 1 highest 6 satellites
    {.name = "GPSHtReference", .defaultInt = 0},  // 0 ellipsoid, 1 mean sea level
    {.name = "GPSElevMask", .defaultInt = 10},    // degrees
    {.name = "GPSSignalMask", .defaultInt = 4},
    {.name = "GPSPDOPMask", .defaultInt = 12},
    {.name = "GPS2DElev", .defaultInt = 0},       // metres, for 2D-only fixes
    {.name = "GPSPDOPSwitch", .defaultInt = 5},
    {.name = "GPSInitLat", .defaultInt = 0},      // whole degrees; written at shutdown
    {.name = "GPSInitLon", .defaultInt = 0},
    {.name = "GPSNMEASettingsFile", .type = OptionType::Text},
    {.name = "latest_version", .type = OptionType::Text, .defaultText = nullptr, .atStart = false},
    {.name = "online_support", .type = OptionType::Text, .defaultText = nullptr, .atStart = false},
    {.name = "online_discussion", .type = OptionType::Text, .defaultText = nullptr, .atStart = false},
    // The fix server (Options > Share Fix on Network), read when it starts.
    {.name = "FixServer", .defaultInt = 0, .atStart = false},  // 1: share the fix
    {.name = "FixServerNmeaPort", .defaultInt = 10110, .atStart = false},  // NMEA 0183 over TCP
    {.name = "FixServerGpsdPort", .defaultInt = 2947, .atStart = false},   // gpsd JSON protocol
    // The IPv4 address to listen on; "0.0.0.0" serves every network.
    {.name = "FixServerAddress", .type = OptionType::Text, .defaultText = "127.0.0.1", .atStart = false},
    // The replay's pace: TICK (one epoch per update tick), 0.25 ... 16 (receiver seconds per
    // second) or MAX (as fast as the ticks allow).
    {.name = "ReplaySpeed", .type = OptionType::Text, .defaultText = "TICK", .atStart = false},
    // The workbench window's place (screen pixels; width 0: not placed yet) and its tab.
    {.name = "WorkbenchLeft", .defaultInt = 0, .atStart = false},
    {.name = "WorkbenchTop", .defaultInt = 0, .atStart = false},
    {.name = "WorkbenchWidth", .defaultInt = 0, .atStart = false},
    {.name = "WorkbenchHeight", .defaultInt = 0, .atStart = false},
    // The tab: 0 satellites, 1 accuracy, 2 history, 3 messages.
    {.name = "WorkbenchTab", .defaultInt = 0, .atStart = false},
    // The History tab's chart window in seconds: 60, 300, 900, 3600, 21600 or 86400.
    {.name = "WorkbenchHistoryWindow", .defaultInt = 900, .atStart = false},
    // The systems the Satellites tab's bars and sky plot show: bit 0 GPS, 1 GLONASS, 2 Galileo,
    // 3 BeiDou, 4 QZSS, 5 SBAS, 6 NavIC.
    {.name = "WorkbenchSatSystems", .defaultInt = 127, .atStart = false},
    // The Accuracy tab: reference 0 running average, 1 first fix, 2 surveyed mark; the mark as
    // "LAT,LON[,HEIGHT]" (decimal degrees, metres above the ellipsoid); the quality gates: minimum
    // fix dimension 0 (any), 2 or 3, maximum PDOP (0: no limit), minimum satellites used.
    {.name = "WorkbenchReference", .defaultInt = 0, .atStart = false},
    {.name = "WorkbenchMark", .type = OptionType::Text, .atStart = false},
    {.name = "WorkbenchMinFix", .defaultInt = 0, .atStart = false},
    {.name = "WorkbenchMaxPdop", .type = OptionType::Text, .defaultText = "0", .atStart = false},
    {.name = "WorkbenchMinSats", .defaultInt = 0, .atStart = false},
};
// clang-format on

// The row of the key called name; a name not in the table is a compile-time error.
consteval const OptionKey& OptionNamed(std::string_view name) {
  for (const OptionKey& key : kOptionKeys) {
    if (std::string_view(key.name) == name) return key;
  }
  throw "not an option key";
}

// The default of an integer option.
consteval int32_t OptionDefault(std::string_view name) {
  const OptionKey& key = OptionNamed(name);
  if (key.type != OptionType::Int) throw "not an integer option";
  return key.defaultInt;
}

}  // namespace pelmora
