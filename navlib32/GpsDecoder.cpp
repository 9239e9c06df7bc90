// Protocol detection.
#include "navlib32/GpsDecoder.h"

#include <algorithm>

#include "navlib32/SatNumbers.h"

namespace navlib {

ProtocolEvidence SniffProtocol(const uint8_t* data, std::size_t size) {
  constexpr uint8_t kDle = 0x10;
  constexpr uint8_t kEtx = 0x03;
  const auto isIdChar = [](uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); };
  ProtocolEvidence e;
  for (std::size_t i = 0; i < size; ++i) {
    const uint8_t c = data[i];
    if (c != '$' && c != kDle) continue;  // most bytes: neither protocol's evidence starts there
    // "$GPGGA," and the like: talker and sentence id, then the first field separator.
    if (c == '$') {
      if (i + 6 < size && data[i + 6] == ',' && std::all_of(data + i + 1, data + i + 6, isIdChar))
        ++e.nmea;
      continue;
    }
    // End of one TSIP packet and start of the next; the id is neither DLE nor ETX. An ETX
    // preceded by a stuffed DLE pair (DLE DLE ETX) is data, not an end: count the run of DLEs.
    if (i + 3 < size && data[i + 1] == kEtx && data[i + 2] == kDle && data[i + 3] != kDle &&
        data[i + 3] != kEtx) {
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

bool RecordHasFix(const pelmora::FixRecord& r) {
  if ((r.validFlags & pelmora::kValidPosition) == 0) return false;
  return (r.validFlags & pelmora::kValidFixMode) == 0 || r.fixMode >= 2;
}

void FillEpoch(const GpsDecoder& decoder, double nowSeconds, pelmora::Epoch& epoch) {
  epoch = pelmora::Epoch{};
  decoder.GetFix(epoch.fix, nowSeconds);
  if (RecordHasFix(epoch.fix)) epoch.flags |= pelmora::kEpochHasFix;
  int year = 0, month = 0, day = 0;
  if (decoder.GetDate(year, month, day, nowSeconds)) {
    epoch.flags |= pelmora::kEpochHasDate;
    epoch.utcYear = static_cast<int16_t>(year);
    epoch.utcMonth = static_cast<int16_t>(month);
    epoch.utcDay = static_cast<int16_t>(day);
  }
  epoch.logOffset = decoder.EpochOffset();
  pelmora::SatDetail all[pelmora::kMaxAllSats];
  const int count = std::clamp(decoder.GetSatellites(all, pelmora::kMaxAllSats, nowSeconds), 0,
                               pelmora::kMaxAllSats);
  for (int i = 0; i < count; ++i) {
    const pelmora::SatDetail& d = all[i];
    const auto system = static_cast<GnssSystem>(d.system);
    epoch.sats[i] = pelmora::EpochSat{d.system,    static_cast<int16_t>(SvidOf(system, d.prn)),
                                      d.elevation, d.azimuth,
                                      d.snr,       d.used};
  }
  epoch.satCount = static_cast<int16_t>(count);
}

}  // namespace navlib
