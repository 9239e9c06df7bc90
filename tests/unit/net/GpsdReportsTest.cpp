// The gpsd reports: always valid JSON (whatever the record holds, NaN and infinity included, and
// whatever text an error quotes), TPV and SKY with exactly the members the validity bits allow.
#include "app/net/GpsdReports.h"

#include <gtest/gtest.h>

#include <limits>

#include "tests/unit/net/NetTestSupport.h"

namespace pelmora::net {
namespace {

using testing::FullFix;
using testing::JsonChecker;
using Keys = std::set<std::string>;

constexpr CivilDate kDate{2026, 12, 8};

Keys KeysOf(const std::string& json) {
  JsonChecker check(json);
  EXPECT_TRUE(check.ok()) << json;
  return check.keys();
}

TEST(GpsdReports, TpvHoldsOnlyValidFields) {
  const Keys base{"class", "device", "mode"};
  const Keys time{"time"}, position{"lat", "lon"}, heights{"altHAE", "altMSL", "alt", "geoidSep"};
  auto with = [&](std::initializer_list<Keys> parts) {
    Keys k = base;
    for (const Keys& p : parts)
      k.insert(p.begin(), p.end());
    return k;
  };
  const struct {
    const char* name;
    uint16_t flags;
    Keys expected;
    int mode;
  } cases[] = {
      {"full", FullFix().validFlags,
       with({time, position, heights, {"track", "speed", "magvar", "magtrack"}}), 3},
      {"status only", kValidStatus, base, 0},
      {"time only", kValidStatus | kValidTime, with({time}), 1},
      {"2D, no heights", kValidFixMode | kValidTime | kValidPosition, with({time, position}), 2},
      {"height above the ellipsoid only", kValidFixMode | kValidPosition | kValidEllipsoidHeight,
       with({position, {"altHAE"}}), 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FixRecord fix = FullFix();
    fix.validFlags = c.flags;
    fix.fixMode = c.mode == 2 ? 2 : 3;
    fix.magVariation = 2.5;
    const std::string tpv = TpvObject(fix, kDate);
    Keys expected = c.expected;
    if (!(c.flags & kValidHeading)) expected.insert("magvar");  // not tied to the heading
    EXPECT_EQ(KeysOf(tpv), expected) << tpv;
    EXPECT_NE(tpv.find("\"mode\":" + std::to_string(c.mode)), std::string::npos) << tpv;
  }
  FixRecord fix = FullFix();
  EXPECT_NE(TpvObject(fix, kDate).find("\"time\":\"2026-12-08T12:34:56.500Z\""), std::string::npos);
  fix.fixMode = 5;
  EXPECT_TRUE(KeysOf(TpvObject(fix, kDate)).count("status"));
}

TEST(GpsdReports, NonFiniteNumbersAreLeftOut) {
  const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity(), -1e300};
  for (double v : bad) {
    FixRecord fix = FullFix();
    fix.latitude = fix.ellipsoidHeight = fix.geoidHeight = fix.speed = fix.trueHeading = v;
    fix.utcSeconds = v;
    fix.magVariation = v;
    fix.pdop = static_cast<float>(v);
    const Keys tpv = KeysOf(TpvObject(fix, kDate));
    for (const char* k : {"lat", "lon", "altHAE", "altMSL", "speed", "track", "time", "magvar"})
      EXPECT_FALSE(tpv.count(k)) << k << " for " << v;
    const std::string sky = SkyObject(fix, kDate, testing::SkyOf(fix));
    EXPECT_FALSE(KeysOf(sky).count("pdop")) << sky;
  }
}

TEST(GpsdReports, SkyListsSatellitesWithTheirSystems) {
  FixRecord fix = FullFix(0);
  const std::vector<SkySatellite> sats = {{Gnss::Gps, 7, 45, 120, 38, true},
                                          {Gnss::Galileo, 11, 10, 300, 0, false},
                                          {Gnss::Sbas, 133, 30, 200, 40, false},
                                          {Gnss::Glonass, 3, 60, 10, 35, true}};
  const std::string sky = SkyObject(fix, kDate, sats);
  EXPECT_EQ(KeysOf(sky), (Keys{"class", "device", "time", "pdop", "nSat", "uSat", "satellites"}));
  for (const char* member :
       {"{\"PRN\":7,\"el\":45.0,\"az\":120.0,\"ss\":38.0,\"used\":true,\"gnssid\":0,\"svid\":7}",
        "{\"PRN\":311,", "\"gnssid\":2,\"svid\":11}", "{\"PRN\":133,", "{\"PRN\":67,",
        "\"nSat\":4,\"uSat\":2"})
    EXPECT_NE(sky.find(member), std::string::npos) << member << " in " << sky;
  fix.validFlags &= static_cast<uint16_t>(~(kValidGeometry));
  const std::string signalOnly = SkyObject(fix, kDate, sats);
  EXPECT_EQ(signalOnly.find("\"el\""), std::string::npos);
  EXPECT_EQ(signalOnly.find("pdop"), std::string::npos);
}

TEST(GpsdReports, EveryReportIsOneLineOfValidJson) {
  WatchPolicy watch;
  watch.enable = watch.json = true;
  watch.device = "COM3 \"quoted\"\\";
  const GpsdDevice device{"2026-12-08T10:00:00.000Z", "TSIP"};
  const FixRecord fix = FullFix(12);
  const std::string tpv = TpvObject(fix, kDate), sky = SkyObject(fix, kDate, testing::SkyOf(fix));
  const std::string reports[] = {
      VersionReport(),
      DevicesReport(device),
      DeviceReport(GpsdDevice{}),
      WatchReport(watch),
      PollReport("2026-12-08T10:00:01.000Z", tpv, sky),
      PollReport("2026-12-08T10:00:01.000Z", "", ""),
      ErrorReport("Unrecognized request '\"\\\x01\x7f\xb0\xff'"),
  };
  for (const std::string& r : reports) {
    ASSERT_GE(r.size(), 2u);
    EXPECT_EQ(r.substr(r.size() - 2), "\r\n");
    const std::string body = r.substr(0, r.size() - 2);
    EXPECT_EQ(body.find_first_of("\r\n"), std::string::npos);
    EXPECT_TRUE(JsonChecker(body).ok()) << body;
  }
  EXPECT_NE(reports[0].find("\"proto_major\":3"), std::string::npos);
}

TEST(GpsdReports, IsoTimeRoundsWithoutPassingTheDay) {
  EXPECT_EQ(IsoTime(kDate, 0), "2026-12-08T00:00:00.000Z");
  EXPECT_EQ(IsoTime(kDate, 59.9996), "2026-12-08T00:01:00.000Z");
  EXPECT_EQ(IsoTime(kDate, 86399.9999), "2026-12-08T23:59:59.999Z");
  EXPECT_EQ(IsoTime(kDate, 86400), "");
  EXPECT_EQ(IsoTime(kDate, -1), "");
}

}  // namespace
}  // namespace pelmora::net
