// Every option the main window reads at start, with its default, and the engine parameter
// records filled from them. Portable.
#pragma once

#include <cstdint>
#include <string>

#include "app/settings/OptionStore.h"
#include "navlib32/navlib32_records.h"

namespace pelmora {

// Presentation options: in memory for the whole run, changed by the Preferences dialog.
struct DisplayOptions {
  int32_t updateInterval = 2;
  int32_t elevUnits = 0;   // 0 feet, 1 metres
  int32_t speedUnits = 0;  // 0 mph, 1 knots, 2 m/s, 3 km/h
  int32_t trackTrue = 1;   // 1 true, 0 magnetic
  int32_t timeUtc = 1;     // 1 UTC, 0 local
  int32_t utcOffset = 0;   // hours; local + offset = UTC
  int32_t beep = 0;
  int32_t geoFormat = 3;
  int32_t geoPrecision = 2;
  int32_t minimize = 0;
  int32_t onTop = 0;
  int32_t ddeIgnore = 0;
};

struct StartupOptions {
  int32_t receiverType = 1;  // GpsType: 1 NMEA 0183, 2 Trimble TSIP
  int32_t comPort = 1;       // ComPort, 1-based
  CommInfo commInfo{4800, 0, 8, 0};
  ReceiverSettings receiverSettings{};
  DisplayOptions display;
};

// Reads every start-up option in the store's order with its default and fills the records;
// appDirectory locates the almanac file (appDirectory + "\tsipalm.dat").
// A path that does not fit its 257-byte field (256 characters and the terminator) is left empty
// rather than cut, since a cut path would name a different file.
StartupOptions LoadStartupOptions(const OptionStore& store, const std::string& appDirectory);

// The almanac file beside the program: appDirectory + "\tsipalm.dat".
std::string AlmanacPath(const std::string& appDirectory);

// Stores the receiver's start position for the next run: latitude and longitude in degrees cut
// to whole degrees toward zero, written as GPSInitLat then GPSInitLon. A coordinate that is not
// finite or lies outside -180..180 degrees stores nothing (both keys keep their old values);
// returns whether the two writes were made.
bool StoreStartPosition(const OptionStore& store, double latitudeDeg, double longitudeDeg);

}  // namespace pelmora
