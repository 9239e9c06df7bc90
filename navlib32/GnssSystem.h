// Satellite systems, as NMEA 4.10 system ids and TSIP report them. Portable.
#pragma once

#include <cstdint>

namespace navlib {

// In the order of pelmora::SatSystem, whose codes they have.
enum class GnssSystem : uint8_t { Gps, Sbas, Glonass, Galileo, Beidou, Qzss, Navic, Other };
constexpr int kGnssSystemCount = 8;

// The name of a system code ("GPS", "SBAS", "GLONASS", "Galileo", "BeiDou", "QZSS", "NavIC");
// null for Other and for codes outside the list.
constexpr const char* GnssSystemName(int code) {
  constexpr const char* kNames[] = {"GPS", "SBAS", "GLONASS", "Galileo", "BeiDou", "QZSS", "NavIC"};
  return code >= 0 && code < 7 ? kNames[code] : nullptr;
}

}  // namespace navlib
