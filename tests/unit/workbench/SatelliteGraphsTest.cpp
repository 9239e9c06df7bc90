// The Satellites tab's numbers: trails ageing and bounds, the system filter and its order, the
// sky projection and the bars' layout.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/workbench/Constellations.h"
#include "app/workbench/SatelliteGraphs.h"
#include "app/workbench/SkyTrails.h"

namespace pelmora::workbench {
namespace {

EpochSat Sat(SatSystem system, int svid, int elevation = 45, int azimuth = 90, int used = 1) {
  return {static_cast<int16_t>(system),
          static_cast<int16_t>(svid),
          static_cast<int16_t>(elevation),
          static_cast<int16_t>(azimuth),
          40,
          static_cast<int16_t>(used)};
}

TEST(SkyTrails, KeepsAPointPerStepWithinTheWindow) {
  SkyTrails trails(60.0, 10.0);
  for (int t = 0; t <= 200; ++t) {
    const EpochSat sat = Sat(SatSystem::Gps, 5, 10 + t / 10);
    trails.Add(t, &sat, 1);
  }
  ASSERT_EQ(trails.Tracks().size(), 1u);
  const auto& points = trails.Tracks()[0].points;
  ASSERT_EQ(points.size(), 7u);  // 140, 150, ... 200
  EXPECT_EQ(points.front().time, 140.0);
  EXPECT_EQ(points.back().time, 200.0);
  EXPECT_EQ(points.back().elevationDeg, 30.0f);
}

TEST(SkyTrails, SatellitesNoLongerReportedAgeOut) {
  SkyTrails trails(60.0, 10.0);
  const EpochSat both[] = {Sat(SatSystem::Gps, 5), Sat(SatSystem::Glonass, 5)};
  for (int t = 0; t <= 30; t += 10)
    trails.Add(t, both, 2);
  EXPECT_EQ(trails.Tracks().size(), 2u);
  for (int t = 40; t <= 100; t += 10)
    trails.Add(t, both, 1);
  ASSERT_EQ(trails.Tracks().size(), 1u);
  EXPECT_EQ(trails.Tracks()[0].system, static_cast<int16_t>(SatSystem::Gps));
  trails.Add(200, both, 0);
  EXPECT_TRUE(trails.Tracks().empty());
}

TEST(SkyTrails, BadTimesAndPlacesAddNothingAndTracksStayBounded) {
  SkyTrails trails(600.0, 1.0);
  const EpochSat unplaced[] = {Sat(SatSystem::Gps, 1, 0, 0), Sat(SatSystem::Gps, 2, -5),
                               Sat(SatSystem::Gps, 3, 91), Sat(SatSystem::Gps, 4, 45, 400),
                               Sat(SatSystem::Gps, 5, 45, -1)};
  trails.Add(10.0, unplaced, 5);
  EXPECT_EQ(trails.PointCount(), 0u);
  const EpochSat one = Sat(SatSystem::Gps, 7);
  trails.Add(20.0, &one, 1);
  trails.Add(NAN, &one, 1);
  trails.Add(30.0, &one, -4);
  EXPECT_EQ(trails.PointCount(), 1u);
  trails.Add(5.0, &one, 1);  // back in time: starts again
  ASSERT_EQ(trails.PointCount(), 1u);
  EXPECT_EQ(trails.Tracks()[0].points[0].time, 5.0);

  // A new set of numbers every epoch: the oldest tracks make way.
  std::vector<EpochSat> sats(kMaxAllSats);
  for (int epoch = 0; epoch < 10; ++epoch) {
    for (int i = 0; i < kMaxAllSats; ++i)
      sats[i] = Sat(SatSystem::Other, epoch * kMaxAllSats + i);
    trails.Add(100.0 + epoch, sats.data(), kMaxAllSats + 20);
  }
  EXPECT_EQ(trails.Tracks().size(), SkyTrails::kMaxTracks);
  EXPECT_EQ(trails.Tracks().back().svid, 10 * kMaxAllSats - 1);
}

TEST(ConstellationFilter, OptionValuesAndToggles) {
  const struct {
    int32_t option;
    int32_t kept;
    bool gps, navic;
  } cases[] = {{127, 127, true, true},   {0, 0, false, false},     {-1, 127, true, true},
               {0x41, 0x41, true, true}, {0x380, 0, false, false}, {2, 2, false, false}};
  for (const auto& c : cases) {
    ConstellationFilter filter(c.option);
    EXPECT_EQ(filter.Option(), c.kept) << c.option;
    EXPECT_EQ(filter.ShowsSystem(static_cast<int>(SatSystem::Gps)), c.gps) << c.option;
    EXPECT_EQ(filter.ShowsSystem(static_cast<int>(SatSystem::Navic)), c.navic) << c.option;
    EXPECT_TRUE(filter.ShowsSystem(static_cast<int>(SatSystem::Other))) << c.option;
    EXPECT_TRUE(filter.ShowsSystem(99)) << c.option;
  }
  ConstellationFilter filter;
  filter.Set(1, false);
  filter.Set(kConstellationCount, false);  // other systems cannot be hidden
  EXPECT_EQ(filter.Option(), 125);
  EXPECT_FALSE(filter.ShowsSystem(static_cast<int>(SatSystem::Glonass)));
  filter.Set(1, true);
  EXPECT_EQ(filter.Option(), 127);
}

TEST(ConstellationFilter, ShownSatellitesInTheTablesOrder) {
  Epoch epoch{};
  const EpochSat sats[] = {Sat(SatSystem::Sbas, 133), Sat(SatSystem::Gps, 12),
                           Sat(SatSystem::Other, 3),  Sat(SatSystem::Galileo, 4),
                           Sat(SatSystem::Gps, 2),    Sat(SatSystem::Glonass, 9)};
  std::copy(std::begin(sats), std::end(sats), epoch.sats);
  epoch.satCount = 6;
  ConstellationFilter filter;
  filter.Set(ConstellationIndex(static_cast<int>(SatSystem::Galileo)), false);
  std::vector<std::pair<int, int>> order;
  for (const EpochSat& s : ShownSatellites(epoch, filter))
    order.emplace_back(s.system, s.svid);
  const std::vector<std::pair<int, int>> expected = {{0, 2}, {0, 12}, {2, 9}, {1, 133}, {7, 3}};
  EXPECT_EQ(order, expected);
  epoch.satCount = -3;
  EXPECT_TRUE(ShownSatellites(epoch, filter).empty());
  epoch.satCount = 1000;
  EXPECT_EQ(ShownSatellites(epoch, ConstellationFilter()).size(), std::size_t{kMaxAllSats});
}

TEST(SatelliteGraphs, SkyProjectionIsNorthUpAndEvenInZenithAngle) {
  const struct {
    double elevation, azimuth, x, y;
  } cases[] = {{90, 123, 0, 0},        {0, 0, 0, -1},
               {0, 90, 1, 0},          {0, 180, 0, 1},
               {30, 270, -2.0 / 3, 0}, {60, 45, std::sqrt(0.5) / 3, -std::sqrt(0.5) / 3},
               {-10, 90, 1, 0},        {NAN, 90, 0, 0}};
  for (const auto& c : cases) {
    const SkyPoint p = ProjectSky(c.elevation, c.azimuth);
    EXPECT_NEAR(p.x, c.x, 1e-9) << c.elevation << "/" << c.azimuth;
    EXPECT_NEAR(p.y, c.y, 1e-9) << c.elevation << "/" << c.azimuth;
  }
}

TEST(SatelliteGraphs, BarsFillTheWidthInGroupsWithoutOverlap) {
  const int groups[] = {3, 0, 2};
  const BarMetrics metrics{20, 10, 0.25};
  const std::vector<BarSlot> slots = LayoutBars(groups, 100, metrics);
  ASSERT_EQ(slots.size(), 5u);
  const int expectedGroups[] = {0, 0, 0, 2, 2};
  for (std::size_t i = 0; i < slots.size(); ++i) {
    EXPECT_EQ(slots[i].group, expectedGroups[i]);
    EXPECT_GE(slots[i].left, 0);
    EXPECT_LE(slots[i].left + slots[i].width, 100);
    if (i > 0) {
      EXPECT_GT(slots[i].left, slots[i - 1].left + slots[i - 1].width);
    }
  }
  EXPECT_GT(slots[3].left - slots[2].left, slots[2].left - slots[1].left) << "a gap between groups";

  EXPECT_EQ(LayoutBars(groups, 10000, metrics)[0].width, 20) << "no wider than the widest";
  const int many[] = {64};
  for (const BarSlot& s : LayoutBars(many, 20, metrics))
    EXPECT_EQ(s.width, 1);
  const int none[] = {0, -2};
  EXPECT_TRUE(LayoutBars(none, 100, metrics).empty());
}

TEST(SatelliteGraphs, SignalScaleReachesTheStrongest) {
  EXPECT_EQ(SignalScaleTop({}), 60);
  const std::pair<int, int> cases[] = {{55, 60}, {60, 60}, {61, 70}, {99, 100}, {32767, 100}};
  for (const auto& [snr, top] : cases) {
    EpochSat sat = Sat(SatSystem::Gps, 1);
    sat.snr = static_cast<int16_t>(snr);
    EXPECT_EQ(SignalScaleTop({&sat, 1}), top) << snr;
  }
}

}  // namespace
}  // namespace pelmora::workbench
