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
  const auto read = [&store](const OptionKey& key) {
    return store.ReadOptionInt(key.name, key.defaultInt);
  };
  const auto read16 = [&read](const OptionKey& key) { return Low16(read(key)); };
  StartupOptions o;
  DisplayOptions& d = o.display;
  d.updateInterval = read(OptionNamed("UpdateInterval"));
  o.receiverType = read(OptionNamed("GpsType"));
  o.comPort = read(OptionNamed("ComPort"));
  o.commInfo.baudRate = read16(OptionNamed("BaudRate"));
  o.commInfo.parity = read16(OptionNamed("Parity"));
  o.commInfo.dataBits = read16(OptionNamed("DataBits"));
  o.commInfo.stopBits = read16(OptionNamed("StopBits"));
  d.elevUnits = read(OptionNamed("ElevUnits"));
  d.speedUnits = read(OptionNamed("SpeedUnits"));
  d.trackTrue = read(OptionNamed("TrackTrue"));
  d.timeUtc = read(OptionNamed("TimeUTC"));
  d.utcOffset = read(OptionNamed("UTCOffset"));
  d.beep = read(OptionNamed("Beep"));
  d.geoFormat = read(OptionNamed("GeoFormat"));
  d.geoPrecision = read(OptionNamed("GeoPrecision"));
  d.minimize = read(OptionNamed("Minimize"));
  d.onTop = read(OptionNamed("OnTop"));
  d.ddeIgnore = read(OptionNamed("DDEIgnore"));

  ReceiverSettings& r = o.receiverSettings;
  std::memset(&r, 0, sizeof r);
  r.changed = 1;
  r.fixMode = read16(OptionNamed("GPSMode"));
  r.dynamics = read16(OptionNamed("GPSDynamics"));
  r.trackMode = read16(OptionNamed("GPSTrackMode"));
  r.heightReference = read16(OptionNamed("GPSHtReference"));
  r.elevationMask = read16(OptionNamed("GPSElevMask"));
  r.signalMask = read16(OptionNamed("GPSSignalMask"));
  r.pdopMask = read16(OptionNamed("GPSPDOPMask"));
  r.altitude2d = read(OptionNamed("GPS2DElev"));
  r.pdopSwitch = read16(OptionNamed("GPSPDOPSwitch"));
  r.fixedTwo = 2;
  r.reserved12 = 0;
  r.initLatitude = read(OptionNamed("GPSInitLat"));
  r.initLongitude = read(OptionNamed("GPSInitLon"));
  r.reserved32 = 0.0;
  StorePath(r.almanacPath, AlmanacPath(appDirectory));
  constexpr const OptionKey& kSettingsFile = OptionNamed("GPSNMEASettingsFile");
  StorePath(r.nmeaSettingsPath,
            store.ReadOptionText(kSettingsFile.name, kSettingsFile.defaultText));
  return o;
}

bool StoreStartPosition(const OptionStore& store, double latitudeDeg, double longitudeDeg) {
  const auto usable = [](double deg) { return std::isfinite(deg) && std::fabs(deg) <= 180.0; };
  if (!usable(latitudeDeg) || !usable(longitudeDeg)) return false;
  const auto wholeDegrees = [](double deg) {
    return std::to_string(static_cast<int32_t>(std::trunc(deg)));
  };
  store.WriteOption(OptionNamed("GPSInitLat").name, wholeDegrees(latitudeDeg));
  store.WriteOption(OptionNamed("GPSInitLon").name, wholeDegrees(longitudeDeg));
  return true;
}

}  // namespace pelmora
