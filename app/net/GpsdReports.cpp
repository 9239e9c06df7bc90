// gpsd report objects.
#include "app/net/GpsdReports.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/net/Json.h"

namespace pelmora::net {
namespace {

bool Has(const FixRecord& fix, uint16_t bits) {
  return (fix.validFlags & bits) == bits;
}

std::string Line(std::string json) {
  json += "\r\n";
  return json;
}

// "[" item "]", or "[]" for no item. (Built by appending: GCC 12 warns falsely about
// "[" + std::string(...).)
std::string Array(std::string_view item) {
  std::string a;
  a.reserve(item.size() + 2);
  a += '[';
  a += item;
  a += ']';
  return a;
}

// The TPV mode: 0 nothing seen yet, 1 no fix, 2 or 3 dimensions.
int TpvMode(const FixRecord& fix) {
  if (!HoldsData(fix)) return 0;
  return FixDimension(fix);
}

}  // namespace

std::string IsoTime(CivilDate date, double secondsOfDay) {
  if (!std::isfinite(secondsOfDay) || secondsOfDay < 0 || secondsOfDay >= 86400.0) return {};
  const long long ms = std::min(std::llround(secondsOfDay * 1000.0), 86400LL * 1000 - 1);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02lld:%02lld:%02lld.%03lldZ", date.year,
                date.month, date.day, ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
  return text;
}

std::string VersionReport() {
  return Line(JsonObject("VERSION")
                  .Str("release", "Pelmora 3.2")
                  .Str("rev", "3.2")
                  .Int("proto_major", kGpsdProtoMajor)
                  .Int("proto_minor", kGpsdProtoMinor)
                  .Done());
}

std::string DeviceObject(const GpsdDevice& device) {
  JsonObject o("DEVICE");
  o.Str("path", kGpsdDevicePath);
  if (!device.driver.empty()) o.Str("driver", device.driver);
  if (!device.activated.empty()) o.Str("activated", device.activated);
  // flags 1: the device has sent GPS data.
  if (!device.driver.empty()) o.Int("flags", 1);
  return o.Done();
}

std::string DeviceReport(const GpsdDevice& device) {
  return Line(DeviceObject(device));
}

std::string DevicesReport(const GpsdDevice& device) {
  return Line(JsonObject("DEVICES").Raw("devices", Array(DeviceObject(device))).Done());
}

std::string WatchReport(const WatchPolicy& p) {
  JsonObject o("WATCH");
  o.Bool("enable", p.enable)
      .Bool("json", p.json)
      .Bool("nmea", p.nmea)
      .Int("raw", p.raw)
      .Bool("scaled", p.scaled)
      .Bool("timing", p.timing)
      .Bool("split24", p.split24)
      .Bool("pps", p.pps);
  if (!p.device.empty()) o.Str("device", p.device);
  return Line(o.Done());
}

std::string TpvObject(const FixRecord& fix, std::optional<CivilDate> date) {
  JsonObject o("TPV");
  o.Str("device", kGpsdDevicePath);
  const int mode = TpvMode(fix);
  o.Int("mode", mode);
  if (mode >= 2 && Differential(fix)) o.Int("status", 2);
  if (Has(fix, kValidTime) && date) {
    const std::string time = IsoTime(*date, fix.utcSeconds);
    if (!time.empty()) o.Str("time", time);
  }
  if (Has(fix, kValidPosition) && std::fabs(fix.latitude) <= 90 &&
      std::fabs(fix.longitude) <= 180) {
    o.Num("lat", fix.latitude, 9);
    o.Num("lon", fix.longitude, 9);
  }
  const bool hae = Has(fix, kValidEllipsoidHeight);
  const bool msl = Has(fix, kValidGeoidHeight);
  if (hae) o.Num("altHAE", fix.ellipsoidHeight, 3);
  if (msl) {
    o.Num("altMSL", fix.geoidHeight, 3);
    o.Num("alt", fix.geoidHeight, 3);  // the name older clients read
  }
  if (hae && msl) o.Num("geoidSep", fix.ellipsoidHeight - fix.geoidHeight, 3);
  if (Has(fix, kValidHeading)) {
    o.Num("track", fix.trueHeading, 4);
    if (fix.magVariation != 0.0)
      o.Num("magtrack", std::fmod(fix.trueHeading + fix.magVariation + 360.0, 360.0), 4);
  }
  // magvar is east-positive; the record's magVariation has the opposite sign.
  if (fix.magVariation != 0.0) o.Num("magvar", -fix.magVariation, 1);
  if (Has(fix, kValidSpeed)) o.Num("speed", fix.speed, 3);
  return o.Done();
}

std::string SkyObject(const FixRecord& fix, std::optional<CivilDate> date,
                      const std::vector<SkySatellite>& sats) {
  JsonObject o("SKY");
  o.Str("device", kGpsdDevicePath);
  if (Has(fix, kValidTime) && date) {
    const std::string time = IsoTime(*date, fix.utcSeconds);
    if (!time.empty()) o.Str("time", time);
  }
  const bool geometry = Has(fix, kValidGeometry);
  const bool signal = Has(fix, kValidSignal);
  if (geometry && fix.pdop > 0) o.Num("pdop", fix.pdop, 2);
  int used = 0;
  std::string list = "[";
  for (const SkySatellite& s : sats) {
    // gpsd's own numbering: SBAS keeps its PRN, GLONASS 65.., Galileo 301.., BeiDou 401..,
    // QZSS 193...
    int prn = s.svid;
    if (s.system == Gnss::Glonass) prn = s.svid + 64;
    if (s.system == Gnss::Galileo) prn = s.svid + 300;
    if (s.system == Gnss::Beidou) prn = s.svid + 400;
    if (s.system == Gnss::Qzss) prn = s.svid + 192;
    JsonObject sat;
    sat.Int("PRN", prn);
    if (geometry) {
      sat.Num("el", s.elevation, 1);
      sat.Num("az", s.azimuth, 1);
    }
    if (signal) sat.Num("ss", s.snr, 1);
    sat.Bool("used", s.used).Int("gnssid", static_cast<int>(s.system)).Int("svid", s.svid);
    if (list.size() > 1) list += ',';
    list += sat.Done();
    used += s.used ? 1 : 0;
  }
  list += ']';
  o.Int("nSat", static_cast<long long>(sats.size())).Int("uSat", used);
  o.Raw("satellites", list);
  return o.Done();
}

std::string PollReport(std::string_view now, std::string_view tpv, std::string_view sky) {
  JsonObject o("POLL");
  o.Str("time", now);
  o.Int("active", tpv.empty() ? 0 : 1);
  o.Raw("tpv", Array(tpv));
  o.Raw("sky", Array(sky));
  return Line(o.Done());
}

std::string ErrorReport(std::string_view message) {
  return Line(JsonObject("ERROR").Str("message", message).Done());
}

}  // namespace pelmora::net
