// Satellite systems, as NMEA 4.10 system ids and TSIP report them. Portable.
#pragma once

#include <cstdint>

namespace navlib {

enum class GnssSystem : uint8_t { Gps, Sbas, Glonass, Galileo, Beidou, Qzss, Navic, Other };
constexpr int kGnssSystemCount = 8;

}  // namespace navlib
