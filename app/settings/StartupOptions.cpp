// The start-up read of every option, in the option-key table's order, and the start position
// written at shutdown.
#include "app/settings/StartupOptions.h"

#include <cmath>
#include <cstring>

namespace pelmora {

namespace {

// The 16-bit record fields keep the low 16 bits of the stored value.
int16_t Low16(int32_t value) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(value) & 0xFFFFu));
}

// Copies a path with its terminator into a 257-byte field; one that does not fit leaves the
// field empty.
void StorePath(char (&field)[kReceiverPathSize], const std::string& path) {
  std::memset(field, 0, sizeof field);
  if (path.size() >= sizeof field || path.find('\0') != std::string::npos) return;
  std::memcpy(field, path.data(), path.size());
}

}  // namespace

std::string AlmanacPath(const std::string& appDirectory) {
  return appDirectory + "\\tsipalm.dat";
}

StartupOptions LoadStartupOptions(const OptionStore& store, const std::string& appDirectory) {
  StartupOptions o;
  DisplayOptions& d = o.display;
  d.updateInterval = store.ReadOptionInt("UpdateInterval", 2);
  o.receiverType = store.ReadOptionInt("GpsType", 1);
  o.comPort = store.ReadOptionInt("ComPort", 1);
  o.commInfo.baudRate = Low16(store.ReadOptionInt("BaudRate", 4800));
  o.commInfo.parity = Low16(store.ReadOptionInt("Parity", 0));
  o.commInfo.dataBits = Low16(store.ReadOptionInt("DataBits", 8));
  o.commInfo.stopBits = Low16(store.ReadOptionInt("StopBits", 0));
  d.elevUnits = store.ReadOptionInt("ElevUnits", 0);
  d.speedUnits = store.ReadOptionInt("SpeedUnits", 0);
  d.trackTrue = store.ReadOptionInt("TrackTrue", 1);
  d.timeUtc = store.ReadOptionInt("TimeUTC", 1);
  d.utcOffset = store.ReadOptionInt("UTCOffset", 0);
  d.beep = store.ReadOptionInt("Beep", 0);
  d.geoFormat = store.ReadOptionInt("GeoFormat", 3);
  d.geoPrecision = store.ReadOptionInt("GeoPrecision", 2);
  d.minimize = store.ReadOptionInt("Minimize", 0);
  d.onTop = store.ReadOptionInt("OnTop", 0);
  d.ddeIgnore = store.ReadOptionInt("DDEIgnore", 0);

  ReceiverSettings& r = o.receiverSettings;
  std::memset(&r, 0, sizeof r);
  r.changed = 1;
  r.fixMode = Low16(store.ReadOptionInt("GPSMode", 0));
  r.dynamics = Low16(store.ReadOptionInt("GPSDynamics", 1));
  r.trackMode = Low16(store.ReadOptionInt("GPSTrackMode", 1));
  r.heightReference = Low16(store.ReadOptionInt("GPSHtReference", 0));
  r.elevationMask = Low16(store.ReadOptionInt("GPSElevMask", 10));
  r.signalMask = Low16(store.ReadOptionInt("GPSSignalMask", 4));
  r.pdopMask = Low16(store.ReadOptionInt("GPSPDOPMask", 12));
  r.altitude2d = store.ReadOptionInt("GPS2DElev", 0);
  r.pdopSwitch = Low16(store.ReadOptionInt("GPSPDOPSwitch", 5));
  r.fixedTwo = 2;
  r.reserved12 = 0;
  r.initLatitude = store.ReadOptionInt("GPSInitLat", 0);
  r.initLongitude = store.ReadOptionInt("GPSInitLon", 0);
  r.reserved32 = 0.0;
  StorePath(r.almanacPath, AlmanacPath(appDirectory));
  StorePath(r.nmeaSettingsPath, store.ReadOptionText("GPSNMEASettingsFile", ""));
  return o;
}

bool StoreStartPosition(const OptionStore& store, double latitudeDeg, double longitudeDeg) {
  const auto usable = [](double deg) { return std::isfinite(deg) && std::fabs(deg) <= 180.0; };
  if (!usable(latitudeDeg) || !usable(longitudeDeg)) return false;
  store.WriteOption("GPSInitLat", std::to_string(static_cast<int32_t>(std::trunc(latitudeDeg))));
  store.WriteOption("GPSInitLon", std::to_string(static_cast<int32_t>(std::trunc(longitudeDeg))));
  return true;
}

}  // namespace pelmora
