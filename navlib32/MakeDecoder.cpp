// The decoder factory.
#include "navlib32/MakeDecoder.h"

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

}  // namespace navlib
