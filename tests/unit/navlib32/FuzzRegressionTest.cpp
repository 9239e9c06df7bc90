// Inputs found by the fuzz targets (fuzz/), reduced to what made them fail.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "navlib32/GpsDecoder.h"
#include "navlib32/MakeDecoder.h"
#include "navlib32/tsip/GpsTime.h"
#include "tests/unit/navlib32/NmeaTestSupport.h"
#include "tests/unit/navlib32/TsipTestSupport.h"

namespace {

using navlib::tsip::CivilDate;
using navlib::tsip::CivilDateOf;
using navlib::tsip::GpsToUnixSeconds;

// A damaged packet's float time of week far outside a week: the conversion to whole seconds
// overflowed int64 (undefined; on x86 every such value came out as the same huge negative
// count). It must stay ordered and representable, and give no plausible date.
TEST(FuzzRegression, WildTimeOfWeekStaysOrderedAndGivesNoPlausibleDate) {
  const int64_t sane = GpsToUnixSeconds(2300, 100000.0, 18);
  struct Case {
    double tow;
    bool after;  // later than the sane time
  };
  const Case cases[] = {
      {-2.41861e24, false}, {-3.0e38, false}, {3.0e38, true}, {1.0e20, true}, {-1.0e19, false},
  };
  for (const Case& c : cases) {
    const int64_t t = GpsToUnixSeconds(2300, c.tow, 18);
    if (c.after) {
      EXPECT_GT(t, sane) << c.tow;
    } else {
      EXPECT_LT(t, navlib::tsip::kGpsEpochUnixSeconds) << c.tow;
    }
    const CivilDate d = CivilDateOf(t);
    EXPECT_TRUE(d.year < 1980 || d.year > 2200) << c.tow << " gave year " << d.year;
  }
}

// The same through the decoder: GPS week known from 0x41, then a position whose time of week
// is wild, then a sane one. The wild packet sets no date; the sane one dates the fix.
TEST(FuzzRegression, TsipPositionWithWildTimeOfWeek) {
  for (const double wild : {-2.41861e24, 3.0e38, 1.0e20}) {
    std::vector<uint8_t> stream;
    tsiptest::Append(stream, tsiptest::P41(100000.0, 2300, 18));
    tsiptest::Append(stream, tsiptest::P84(52.5, 13.4, 45.0, wild));
    auto decoder = navlib::MakeDecoder(navlib::Protocol::Tsip);
    tsiptest::Decode(*decoder, stream);
    int year = 0, month = 0, day = 0;
    EXPECT_FALSE(decoder->GetDate(year, month, day, 101.0)) << wild << ": " << year;

    tsiptest::Append(stream, tsiptest::P84(52.5, 13.4, 45.0, 100001.0));
    tsiptest::Append(stream, tsiptest::P41(100002.0, 2300, 18));
    decoder = navlib::MakeDecoder(navlib::Protocol::Tsip);
    const std::vector<pelmora::FixRecord> records = tsiptest::Decode(*decoder, stream);
    ASSERT_FALSE(records.empty());
    EXPECT_TRUE(records.back().validFlags & pelmora::kValidPosition);
    ASSERT_TRUE(decoder->GetDate(year, month, day, 100.0 + records.size() - 1)) << wild;
    EXPECT_EQ(year, 2024);
    EXPECT_EQ(month, 2);
    EXPECT_EQ(day, 5);
  }
}

// A DOP far beyond any geometry (given, or derived from HDOP and VDOP) became an infinite
// float pdop in the record. Such a value is damage: it counts as absent (a PDOP is then derived
// from sane HDOP and VDOP, as for an empty field).
TEST(FuzzRegression, HugeDopsGiveNoInfinitePdop) {
  using navlib::nmea::testing::DecodeWhole;
  using navlib::nmea::testing::Nmea;
  struct Case {
    const char* gsa;
    double pdop;  // expected in the record; 0 when no DOP is current
  };
  const Case cases[] = {
      {"GPGSA,A,3,01,02,03,04,,,,,,,,,2.5,1.5,2.0", 2.5},
      {"GPGSA,A,3,01,02,03,04,,,,,,,,,1e39,1.0,1.0", std::sqrt(2.0)},
      {"GPGSA,A,3,01,02,03,04,,,,,,,,,3.5e38,1.0,1.0", std::sqrt(2.0)},
      {"GPGSA,,,,,,,,,,,,,,,,3,2222222222222222222222222222222222222279", 0.0},
      {"GPGSA,A,3,01,02,03,04,,,,,,,,,,1e200,1e200", 0.0},
  };
  for (const Case& c : cases) {
    const std::string log =
        Nmea("GPGGA,120000.00,4807.038,N,01131.000,E,1,04,0.9,545.4,M,46.9,M,,") + Nmea(c.gsa) +
        Nmea("GPGGA,120001.00,4807.038,N,01131.000,E,1,04,0.9,545.4,M,46.9,M,,");
    const auto decoded = DecodeWhole(log);
    ASSERT_FALSE(decoded.epochs.empty()) << c.gsa;
    const pelmora::FixRecord& r = decoded.epochs.front();
    EXPECT_TRUE(std::isfinite(r.pdop)) << c.gsa;
    EXPECT_NEAR(r.pdop, c.pdop, 1e-6) << c.gsa;
  }
}

}  // namespace
