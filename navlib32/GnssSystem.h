// Satellite systems, as NMEA 4.10 system ids and TSIP report them. Portable.
#pragma once

#include <cstdint>

namespace navlib {

// In the order of pelmora::SatSystem, whose codes they have.
enum class GnssSystem : uint8_t { Gps, Sbas, Glonass, Galileo, Beidou, Qzss, Navic, Other };
constexpr int kGnssSystemCount = 8;

}  // namespace navlib
