// Behaviours real receivers showed that the recorded development logs barely exercise: one
// hand-made case per class, in the receiver's own shape, asserting the records that come out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NmeaTestSupport.h"
#include "TsipTestSupport.h"
#include "navlib32/tsip/TsipDecoder.h"

namespace {

using navlib::nmea::testing::DecodeWhole;
using navlib::nmea::testing::Nmea;
using pelmora::FixRecord;
using namespace tsiptest;

bool Has(const FixRecord& r, uint16_t bits) {
  return (r.validFlags & bits) == bits;
}

[[maybe_unused]] const pelmora::SatInfo* FindSat(const FixRecord& r, int prn) {
  for (const auto& s : r.sats) {
    if (s.prn == prn) return &s;
  }
  return nullptr;
}

// 1. A receiver whose ZDA runs two seconds ahead of its fix sentences (and whose first
// sentence is such a ZDA): every fix is reported under its own second with its own position.
TEST(ReceiverFaults, TimeOnlySentenceAheadOfTheFixOwnsNoEpoch) {
  std::string log;
  for (int s = 0; s < 4; ++s) {
    const std::string t = "12000" + std::to_string(s) + ".00";
    const std::string ahead = "12000" + std::to_string(s + 2) + ".00";
    const std::string lat = "480" + std::to_string(s) + ".000";
    log += Nmea("GPZDA," + ahead + ",15,03,2024,00,00");
    log += Nmea("GPGGA," + t + "," + lat + ",N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    log += Nmea("GPRMC," + t + ",A," + lat + ",N,01131.000,E,1.0,45.0,150324,,,A");
    log += Nmea("GPGST," + ahead + ",2.0,1.5,1.0,45.0,1.2,1.1,2.5");
    log += Nmea("GPGSA,A,3,02,05,12,25,,,,,,,,,1.8,0.9,1.5");
  }
  const auto d = DecodeWhole(log);
  ASSERT_EQ(d.epochs.size(), 4u);
  for (int s = 0; s < 4; ++s) {
    const FixRecord& r = d.epochs[s];
    EXPECT_DOUBLE_EQ(r.utcSeconds, 43200.0 + s) << s;
    EXPECT_NEAR(r.latitude, 48.0 + s / 60.0, 1e-9) << s;
    EXPECT_TRUE(Has(r, pelmora::kValidPosition | pelmora::kValidFixMode)) << s;
  }
  EXPECT_EQ(d.counters.sentences.late, 0u);

  // Without a fix the GGA carries no time: the ZDA's time then makes the epochs.
  std::string noFix;
  for (int s = 0; s < 3; ++s) {
    noFix += Nmea("GPGGA,,,,,,0,00,,,M,,M,,");
    noFix += Nmea("GPZDA,12000" + std::to_string(s) + ".00,15,03,2024,00,00");
  }
  const auto z = DecodeWhole(noFix);
  ASSERT_EQ(z.epochs.size(), 3u);
  EXPECT_DOUBLE_EQ(z.epochs[2].utcSeconds, 43202.0);
  EXPECT_TRUE(Has(z.epochs[2], pelmora::kValidTime));
}

// 2. A receiver that numbers Galileo 100 + svid under its GA talker and in GSA with system id 3:
// the numbers come into Galileo's range, GSA and GSV name the same satellites, none is lost.
TEST(ReceiverFaults, GalileoNumbered101To136) {
  std::string log = Nmea("GNGGA,120000.00,4807.038,N,01131.000,E,1,05,0.9,545.4,M,46.9,M,,");
  log += Nmea("GNGSA,A,3,02,05,,,,,,,,,,,1.5,0.9,1.2,1");
  log += Nmea("GNGSA,A,3,101,105,336,,,,,,,,,,1.5,0.9,1.2,3");
  log += Nmea("GPGSV,1,1,02,02,50,010,40,05,30,020,38,1");
  log += Nmea("GAGSV,1,1,04,101,45,090,41,105,35,180,39,136,20,270,33,112,10,300,25,7");
  log += Nmea("GNGGA,120001.00,4807.038,N,01131.000,E,1,05,0.9,545.4,M,46.9,M,,");
  const auto d = DecodeWhole(log);
  ASSERT_GE(d.epochs.size(), 1u);
  const FixRecord& r = d.epochs[0];
  EXPECT_EQ(r.satCount, 5);
  int galileoUsed = 0, shown = 0;
  for (const auto& s : r.sats) {
    if (s.prn == 0) continue;
    ++shown;
    EXPECT_LE(s.prn, 36) << "every number is in its system's range";
    if (s.azimuth >= 90) galileoUsed += s.used;
  }
  EXPECT_EQ(shown, 6);
  EXPECT_EQ(galileoUsed, 3);  // 101, 105 and 136 (the GSA's 336): used; 112 is not
}

}  // namespace
