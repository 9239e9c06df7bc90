// The decoder of a protocol: the one place that knows the concrete NMEA and TSIP decoders, so
// that the decoders themselves depend only on the GpsDecoder interface. Portable.
#pragma once

#include <memory>

#include "navlib32/GpsDecoder.h"

namespace navlib {

std::unique_ptr<GpsDecoder> MakeDecoder(Protocol protocol);

}  // namespace navlib
