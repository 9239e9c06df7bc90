// NMEA sentence handlers, table-driven: each case decodes a few sentence bodies into a fresh
// FixState, completes the epoch and checks the record.
#include "navlib32/nmea/NmeaSentences.h"

#include <gtest/gtest.h>

#include <charconv>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace navlib::nmea {
namespace {

using pelmora::FixRecord;

constexpr double kKnot = 1852.0 / 3600.0;

struct SentenceCase {
  const char* legend;
  std::vector<std::string> bodies;
  std::vector<SentenceResult> results;  // one per body
  uint16_t bitsSet;
  uint16_t bitsClear;
  std::function<void(const FixRecord&)> check;
};

FixRecord Decode(const SentenceCase& c, bool hasChecksum = true) {
  FixState state;
  for (std::size_t i = 0; i < c.bodies.size(); ++i) {
    const SentenceResult result = DecodeSentence(c.bodies[i], hasChecksum, state, 0.0);
    if (i < c.results.size()) {
      EXPECT_EQ(result, c.results[i]) << c.bodies[i];
    }
  }
  state.CompleteEpoch(0.0);
  FixRecord r;
  state.MakeRecord(r, 0.0);
  return r;
}

constexpr SentenceResult kOk = SentenceResult::Decoded;
constexpr SentenceResult kUnknown = SentenceResult::Unknown;
constexpr SentenceResult kBad = SentenceResult::Malformed;

constexpr uint16_t kPos = pelmora::kValidPosition;
constexpr uint16_t kTime = pelmora::kValidTime;
constexpr uint16_t kMode = pelmora::kValidFixMode;
constexpr uint16_t kMsl = pelmora::kValidGeoidHeight;
constexpr uint16_t kEll = pelmora::kValidEllipsoidHeight;
constexpr uint16_t kSpeed = pelmora::kValidSpeed;
constexpr uint16_t kHeading = pelmora::kValidHeading;
constexpr uint16_t kGeom = pelmora::kValidGeometry;
constexpr uint16_t kSignal = pelmora::kValidSignal;

const pelmora::SatInfo* FindSat(const FixRecord& r, int prn, int elevation) {
  for (const pelmora::SatInfo& s : r.sats) {
    if (s.prn == prn && s.elevation == elevation) return &s;
  }
  return nullptr;
}

std::vector<SentenceCase> Cases() {
  return {
      {"GGA full",
       {"GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"},
       {kOk},
       kPos | kTime | kMode | kMsl | kEll,
       kSpeed | kHeading,
       [](const FixRecord& r) {
         EXPECT_DOUBLE_EQ(r.utcSeconds, 12 * 3600 + 35 * 60 + 19);
         EXPECT_NEAR(r.latitude, 48.1173, 1e-9);
         EXPECT_NEAR(r.longitude, 11.516666667, 1e-9);
         EXPECT_DOUBLE_EQ(r.geoidHeight, 545.4);
         EXPECT_NEAR(r.ellipsoidHeight, 592.3, 1e-9);
         EXPECT_EQ(r.fixMode, 3);
         EXPECT_EQ(r.satCount, 8);
         EXPECT_EQ(r.status, 1);
       }},
      {"GGA south west, fractional seconds, 8-decimal minutes",
       {"GNGGA,003956.25,4552.65403123,S,17030.00668000,W,1,12,0.64,-14.2,M,1.8,M,,"},
       {kOk},
       kPos | kTime | kMsl | kEll,
       0,
       [](const FixRecord& r) {
         EXPECT_DOUBLE_EQ(r.utcSeconds, 39 * 60 + 56.25);
         EXPECT_NEAR(r.latitude, -(45 + 52.65403123 / 60), 1e-12);
         EXPECT_NEAR(r.longitude, -(170 + 30.00668 / 60), 1e-12);
         EXPECT_DOUBLE_EQ(r.geoidHeight, -14.2);
       }},
      {"GGA empty fields, quality 0",
       {"GPGGA,123520,,,,,0,00,,,M,,M,,"},
       {kOk},
       kTime | kMode,
       kPos | kMsl | kEll,
       [](const FixRecord& r) {
         EXPECT_EQ(r.fixMode, 1);
         EXPECT_EQ(r.satCount, 0);
       }},
      {"GGA with position but quality 0 is no fix",
       {"GPGGA,123520,4807.038,N,01131.000,E,0,03,,,M,,M,,"},
       {kOk},
       kTime,
       kPos,
       [](const FixRecord& r) { EXPECT_EQ(r.status, 6); }},  // only 3 usable satellites
      {"GGA DGPS quality",
       {"GPGGA,123519,4807.038,N,01131.000,E,2,08,0.9,545.4,M,46.9,M,1.2,0031"},
       {kOk},
       kPos | kMode,
       0,
       [](const FixRecord& r) { EXPECT_EQ(r.fixMode, 5); }},
      {"GGA without time belongs to no particular time",
       {"GPGGA,,4807.038,N,01131.000,E,1,04,,,M,,M,,"},
       {kOk},
       kPos,
       kTime | kMsl,
       [](const FixRecord& r) { EXPECT_EQ(r.fixMode, 2); }},
      {"GGA malformed time drops the sentence",
       {"GPGGA,12a519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"},
       {kBad},
       0,
       kPos | kTime,
       nullptr},
      {"GGA latitude without hemisphere is malformed",
       {"GPGGA,123519,4807.038,,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"},
       {kBad},
       0,
       kPos,
       nullptr},
      {"GGA minutes of 60 are malformed",
       {"GPGGA,123519,4860.000,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"},
       {kBad},
       0,
       kPos,
       nullptr},
      {"GGA too few fields",
       {"GPGGA,123519,4807.038,N,01131.000"},
       {kBad},
       0,
       kPos | kTime,
       nullptr},
      {"RMC valid: speed, course, west variation",
       {"GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W"},
       {kOk},
       kPos | kTime | kSpeed | kHeading | kMode,
       kMsl,
       [](const FixRecord& r) {
         EXPECT_NEAR(r.speed, 22.4 * kKnot, 1e-12);
         EXPECT_DOUBLE_EQ(r.trueHeading, 84.4);
         EXPECT_DOUBLE_EQ(r.magVariation, 3.1);  // west: magnetic = true + 3.1
         EXPECT_EQ(r.fixMode, 2);
       }},
      {"RMC east variation stored negative",
       {"GPRMC,123519,A,4807.038,N,01131.000,E,0.0,,230394,0.5125,E,A"},
       {kOk},
       kPos | kSpeed,
       kHeading,
       [](const FixRecord& r) { EXPECT_DOUBLE_EQ(r.magVariation, -0.5125); }},
      {"RMC status V",
       {"GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,230394,,"},
       {kOk},
       kTime | kMode,
       kPos | kSpeed | kHeading,
       [](const FixRecord& r) { EXPECT_EQ(r.fixMode, 1); }},
      {"RMC mode N",
       {"GNRMC,123519,A,4807.038,N,01131.000,E,0.1,1.0,230394,,,N,V"},
       {kOk},
       kTime,
       kPos,
       nullptr},
      {"RMC mode D",
       {"GPRMC,123519,A,4807.038,N,01131.000,E,0.1,1.0,230394,,,D"},
       {kOk},
       kPos | kMode,
       0,
       [](const FixRecord& r) { EXPECT_EQ(r.fixMode, 4); }},
      {"RMC empty speed and course stay invalid",
       {"GPRMC,123519,A,4807.038,N,01131.000,E,,,230394,,"},
       {kOk},
       kPos,
       kSpeed | kHeading,
       nullptr},
      {"GSA: dimension, DOPs, used list",
       {"GPGSA,A,2,04,05,,09,,,,,,,,,2.5,1.3,2.1",
        "GPGSV,1,1,04,04,40,083,46,05,20,200,30,09,10,300,,12,05,100,20"},
       {kOk, kOk},
       kGeom | kSignal,
       0,
       [](const FixRecord& r) {
         EXPECT_FLOAT_EQ(r.pdop, 2.5f);
         EXPECT_EQ(r.satCount, 3);
         ASSERT_NE(FindSat(r, 9, 10), nullptr);
         EXPECT_EQ(FindSat(r, 9, 10)->used, 1);
         EXPECT_EQ(FindSat(r, 9, 10)->snr, 0);  // empty SNR: not tracked
         EXPECT_EQ(FindSat(r, 12, 5)->used, 0);
         EXPECT_EQ(FindSat(r, 4, 40)->azimuth, 83);
       }},
      {"GSA mode 1 is no fix, empty DOPs",
       {"GPGSA,A,1,,,,,,,,,,,,,,,"},
       {kOk},
       kMode,
       kGeom,
       [](const FixRecord& r) {
         EXPECT_EQ(r.fixMode, 1);
         EXPECT_EQ(r.satCount, 0);
       }},
      {"GN GSA per constellation without system id, by number",
       {"GNGSA,A,3,02,07,,,,,,,,,,,1.8,1.0,1.5", "GNGSA,A,3,66,67,,,,,,,,,,,1.8,1.0,1.5",
        "GPGSV,1,1,02,02,50,010,40,07,30,020,38", "GLGSV,1,1,02,66,60,030,35,67,20,040,33"},
       {kOk, kOk, kOk, kOk},
       kGeom | kSignal,
       0,
       [](const FixRecord& r) {
         EXPECT_EQ(r.satCount, 4);
         for (int prn : {2, 7, 66, 67}) {
           bool found = false;
           for (const pelmora::SatInfo& s : r.sats)
             found = found || (s.prn == prn && s.used);
           EXPECT_TRUE(found) << prn;
         }
       }},
      {"GSA with 4.10 system ids: Galileo and GPS numbers may clash",
       {"GNGSA,A,3,05,,,,,,,,,,,,1.2,0.8,0.9,1", "GNGSA,A,3,11,,,,,,,,,,,,1.2,0.8,0.9,3",
        "GPGSV,1,1,02,05,50,010,40,11,10,111,20,1", "GAGSV,1,1,02,05,20,222,30,11,60,333,45,7"},
       {kOk, kOk, kOk, kOk},
       kGeom | kSignal,
       0,
       [](const FixRecord& r) {
         EXPECT_EQ(r.satCount, 2);
         EXPECT_EQ(FindSat(r, 5, 50)->used, 1);   // GPS 5
         EXPECT_EQ(FindSat(r, 5, 20)->used, 0);   // Galileo 5
         EXPECT_EQ(FindSat(r, 11, 10)->used, 0);  // GPS 11
         EXPECT_EQ(FindSat(r, 11, 60)->used, 1);  // Galileo 11
       }},
      {"GSV with signal ids merges signals of one satellite",
       {"GPGSV,1,1,01,27,15,218,31,1", "GPGSV,1,1,01,27,15,218,29,6"},
       {kOk, kOk},
       kSignal | kGeom,
       0,
       [](const FixRecord& r) {
         EXPECT_EQ(r.sats[0].prn, 27);
         EXPECT_EQ(r.sats[0].snr, 31);
         EXPECT_EQ(r.sats[1].prn, 0);
       }},
      {"GSV with empty elevation and azimuth",
       {"GPGSV,1,1,01,14,,,25"},
       {kOk},
       kSignal,
       kGeom,
       [](const FixRecord& r) { EXPECT_EQ(r.sats[0].snr, 25); }},
      {"GSV empty view", {"GPGSV,1,1,00"}, {kOk}, 0, kSignal | kGeom, nullptr},
      {"GSV talkers GB, BD, GQ",
       {"GBGSV,1,1,01,13,23,233,17", "BDGSV,1,1,01,14,24,234,18", "GQGSV,1,1,01,02,25,235,19"},
       {kOk, kOk, kOk},
       kSignal | kGeom,
       0,
       [](const FixRecord& r) {
         EXPECT_EQ(FindSat(r, 13, 23)->snr, 17);
         EXPECT_EQ(FindSat(r, 14, 24)->snr, 18);
         EXPECT_EQ(FindSat(r, 2, 25)->snr, 19);
       }},
      {"VTG 2.x knots",
       {"GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A"},
       {kOk},
       kSpeed | kHeading,
       0,
       [](const FixRecord& r) {
         EXPECT_NEAR(r.speed, 5.5 * kKnot, 1e-12);
         EXPECT_DOUBLE_EQ(r.trueHeading, 54.7);
       }},
      {"VTG km/h only",
       {"GNVTG,,T,,M,,N,0.045,K,A"},
       {kOk},
       kSpeed,
       kHeading,
       [](const FixRecord& r) { EXPECT_NEAR(r.speed, 0.0125, 1e-12); }},
      {"VTG 1.x without unit letters",
       {"GPVTG,054.7,034.4,005.5,010.2"},
       {kOk},
       kSpeed | kHeading,
       0,
       [](const FixRecord& r) { EXPECT_NEAR(r.speed, 5.5 * kKnot, 1e-12); }},
      {"VTG mode N ignored",
       {"GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,N"},
       {kOk},
       0,
       kSpeed | kHeading,
       nullptr},
      {"GLL valid",
       {"GPGLL,4916.45,N,12311.12,W,225444,A,A"},
       {kOk},
       kPos | kTime,
       0,
       [](const FixRecord& r) {
         EXPECT_NEAR(r.longitude, -(123 + 11.12 / 60), 1e-12);
         EXPECT_DOUBLE_EQ(r.utcSeconds, 22 * 3600 + 54 * 60 + 44);
       }},
      {"GLL status V", {"GPGLL,4916.45,N,12311.12,W,225444,V,N"}, {kOk}, kTime, kPos, nullptr},
      {"GLL 1.x without time", {"GPGLL,4916.45,N,12311.12,W"}, {kOk}, kPos, kTime, nullptr},
      {"ZDA time",
       {"GPZDA,201530.00,04,07,2002,00,00"},
       {kOk},
       kTime,
       kPos,
       [](const FixRecord& r) { EXPECT_DOUBLE_EQ(r.utcSeconds, 20 * 3600 + 15 * 60 + 30); }},
      {"GNS with differential mode letters",
       {"GNGNS,014035.00,4332.69262,S,17235.48549,E,DA,13,0.9,25.63,11.24,,"},
       {kOk},
       kPos | kTime | kMsl | kEll | kMode,
       0,
       [](const FixRecord& r) {
         EXPECT_EQ(r.fixMode, 5);
         EXPECT_NEAR(r.ellipsoidHeight, 36.87, 1e-9);
         EXPECT_EQ(r.satCount, 13);
       }},
      {"GNS with no fix in any system",
       {"GNGNS,014035.00,,,,,NN,00,,,,,"},
       {kOk},
       kTime | kMode,
       kPos,
       [](const FixRecord& r) { EXPECT_EQ(r.fixMode, 1); }},
      {"HDT heading",
       {"HEHDT,274.07,T"},
       {kOk},
       kHeading,
       0,
       [](const FixRecord& r) { EXPECT_DOUBLE_EQ(r.trueHeading, 274.07); }},
      {"DPT depth",
       {"SDDPT,2.4,0.5"},
       {kOk},
       0,
       0,
       [](const FixRecord& r) { EXPECT_DOUBLE_EQ(r.depth, 2.4); }},
      {"DBT feet only",
       {"SDDBT,10.0,f,,M,,F"},
       {kOk},
       0,
       0,
       [](const FixRecord& r) { EXPECT_DOUBLE_EQ(r.depth, 3.048); }},
      {"GST marks the time", {"GNGST,003956.00,235111,,,,2.3,3.5,4.0"}, {kOk}, kTime, 0, nullptr},
      {"Unknown and proprietary sentences",
       {"GPXTE,A,A,0.67,L,N", "PGRME,9.1,M,15.0,M,12.0,M", "GPGGAX,1", "gpgga,123519"},
       {kUnknown, kUnknown, kUnknown, kUnknown},
       0,
       kTime | kPos,
       nullptr},
      {"Number with a plus sign; locale-free decimal point",
       {"INGGA,123519,4807.038,N,01131.000,E,1,08,0.9,+545.4,M,+46.9,M,,"},
       {kOk},
       kMsl | kEll,
       0,
       [](const FixRecord& r) { EXPECT_DOUBLE_EQ(r.geoidHeight, 545.4); }},
      {"Number with a comma-decimal is malformed",
       {"GPVTG,054;7,T,034.4,M,005.5,N,010.2,K,A"},
       {kBad},
       0,
       kSpeed | kHeading,
       nullptr},
  };
}

TEST(NmeaSentences, Cases) {
  for (const SentenceCase& c : Cases()) {
    SCOPED_TRACE(c.legend);
    const FixRecord r = Decode(c);
    EXPECT_EQ(r.validFlags & c.bitsSet, c.bitsSet);
    EXPECT_EQ(r.validFlags & c.bitsClear, 0);
    if (c.check) c.check(r);
  }
}

TEST(NmeaSentences, WithoutChecksum_OnlyCompleteSentencesAccepted) {
  FixState state;
  // Complete GGA: accepted.
  EXPECT_EQ(DecodeSentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", false,
                           state, 0.0),
            SentenceResult::Decoded);
  // Cut short after the altitude: fine with a checksum, refused without.
  const char* cut = "GPGGA,123520,4807.038,N,01131.000,E,1,08,0.9,545.4";
  EXPECT_EQ(DecodeSentence(cut, false, state, 0.0), SentenceResult::Malformed);
  EXPECT_EQ(DecodeSentence(cut, true, state, 0.0), SentenceResult::Decoded);
  EXPECT_EQ(DecodeSentence("GPRMC,123521,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1", false,
                           state, 0.0),
            SentenceResult::Malformed);
}

}  // namespace
}  // namespace navlib::nmea

namespace navlib::nmea {
namespace {

TEST(NmeaSentences, ParseDecimal_AgreesWithFromChars) {
  std::mt19937_64 rng(99);
  for (int i = 0; i < 200000; ++i) {
    // Random plain decimals of 1..18 digits with the point anywhere.
    const int digits = 1 + static_cast<int>(rng() % 18);
    std::string text = rng() % 4 == 0 ? "-" : "";
    const int point = static_cast<int>(rng() % (digits + 1));
    for (int d = 0; d < digits; ++d) {
      if (d == point && d > 0) text += '.';
      text += static_cast<char>('0' + rng() % 10);
    }
    double expected = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), expected);
    double value = -1.0;
    ASSERT_TRUE(ParseDecimal(text, value)) << text;
    ASSERT_EQ(value, expected) << text;
  }
}

TEST(NmeaSentences, ParseDecimal_RejectsWhatIsNoNumber) {
  double v = 0.0;
  for (const char* text :
       {"", ".", "-", "1.2.3", "12a", "1,5", " 1", "inf", "nan", "--1", "1e999"}) {
    EXPECT_FALSE(ParseDecimal(text, v)) << text;
  }
  EXPECT_TRUE(ParseDecimal("2.5e1", v));
  EXPECT_EQ(v, 25.0);
  EXPECT_TRUE(ParseDecimal("-0.125", v));
  EXPECT_EQ(v, -0.125);
}

}  // namespace
}  // namespace navlib::nmea

namespace navlib::nmea {
namespace {

// Extended satellite numbers of multi-GNSS receivers name the same satellite as its own
// talker's GSV: the used flag must reach it.
TEST(NmeaSentences, ExtendedNumbersMatchTheirSystemsGsv) {
  struct Case {
    const char* legend;
    const char* gsa;
    const char* gsv;
    int prn;
  };
  const Case cases[] = {
      {"Galileo 301+ in GN GSA", "GNGSA,A,3,305,,,,,,,,,,,,1.0,1.0,1.0",
       "GAGSV,1,1,01,05,40,100,30", 5},
      {"BeiDou 401+ with system id", "GNGSA,A,3,413,,,,,,,,,,,,1.0,1.0,1.0,4",
       "GBGSV,1,1,01,13,40,100,30", 13},
      {"BeiDou 201+ in GB GSV", "GNGSA,A,3,07,,,,,,,,,,,,1.0,1.0,1.0,4",
       "GBGSV,1,1,01,207,40,100,30", 7},
      {"QZSS 193+ under GP", "GNGSA,A,3,193,,,,,,,,,,,,1.0,1.0,1.0,1", "GQGSV,1,1,01,01,40,100,30",
       1},
      {"SBAS PRN in GSA, NMEA number in GSV", "GPGSA,A,3,131,,,,,,,,,,,,1.0,1.0,1.0",
       "GPGSV,1,1,01,44,40,100,30", 44},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    FixState state;
    EXPECT_EQ(DecodeSentence(c.gsa, true, state, 0.0), SentenceResult::Decoded);
    EXPECT_EQ(DecodeSentence(c.gsv, true, state, 0.0), SentenceResult::Decoded);
    state.CompleteEpoch(0.0);
    FixRecord r;
    state.MakeRecord(r, 0.0);
    EXPECT_EQ(r.sats[0].prn, c.prn);
    EXPECT_EQ(r.sats[0].used, 1);
    EXPECT_EQ(r.satCount, 1);
  }
}

}  // namespace
}  // namespace navlib::nmea
