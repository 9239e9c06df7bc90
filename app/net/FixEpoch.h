// What the fix server publishes for one epoch of the engine: the fix record, the receiver's own
// NMEA sentences when it speaks NMEA, the receiver's date and the satellites in view. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "navlib32/navlib32_epoch.h"
#include "navlib32/navlib32_records.h"

namespace pelmora::net {

// Satellite systems, numbered as gpsd's "gnssid".
enum class Gnss : uint8_t {
  Gps = 0,
  Sbas = 1,
  Galileo = 2,
  Beidou = 3,
  Qzss = 5,
  Glonass = 6,
  Navic = 7,
};

struct SkySatellite {
  Gnss system = Gnss::Gps;
  int svid = 0;  // number within its system (SBAS: the PRN 120..158)
  int elevation = 0;
  int azimuth = 0;
  int snr = 0;  // dB-Hz, 0 when not tracked
  bool used = false;
};

// True when the record holds more than the receiver status (which the engine always sets).
bool HoldsData(const FixRecord& fix);
// True when the position is valid and the fix mode, if given, is 2D or better.
bool HasFix(const FixRecord& fix);
// 1 no fix, 2 or 3 dimensions: the fix mode when valid, else 3 when a height is valid.
int FixDimension(const FixRecord& fix);
// The fix mode says differential corrections are applied.
bool Differential(const FixRecord& fix);

struct CivilDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

struct FixEpoch {
  FixRecord fix{};
  // True when the engine decodes NMEA: its sentences are passed through instead of written.
  bool receiverSpeaksNmea = false;
  // The receiver's checksum-valid sentences since the last epoch, each ending in CR LF.
  std::string_view sentences;
  // The UTC date the receiver stated; none: time stamps are left out.
  std::optional<CivilDate> date;
  // Every satellite the engine reports.
  std::vector<SkySatellite> satellites;
};

// The engine's epoch as the fix server publishes it, with the sentences read with it.
FixEpoch FixEpochOf(const Epoch& epoch, std::string_view sentences);

}  // namespace pelmora::net
