#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "app/workbench/AccuracyStats.h"
#include "app/workbench/Geodesy.h"

namespace pelmora::workbench {
namespace {

const Geodetic kMark{47.3, 8.5, 500.0};

TEST(GeodesyTest, KnownPointsAndRoundTrips) {
  const Ecef equator = GeodeticToEcef({0, 0, 0});
  EXPECT_NEAR(equator.x, 6378137.0, 1e-6);
  EXPECT_NEAR(GeodeticToEcef({90, 0, 0}).z, 6356752.314245, 1e-5);  // semi-minor axis
  for (const Geodetic g :
       {kMark, Geodetic{-89.9999, -170, 8000}, Geodetic{90, 0, 0}, Geodetic{0.0001, 179.9, -50}}) {
    const Geodetic back = EcefToGeodetic(GeodeticToEcef(g));
    EXPECT_NEAR(back.latitude, g.latitude, 1e-11);
    EXPECT_NEAR(back.height, g.height, 1e-6);
    const Enu v = LocalFrame(g).ToEnu(Geodetic{g.latitude, g.longitude, g.height + 100});
    EXPECT_NEAR(v.up, 100.0, 1e-8);
    EXPECT_NEAR(std::hypot(v.east, v.north), 0.0, 1e-8);
  }
  // 0.001° of longitude on the equator is a·π/180000 east, and the surface falls away below it.
  const Enu east = LocalFrame({0, 0, 0}).ToEnu(Geodetic{0, 0.001, 0});
  EXPECT_NEAR(east.east, 6378137.0 * std::sin(std::numbers::pi / 180000), 1e-6);
  EXPECT_NEAR(east.up, -6378137.0 * (1 - std::cos(std::numbers::pi / 180000)), 1e-6);
}

TEST(PercentileTest, InterpolatesBetweenRanks) {
  std::vector<float> v{4, 1, 3, 2};
  EXPECT_DOUBLE_EQ(Percentile(v, 0.5), 2.5);     // rank 1.5
  EXPECT_NEAR(Percentile(v, 0.95), 3.85, 1e-9);  // rank 2.85
  EXPECT_DOUBLE_EQ(Percentile(v, 0.0), 1.0);
  EXPECT_DOUBLE_EQ(Percentile(v, 1.0), 4.0);
  std::vector<float> one{7};
  EXPECT_DOUBLE_EQ(Percentile(one, 0.95), 7.0);
  std::vector<float> none;
  EXPECT_TRUE(std::isnan(Percentile(none, 0.5)));
}

EpochSample Fix(const Geodetic& g, int dimension = 3, double pdop = 1.5, int sats = 8) {
  EpochSample s;
  s.hasFix = true;
  s.position = g;
  s.fixDimension = dimension;
  s.pdop = pdop;
  s.satsUsed = sats;
  return s;
}

// Four fixes at known offsets from the mark: east, north, up = (1,0,1), (0,2,−2), (−3,0,3),
// (0,−4,−4); their mean is (−0.5, −0.5, −0.5).
AccuracyStats Scatter(ReferenceKind kind) {
  AccuracyStats stats;
  stats.SetReference(kind, kMark);
  stats.Start();
  const LocalFrame frame(kMark);
  const Enu offsets[] = {{1, 0, 1}, {0, 2, -2}, {-3, 0, 3}, {0, -4, -4}};
  double t = 100;
  for (const Enu& e : offsets) {
    EpochSample s = Fix(frame.ToGeodetic(e));
    s.time = t += 0.5;
    EXPECT_EQ(stats.Add(s), AccuracyStats::Outcome::Used);
  }
  return stats;
}

TEST(AccuracyStatsTest, KnownScatterAboutEachReference) {
  const double cep95 = 0.95 * 3;  // rank of the 95th percentile of four values
  {
    const AccuracySummary s = Scatter(ReferenceKind::Surveyed).Summary();
    EXPECT_EQ(s.samples, 4u);
    EXPECT_DOUBLE_EQ(s.duration, 1.5);
    const Enu mean = LocalFrame(kMark).ToEnu(s.mean);
    EXPECT_NEAR(mean.east, -0.5, 1e-6);
    EXPECT_NEAR(mean.north, -0.5, 1e-6);
    EXPECT_NEAR(mean.up, -0.5, 1e-6);
    EXPECT_NEAR(s.sigmaE, 1.5, 1e-6);              // √(10/4 − 0.25)
    EXPECT_NEAR(s.sigmaN, std::sqrt(4.75), 1e-6);  // √(20/4 − 0.25)
    EXPECT_NEAR(s.sigmaU, std::sqrt(7.25), 1e-6);  // √(30/4 − 0.25)
    EXPECT_NEAR(s.twoDrms, 2 * std::sqrt(7.0), 1e-6);
    EXPECT_NEAR(s.cep50, 2.5, 1e-5);  // distances 1, 2, 3, 4
    EXPECT_NEAR(s.cep95, 1 + cep95, 1e-5);
    EXPECT_NEAR(s.vertical95, 1 + cep95, 1e-5);
    EXPECT_NEAR(s.maxHorizontalAxis, 4, 1e-5);
    EXPECT_NEAR(s.maxVertical, 4, 1e-5);
  }
  {
    // From the first fix: distances 0, √5, 4, √17; σ stays about the mean.
    const AccuracySummary s = Scatter(ReferenceKind::FirstFix).Summary();
    EXPECT_NEAR(s.sigmaE, 1.5, 1e-6);
    EXPECT_NEAR(s.cep50, (std::sqrt(5.0) + 4) / 2, 1e-5);
    EXPECT_NEAR(s.cep95, 4 + 0.85 * (std::sqrt(17.0) - 4), 1e-5);
    EXPECT_NEAR(s.vertical95, 3 + 0.85 * 2, 1e-5);  // |up| 0, 2, 3, 5
  }
  {
    // About the final mean: distances √2.5, √6.5, √6.5, √12.5; |up| 1.5, 1.5, 3.5, 3.5.
    AccuracyStats stats = Scatter(ReferenceKind::RunningAverage);
    const AccuracySummary s = stats.Summary();
    EXPECT_NEAR(s.cep50, std::sqrt(6.5), 1e-5);
    EXPECT_NEAR(s.cep95, std::sqrt(6.5) + 0.85 * (std::sqrt(12.5) - std::sqrt(6.5)), 1e-5);
    EXPECT_NEAR(s.vertical95, 3.5, 1e-5);
    EXPECT_NEAR(stats.HorizontalDeviation(kMark), std::sqrt(0.5), 1e-6);
    EXPECT_NEAR(s.reference.latitude, s.mean.latitude, 1e-12);
  }
}

TEST(AccuracyStatsTest, KeptDeviationsComeWithTheirTimesInTheReferencesFrame) {
  std::vector<std::pair<Enu, float>> kept;
  Scatter(ReferenceKind::Surveyed).ForEachDeviation([&](const Enu& d, float t) {
    kept.emplace_back(d, t);
  });
  ASSERT_EQ(kept.size(), 4u);
  EXPECT_NEAR(kept[1].first.north, 2, 1e-5);
  EXPECT_NEAR(kept[2].first.east, -3, 1e-5);
  EXPECT_NEAR(kept[3].first.up, -4, 1e-5);
  EXPECT_FLOAT_EQ(kept[3].second, 1.5f);
  AccuracyStats untimed;
  untimed.Start();
  EpochSample noTime = Fix(kMark);
  noTime.time = std::nan("");
  untimed.Add(noTime);
  untimed.ForEachDeviation([](const Enu&, float t) { EXPECT_TRUE(std::isnan(t)); });
}

TEST(AccuracyStatsTest, GatesExcludeExactlyTheFailingEpochs) {
  AccuracyStats stats;
  stats.SetGates({.minFixDimension = 3, .maxPdop = 2.5, .minSatsUsed = 5});
  EXPECT_EQ(stats.Add(Fix(kMark)), AccuracyStats::Outcome::NotRunning);
  stats.Start();
  using O = AccuracyStats::Outcome;
  EXPECT_EQ(stats.Add(Fix(kMark, 3, 1.2, 8)), O::Used);
  EXPECT_EQ(stats.Add(Fix(kMark, 2, 1.2, 8)), O::Excluded);  // 2D
  EXPECT_EQ(stats.Add(Fix(kMark, 3, 3.0, 8)), O::Excluded);  // PDOP above the limit
  EXPECT_EQ(stats.Add(Fix(kMark, 3, 0.0, 8)), O::Excluded);  // PDOP not given
  EXPECT_EQ(stats.Add(Fix(kMark, 3, 2.5, 4)), O::Excluded);  // too few satellites
  EXPECT_EQ(stats.Add(Fix(kMark, 3, 2.5, 5)), O::Used);      // both limits inclusive
  EXPECT_EQ(stats.Add(EpochSample{}), O::Excluded);          // no fix
  // Through an engine epoch: 3D DGPS passes, satellites used are counted over every system.
  Epoch epoch{};
  epoch.flags = kEpochHasFix;
  epoch.fix.validFlags = kValidFixMode | kValidGeometry | kValidTime;
  epoch.fix.fixMode = 5;
  epoch.fix.pdop = 2.0f;
  epoch.satCount = 7;
  for (int i = 0; i < 7; ++i)
    epoch.sats[i] = {static_cast<int16_t>(i % 3), 1, 0, 0, 40, 1};
  EXPECT_EQ(stats.Add(SampleOf(epoch, 0)), O::Used);
  epoch.sats[0].used = epoch.sats[1].used = epoch.sats[2].used = 0;
  EXPECT_EQ(SampleOf(epoch, 0).satsInView, 7);
  EXPECT_EQ(stats.Add(SampleOf(epoch, 0)), O::Excluded);
  EXPECT_EQ(stats.samples(), 3u);
  EXPECT_EQ(stats.excluded(), 6u);

  stats.Stop();
  EXPECT_EQ(stats.Add(Fix(kMark)), O::NotRunning);
  EXPECT_EQ(stats.Summary().samples + stats.Summary().excluded, 9u);
  stats.Reset();
  EXPECT_EQ(stats.Summary().samples, 0u);
  EXPECT_TRUE(std::isnan(stats.Summary().cep50));
  EXPECT_FALSE(stats.Reference().has_value());
}

TEST(AccuracyStatsTest, KeptSamplesThinEvenlyWhileMeansCountEveryEpoch) {
  AccuracyStats stats(4);
  stats.SetReference(ReferenceKind::FirstFix);
  stats.Start();
  const LocalFrame frame(kMark);
  for (int k = 0; k < 10; ++k)
    stats.Add(Fix(frame.ToGeodetic({0, double(k), 0})));
  const std::vector<Enu> kept = stats.Deviations();
  ASSERT_EQ(kept.size(), 3u);
  for (std::size_t i = 0; i < kept.size(); ++i)
    EXPECT_NEAR(kept[i].north, 4.0 * i, 1e-5);
  EXPECT_EQ(stats.samples(), 10u);
  EXPECT_NEAR(stats.Summary().sigmaN, std::sqrt(8.25), 1e-6);  // 0..9 about 4.5
}

TEST(AccuracyStatsTest, SurveyedMarkWithoutHeightTakesTheMeanHeight) {
  AccuracyStats stats;
  stats.SetReference(ReferenceKind::Surveyed, {kMark.latitude, kMark.longitude, 0}, false);
  stats.Start();
  stats.Add(Fix({kMark.latitude, kMark.longitude, 480}));
  stats.Add(Fix({kMark.latitude, kMark.longitude, 520}));
  EXPECT_NEAR(stats.Reference()->height, 500, 1e-6);
  EXPECT_NEAR(stats.Summary().vertical95, 20, 1e-5);
}

}  // namespace
}  // namespace pelmora::workbench
