// Every satellite heard, end to end: a synthetic multi-GNSS epoch from gpssim (GPS, GLONASS,
// Galileo, BeiDou; 40 satellites in view) decoded from NMEA and from TSIP and written as
// navdump --all-sats writes it: each satellite once, with its system, while the record keeps
// its best twelve.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/export/FixJson.h"
#include "navlib32/MakeDecoder.h"
#include "tools/gpssim/Simulator.h"

namespace {

struct Case {
  gpssim::Protocol protocol;
  navlib::Protocol decoder;
};

const char* SystemName(gpssim::System system) {
  switch (system) {
    case gpssim::System::Glonass:
      return "GLONASS";
    case gpssim::System::Galileo:
      return "Galileo";
    case gpssim::System::Beidou:
      return "BeiDou";
    default:
      return "GPS";
  }
}

// The number the decoder shows: NMEA talkers number within the system; TSIP in its ranges.
int ShownPrn(const gpssim::SimSat& s, gpssim::Protocol protocol) {
  if (protocol == gpssim::Protocol::Nmea) return s.prn;
  if (s.system == gpssim::System::Galileo) return 300 + s.prn;
  if (s.system == gpssim::System::Beidou) return 200 + s.prn;
  return s.prn;
}

TEST(AllSatellites, FortySatelliteMultiGnssEpoch) {
  for (const Case c : {Case{gpssim::Protocol::Nmea, navlib::Protocol::Nmea},
                       Case{gpssim::Protocol::Tsip, navlib::Protocol::Tsip}}) {
    SCOPED_TRACE(c.decoder == navlib::Protocol::Nmea ? "NMEA" : "TSIP");
    gpssim::SimConfig config;
    config.protocol = c.protocol;
    config.systems = gpssim::kAllSystems;
    gpssim::Simulator sim(config);
    const gpssim::EncodedEpoch first = sim.Next();
    const gpssim::EncodedEpoch second = sim.Next();  // completes the first
    ASSERT_EQ(first.epoch.sats.size(), 40u);
    const std::string bytes = first.bytes + second.bytes;

    auto decoder = navlib::MakeDecoder(c.decoder);
    std::size_t at = 0;
    while (at < bytes.size() && !decoder->EpochComplete())
      at += decoder->Feed(reinterpret_cast<const uint8_t*>(bytes.data()) + at, bytes.size() - at,
                          1.0);
    ASSERT_TRUE(decoder->EpochComplete());
    pelmora::FixRecord record;
    decoder->GetFix(record, 1.0);
    pelmora::SatDetail all[pelmora::kMaxAllSats];
    const int count = decoder->GetSatellites(all, pelmora::kMaxAllSats, 1.0);
    EXPECT_EQ(count, 40);
    EXPECT_EQ(record.satCount, first.epoch.usedCount);
    EXPECT_NE(record.sats[pelmora::kMaxSats - 1].prn, 0) << "the record keeps twelve";

    std::vector<char> line(navdump::kMaxJsonLineAllSats);
    const std::string json(line.data(), navdump::FormatFixJson(record, all, count, line.data()));
    for (const gpssim::SimSat& s : first.epoch.sats) {
      const std::string entry =
          "{\"system\":\"" + std::string(SystemName(s.system)) +
          "\",\"prn\":" + std::to_string(ShownPrn(s, c.protocol)) +
          ",\"used\":" + (s.used ? "1" : "0") +
          ",\"azimuth\":" + std::to_string(static_cast<int>(s.azimuthDeg)) +
          ",\"elevation\":" + std::to_string(static_cast<int>(s.elevationDeg)) +
          ",\"snr\":" + std::to_string(static_cast<int>(s.snrDbHz)) + "}";
      EXPECT_NE(json.find(entry), std::string::npos) << entry;
    }
  }
}

}  // namespace
