// Every option the main window reads at start and the engine parameter records filled from
// them. Portable.
#pragma once

#include <cstdint>
#include <string>

#include "app/settings/OptionKeys.h"
#include "app/settings/OptionStore.h"
#include "navlib32/navlib32_records.h"

namespace pelmora {

// Presentation options: in memory for the whole run, changed by the Preferences dialog. The
// values of a fresh store (OptionKeys.h) are the defaults here too.
struct DisplayOptions {
  int32_t updateInterval = OptionDefault("UpdateInterval");
  int32_t elevUnits = OptionDefault("ElevUnits");
  int32_t speedUnits = OptionDefault("SpeedUnits");
  int32_t trackTrue = OptionDefault("TrackTrue");
  int32_t timeUtc = OptionDefault("TimeUTC");
  int32_t utcOffset = OptionDefault("UTCOffset");
  int32_t beep = OptionDefault("Beep");
  int32_t geoFormat = OptionDefault("GeoFormat");
  int32_t geoPrecision = OptionDefault("GeoPrecision");
  int32_t minimize = OptionDefault("Minimize");
  int32_t onTop = OptionDefault("OnTop");
  int32_t ddeIgnore = OptionDefault("DDEIgnore");
};

struct StartupOptions {
  int32_t receiverType = OptionDefault("GpsType");
  int32_t comPort = OptionDefault("ComPort");
  CommInfo commInfo{OptionDefault("BaudRate"), OptionDefault("Parity"), OptionDefault("DataBits"),
                    OptionDefault("StopBits")};
  // Filled by LoadStartupOptions; zero until then.
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
