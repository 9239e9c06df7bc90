// NMEA 0183 sentences written from the fix record, for receivers that speak another protocol
// (TSIP): GGA, RMC, GSA, GSV and VTG, each "$" body "*" checksum CR LF. A field whose validity
// bit is clear is left empty. Portable.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/net/FixEpoch.h"
#include "navlib32/nmea/NmeaChecksum.h"

namespace pelmora::net {

using navlib::nmea::NmeaChecksum;
// Appends "$" body "*HH" CR LF.
inline void AppendSentence(std::string& out, std::string_view body) {
  navlib::nmea::AppendNmeaSentence(body, out);
}

void WriteGga(std::string& out, const FixRecord& fix);
void WriteRmc(std::string& out, const FixRecord& fix, std::optional<CivilDate> date);
// One GSA per twelve satellites in use (at least one sentence).
void WriteGsa(std::string& out, const FixRecord& fix, const std::vector<SkySatellite>& sats);
// One GSV group per talker (GP for GPS and SBAS, GL, GA, GB, GQ), four satellites a sentence.
void WriteGsv(std::string& out, const FixRecord& fix, const std::vector<SkySatellite>& sats);
void WriteVtg(std::string& out, const FixRecord& fix);

// All five, in the order receivers send them; nothing when the record holds nothing valid.
std::string WriteNmeaEpoch(const FixRecord& fix, std::optional<CivilDate> date,
                           const std::vector<SkySatellite>& sats);

}  // namespace pelmora::net
