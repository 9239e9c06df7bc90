// The NMEA writers: every sentence well formed (checksum, length, line end); what they write
// decodes back, through navlib32's own NMEA decoder, to the record they were written from
// (hemispheres, heights, speed, heading, satellites, validity); satellites spread over GSV
// groups and GSA sentences without loss.
#include "app/net/NmeaWriter.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/unit/navlib32/NmeaTestSupport.h"
#include "tests/unit/net/NetTestSupport.h"

namespace pelmora::net {
namespace {

using testing::Fields;
using testing::FullFix;
using testing::Lines;

void ExpectWellFormed(const std::string& text) {
  ASSERT_FALSE(text.empty());
  ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
  for (const std::string& line : Lines(text)) {
    ASSERT_GE(line.size(), 9u) << line;
    EXPECT_EQ(line[0], '$') << line;
    EXPECT_LE(line.size() + 2, 82u) << line;  // the standard's limit, CR LF included
    const std::size_t star = line.size() - 3;
    ASSERT_EQ(line[star], '*') << line;
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X",
                  NmeaChecksum(std::string_view(line).substr(1, star - 1)));
    EXPECT_EQ(line.substr(star + 1), hex) << line;
  }
}

FixRecord Decode(const std::string& text) {
  const auto decoded = navlib::nmea::testing::DecodeWhole(text);
  EXPECT_EQ(decoded.epochs.size(), 1u);
  return decoded.epochs.empty() ? FixRecord{} : decoded.epochs.back();
}

TEST(NmeaWriter, WritesWhatDecodesBackToTheRecord) {
  constexpr uint16_t kHeights = kValidGeoidHeight | kValidEllipsoidHeight;
  struct Case {
    const char* name;
    double lat, lon;
    uint16_t clear;  // validity bits taken away
    int fixMode;
  };
  const Case cases[] = {
      {"north east", 48.1173, 11.516666667, 0, 3},
      {"south west", -33.8688, -151.2093, 0, 3},
      {"equator and meridian", 0.0, -0.000001, 0, 3},
      {"no altitude, 2D", 52.5, 13.4, kHeights, 2},
      {"differential", 40.0, -74.0, 0, 5},
      {"no speed nor heading", 1.5, 2.5, kValidSpeed | kValidHeading, 3},
      {"no satellites", 10.0, 20.0, kValidGeometry | kValidSignal, 3},
      {"near the next degree", 10.99999999999, 179.99999999999, 0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FixRecord fix = FullFix();
    fix.latitude = c.lat;
    fix.longitude = c.lon;
    fix.fixMode = static_cast<int16_t>(c.fixMode);
    fix.validFlags &= static_cast<uint16_t>(~c.clear);
    const std::string text = WriteNmeaEpoch(fix, CivilDate{2026, 12, 8}, testing::SkyOf(fix));
    ExpectWellFormed(text);
    const FixRecord back = Decode(text);
    const uint16_t compared = kValidTime | kValidPosition | kHeights | kValidSpeed | kValidHeading |
                              kValidFixMode | kValidGeometry | kValidSignal;
    EXPECT_EQ(back.validFlags & compared, fix.validFlags & compared);
    EXPECT_NEAR(back.latitude, c.lat, 1e-6);
    EXPECT_NEAR(back.longitude, c.lon, 1e-6);
    EXPECT_EQ(back.utcSeconds, fix.utcSeconds);
    EXPECT_EQ(back.fixMode, fix.fixMode);
    if (fix.validFlags & kValidGeoidHeight) {
      EXPECT_NEAR(back.geoidHeight, fix.geoidHeight, 0.05);
      EXPECT_NEAR(back.ellipsoidHeight, fix.ellipsoidHeight, 0.1);
    }
    if (fix.validFlags & kValidSpeed) {
      EXPECT_NEAR(back.speed, fix.speed, 0.01);
    }
    if (fix.validFlags & kValidHeading) {
      EXPECT_NEAR(back.trueHeading, fix.trueHeading, 0.05);
    }
    if (fix.validFlags & kValidGeometry) {
      EXPECT_NEAR(back.pdop, fix.pdop, 0.05);
      for (int i = 0; i < kMaxSats; ++i) {
        EXPECT_EQ(back.sats[i].prn, fix.sats[i].prn) << i;
        EXPECT_EQ(back.sats[i].used, fix.sats[i].used) << i;
        EXPECT_EQ(back.sats[i].elevation, fix.sats[i].elevation) << i;
        EXPECT_EQ(back.sats[i].azimuth, fix.sats[i].azimuth) << i;
        EXPECT_EQ(back.sats[i].snr, fix.sats[i].snr) << i;
      }
    }
  }
}

TEST(NmeaWriter, InvalidFieldsAreEmptyAndNothingIsWrittenWithoutData) {
  FixRecord fix = FullFix();
  fix.validFlags = kValidStatus | kValidTime;  // time only, no fix yet
  std::string gga, rmc;
  WriteGga(gga, fix);
  WriteRmc(rmc, fix, std::nullopt);
  const auto g = Fields(Lines(gga)[0]);
  EXPECT_EQ(g[1], "123456.50");
  for (int i : {2, 3, 4, 5, 8, 9, 11})
    EXPECT_EQ(g[i], "") << i;
  EXPECT_EQ(g[6], "0");  // no fix
  const auto r = Fields(Lines(rmc)[0]);
  EXPECT_EQ(r[2], "V");
  for (int i : {3, 4, 5, 6, 7, 8, 9})
    EXPECT_EQ(r[i], "") << i;
  EXPECT_EQ(r.back(), "N");
  fix.validFlags = kValidStatus;  // a silent receiver: status only
  EXPECT_EQ(WriteNmeaEpoch(fix, std::nullopt, {}), "");
}

TEST(NmeaWriter, SatellitesSpreadOverGsvGroupsAndGsaSentences) {
  const Gnss systems[] = {Gnss::Gps, Gnss::Glonass, Gnss::Galileo, Gnss::Beidou, Gnss::Sbas};
  for (int n : {0, 1, 4, 5, 12, 13, 40}) {
    SCOPED_TRACE(n);
    std::vector<SkySatellite> sats;
    for (int i = 0; i < n; ++i) {
      const Gnss g = systems[i % 5];
      sats.push_back(
          {g, g == Gnss::Sbas ? 120 + i : 1 + i, 45, (i * 37) % 360, 20 + i % 30, i % 3 != 0});
    }
    const FixRecord fix = FullFix();
    std::string gsv, gsa;
    WriteGsv(gsv, fix, sats);
    WriteGsa(gsa, fix, sats);
    ExpectWellFormed(gsv);
    ExpectWellFormed(gsa);
    std::map<std::string, int> seenPerTalker, countPerTalker;
    for (const std::string& line : Lines(gsv)) {
      const auto f = Fields(line);
      const std::string talker = f[0].substr(0, 2);
      const int total = std::stoi(f[1]), index = std::stoi(f[2]), count = std::stoi(f[3]);
      EXPECT_EQ(index, ++seenPerTalker[talker]) << line;
      const int here = static_cast<int>(f.size() - 4) / 4;
      EXPECT_EQ(total, std::max(1, (count + 3) / 4)) << line;
      EXPECT_EQ(here, index < total ? 4 : count - 4 * (total - 1)) << line;
      countPerTalker[talker] += here;
      EXPECT_EQ(static_cast<int>(f.size() - 4) % 4, 0) << line;
    }
    int listed = 0;
    for (const auto& [talker, k] : countPerTalker)
      listed += k;
    EXPECT_EQ(listed, n);
    int usedWanted = 0, usedListed = 0;
    for (const SkySatellite& s : sats)
      usedWanted += s.used;
    const auto gsaLines = Lines(gsa);
    EXPECT_EQ(gsaLines.size(), static_cast<std::size_t>(std::max(1, (usedWanted + 11) / 12)));
    for (const std::string& line : gsaLines) {
      const auto f = Fields(line);
      ASSERT_EQ(f.size(), 18u) << line;
      for (int i = 3; i < 15; ++i)
        usedListed += !f[i].empty();
    }
    EXPECT_EQ(usedListed, usedWanted);
  }
}

}  // namespace
}  // namespace pelmora::net
