// GPS time → UTC (leap seconds, week roll-over, dates) and WGS-84 ECEF ↔ LLA.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "navlib32/tsip/GpsTime.h"
#include "navlib32/tsip/Wgs84.h"

namespace {

using namespace navlib::tsip;

TEST(GpsTime, UtcTimeOfDayAppliesTheLeapSeconds) {
  const struct {
    double gpsSeconds;
    int leap;
    double utc;
  } cases[] = {
      {25108.0, 14, 25094.0},                // Lassen iQ, 2006
      {3 * 86400.0 + 3600.25, 18, 3582.25},  // Wednesday 01:00:00.25 GPS
      {0.0, 18, 86382.0},                    // week start: still Saturday in UTC
      {10.5, 18, 86392.5},                   // midnight crossed backwards
      {604799.5, 0, 86399.5},                // last half second of the week
      {446991.531, 14, 14977.531},           // fractional time of a 0x41
      {2 * 86400.0 + 18, 18, 0.0},           // midnight exactly
      {604800.0, 0, 0.0},                    // the week's end
      {5 * 86400.0 - 0.25, 0, 86399.75},     // just before midnight
      {-3600.0, 0, 82800.0},                 // before the week (a damaged packet)
      {1e12 + 0.5, 0, 6400.5},               // far beyond it
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(UtcSecondsOfDay(c.gpsSeconds, c.leap), c.utc, 1e-9) << c.gpsSeconds;
  }
  EXPECT_EQ(UtcSecondsOfDay(NAN, 18), 0.0);
  // Within the week, exactly fmod's result: whole days and their neighbours, float and
  // millisecond times of week.
  std::mt19937_64 random(5);
  for (int i = 0; i < 100000; ++i) {
    const double day = static_cast<double>(random() % 8) * 86400.0;
    const double tow = i % 3 == 0   ? std::nextafter(day, i % 2 ? 0.0 : 1e6)
                       : i % 3 == 1 ? static_cast<float>(random() % 604800000 / 1000.0)
                                    : static_cast<double>(random() % 604800000) / 1000.0;
    const double utc = tow - 18;
    if (utc < 0.0) continue;
    double want = std::fmod(utc, 86400.0);
    if (want >= 86400.0) want = 0.0;
    ASSERT_EQ(UtcSecondsOfDay(tow, 18), want) << std::hexfloat << tow;
  }
}

TEST(GpsTime, WeekRollOverIsResolvedFromTheLeapSeconds) {
  const struct {
    int reported;
    int leap;
    int full;
  } cases[] = {
      {1403, 14, 1403},                    // full week as sent
      {379, 14, 1403},                     // the same week modulo 1024
      {37, 18, 2085},                      // modulo 1024 after the 2019 roll-over
      {0, 18, 2048},                       // the roll-over week itself
      {1061, 18, 2085},                    // a receiver that guessed the wrong 1024-week era
      {2085, 18, 2085}, {1023, 13, 1023},  // 1999, before the first roll-over
      {500, 0, 500},                       // no offset known: taken as sent
      {-1, 18, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveGpsWeek(c.reported, c.leap), c.full) << c.reported << " " << c.leap;
  }
  EXPECT_EQ(FirstWeekOfLeapSeconds(18), 1930);
  EXPECT_EQ(FirstWeekOfLeapSeconds(19), 1930);
  EXPECT_EQ(FirstWeekOfLeapSeconds(5), 0);
}

TEST(GpsTime, DatesOfGpsTimes) {
  const struct {
    int week;
    double tow;
    int leap;
    int year, month, day;
  } cases[] = {
      {0, 0.0, 0, 1980, 1, 6},  // GPS epoch
      {2085, 72891.0, 18, 2019, 12, 22},
      {2048, 0.0, 18, 2019, 4, 6},  // 18 s before the week starts in UTC
      {2048, 18.0, 18, 2019, 4, 7},
      {1403, 25108.0, 14, 2006, 11, 26},
      {1051, 2 * 86400.0 + 100, 13, 2000, 2, 29},  // leap day
  };
  for (const auto& c : cases) {
    const CivilDate d = CivilDateOf(GpsToUnixSeconds(c.week, c.tow, c.leap));
    EXPECT_EQ(d.year, c.year) << c.week << " " << c.tow;
    EXPECT_EQ(d.month, c.month) << c.week << " " << c.tow;
    EXPECT_EQ(d.day, c.day) << c.week << " " << c.tow;
  }
  EXPECT_EQ(GpsToUnixSeconds(0, 0.0, 0), kGpsEpochUnixSeconds);
  const CivilDate before = CivilDateOf(-1);
  EXPECT_EQ(before.year, 1969);
  EXPECT_EQ(before.month, 12);
  EXPECT_EQ(before.day, 31);
}

constexpr double kA = 6378137.0;
constexpr double kB = 6356752.314245179;  // a (1 − f)

TEST(Wgs84, KnownEcefPoints) {
  const struct {
    const char* legend;
    Ecef ecef;
    double lat, lon, height;
  } cases[] = {
      {"equator, prime meridian", {kA, 0, 0}, 0, 0, 0},
      {"equator, 90 E, 1 km up", {0, kA + 1000, 0}, 0, 90, 1000},
      {"equator, 180", {-kA, 0, 0}, 0, 180, 0},
      {"equator, 90 W", {0, -kA, 0}, 0, -90, 0},
      {"north pole", {0, 0, kB}, 90, 0, 0},
      {"south pole, 100 m below", {0, 0, -(kB - 100)}, -90, 0, -100},
      {"GPS orbit over the pole", {0, 0, kB + 20200000}, 90, 0, 20200000},
  };
  for (const auto& c : cases) {
    const Lla lla = EcefToLla(c.ecef);
    EXPECT_NEAR(lla.latitudeDeg, c.lat, 1e-9) << c.legend;
    EXPECT_NEAR(std::fabs(lla.longitudeDeg), std::fabs(c.lon), 1e-9) << c.legend;
    if (std::fabs(c.lon) != 180) {
      EXPECT_NEAR(lla.longitudeDeg, c.lon, 1e-9) << c.legend;
    }
    EXPECT_NEAR(lla.ellipsoidHeightMetres, c.height, 1e-6) << c.legend;
  }
  const Lla centre = EcefToLla({0, 0, 0});
  EXPECT_TRUE(std::isfinite(centre.latitudeDeg));
  EXPECT_NEAR(centre.ellipsoidHeightMetres, -kA, 1.0);
}

TEST(Wgs84, LlaToEcefOfAKnownPoint) {
  // 45 N 0 E on the ellipsoid: x = N cos45, z = N (1 − e²) sin45 with N = a / sqrt(1 − e²/2).
  const double e2 = 1 - (kB / kA) * (kB / kA);
  const double n = kA / std::sqrt(1 - e2 / 2);
  const Ecef e = LlaToEcef({45, 0, 0});
  EXPECT_NEAR(e.x, n * std::sqrt(0.5), 1e-6);
  EXPECT_NEAR(e.y, 0.0, 1e-6);
  EXPECT_NEAR(e.z, n * (1 - e2) * std::sqrt(0.5), 1e-6);
}

TEST(Wgs84, EcefVectorsInLocalAxes) {
  const struct {
    const char* legend;
    Ecef v;
    double lat, lon;
    double east, north, up;
  } cases[] = {
      {"equator, 0 E: +Y is east", {0, 1, 0}, 0, 0, 1, 0, 0},
      {"equator, 0 E: +Z is north", {0, 0, 1}, 0, 0, 0, 1, 0},
      {"equator, 0 E: +X is up", {1, 0, 0}, 0, 0, 0, 0, 1},
      {"equator, 90 E: +X is west", {1, 0, 0}, 0, 90, -1, 0, 0},
      {"north pole: +X is south", {1, 0, 0}, 90, 0, 0, -1, 0},
      {"45 N 0 E: along the meridian", {-std::sqrt(0.5), 0, std::sqrt(0.5)}, 45, 0, 0, 1, 0},
  };
  for (const auto& c : cases) {
    const Enu enu = EcefVectorToEnu(c.v, c.lat, c.lon);
    EXPECT_NEAR(enu.east, c.east, 1e-12) << c.legend;
    EXPECT_NEAR(enu.north, c.north, 1e-12) << c.legend;
    EXPECT_NEAR(enu.up, c.up, 1e-12) << c.legend;
  }
}

TEST(Wgs84, RoundTripOverTheGlobe) {
  for (double lat = -89.75; lat <= 90; lat += 7.25) {
    for (double lon = -179.5; lon <= 180; lon += 13.5) {
      for (double h : {-420.0, 0.0, 8848.0, 35786000.0}) {
        const Lla back = EcefToLla(LlaToEcef({lat, lon, h}));
        ASSERT_NEAR(back.latitudeDeg, lat, 1e-9) << lat << " " << lon << " " << h;
        ASSERT_NEAR(back.longitudeDeg, lon, 1e-9) << lat << " " << lon << " " << h;
        ASSERT_NEAR(back.ellipsoidHeightMetres, h, 1e-4) << lat << " " << lon << " " << h;
      }
    }
  }
}

}  // namespace
