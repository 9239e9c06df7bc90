// The decoder factory and protocol detection.
#include "navlib32/GpsDecoder.h"

#include "navlib32/nmea/NmeaDecoder.h"
#include "navlib32/tsip/TsipDecoder.h"

namespace navlib {

std::unique_ptr<GpsDecoder> MakeDecoder(Protocol protocol) {
  switch (protocol) {
    case Protocol::Nmea:
      return std::make_unique<nmea::NmeaDecoder>();
    case Protocol::Tsip:
      return std::make_unique<tsip::TsipDecoder>();
  }
  return nullptr;
}

Protocol DetectProtocol(const uint8_t* data, std::size_t size) {
  // NMEA: "$" + two upper-case letters or 'P' starts sentences of printable text. TSIP: DLE
  // <id> ... DLE ETX frames of binary data. Count the evidence of each and let the larger win.
  std::size_t nmea = 0;
  std::size_t tsip = 0;
  constexpr uint8_t kDle = 0x10;
  constexpr uint8_t kEtx = 0x03;
  for (std::size_t i = 0; i + 2 < size; ++i) {
    const uint8_t c = data[i];
    if (c == '$' && data[i + 1] >= 'A' && data[i + 1] <= 'Z' && data[i + 2] >= 'A' &&
        data[i + 2] <= 'Z') {
      ++nmea;
    } else if (c == kDle && data[i + 1] == kEtx && i + 2 < size && data[i + 2] == kDle) {
      ++tsip;  // the end of one frame and the start of the next
    }
  }
  return tsip > nmea ? Protocol::Tsip : Protocol::Nmea;
}

}  // namespace navlib
