// The gpsd protocol's report objects (protocol 3.14, as gpsd 3.22 speaks it), each one line of
// JSON ended by CR LF. TPV and SKY hold only what the record marks valid. Portable.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/net/FixEpoch.h"
#include "app/net/GpsdCommands.h"

namespace pelmora::net {

constexpr int kGpsdProtoMajor = 3;
constexpr int kGpsdProtoMinor = 14;
// The one device this server reports, as gpsd names a device by its path.
constexpr std::string_view kGpsdDevicePath = "pelmora";

// "YYYY-MM-DDThh:mm:ss.sssZ"; empty when the seconds are not a time of day.
std::string IsoTime(CivilDate date, double secondsOfDay);

struct GpsdDevice {
  std::string activated;  // ISO time the server started
  // "NMEA0183" or "TSIP"; empty before the first epoch.
  std::string driver;
};

std::string VersionReport();
std::string DeviceObject(const GpsdDevice& device);  // without line end, for DEVICES
std::string DeviceReport(const GpsdDevice& device);
std::string DevicesReport(const GpsdDevice& device);
std::string WatchReport(const WatchPolicy& policy);
std::string TpvObject(const FixRecord& fix, std::optional<CivilDate> date);
std::string SkyObject(const FixRecord& fix, std::optional<CivilDate> date,
                      const std::vector<SkySatellite>& sats);
// The latest TPV and SKY objects (empty when there is none yet) in a POLL answer.
std::string PollReport(std::string_view now, std::string_view tpv, std::string_view sky);
std::string ErrorReport(std::string_view message);

}  // namespace pelmora::net
