// What the fix server publishes for one epoch of the engine: the fix record, the receiver's own
// NMEA sentences when it speaks NMEA, and the satellites in view. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

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

// The record's twelve slots as satellites. The record keeps the number each system's talker
// uses without the system, so the system is taken from the classic NMEA ranges: 1..32 GPS,
// 33..64 SBAS (PRN 120..151), 65..96 GLONASS, 193..202 QZSS; anything else counts as GPS.
std::vector<SkySatellite> SatellitesFromRecord(const FixRecord& fix);

// The engine's full list as satellites: the system as the engine reports it, the number within
// that system (talker numbers such as GLONASS 65..96 or SBAS 33..64 brought back).
std::vector<SkySatellite> SatellitesFromDetails(const std::vector<SatDetail>& details);

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
  // Every satellite the engine reports; empty: the record's twelve.
  std::vector<SkySatellite> satellites;
};

}  // namespace pelmora::net
