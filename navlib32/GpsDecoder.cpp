// Protocol detection.
#include "navlib32/GpsDecoder.h"

#include <algorithm>

namespace navlib {

ProtocolEvidence SniffProtocol(const uint8_t* data, std::size_t size) {
  constexpr uint8_t kDle = 0x10;
  constexpr uint8_t kEtx = 0x03;
  const auto isIdChar = [](uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); };
  ProtocolEvidence e;
  for (std::size_t i = 0; i < size; ++i) {
    // "$GPGGA," and the like: talker and sentence id, then the first field separator.
    if (data[i] == '$' && i + 6 < size && data[i + 6] == ',' &&
        std::all_of(data + i + 1, data + i + 6, isIdChar))
      ++e.nmea;
    // End of one TSIP packet and start of the next; the id is neither DLE nor ETX. An ETX
    // preceded by a stuffed DLE pair (DLE DLE ETX) is data, not an end: count the run of DLEs.
    if (data[i] == kDle && i + 3 < size && data[i + 1] == kEtx && data[i + 2] == kDle &&
        data[i + 3] != kDle && data[i + 3] != kEtx) {
      std::size_t run = 1;
      while (run <= i && data[i - run] == kDle)
        ++run;
      if (run % 2 == 1) ++e.tsip;
    }
  }
  return e;
}

Protocol DetectProtocol(const uint8_t* data, std::size_t size) {
  const ProtocolEvidence e = SniffProtocol(data, size);
  return e.tsip > e.nmea ? Protocol::Tsip : Protocol::Nmea;
}

}  // namespace navlib
