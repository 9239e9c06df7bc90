// WorkbenchModel: the satellite table, the per-system counts, the statistics and the outage
// list from hand-made epochs.
#include "app/workbench/WorkbenchModel.h"

#include <gtest/gtest.h>

namespace pelmora::workbench {
namespace {

// A 3D fix at 52.52 N 13.405 E with 43 satellites: GPS 12 (8 used), GLONASS 10 (5 used),
// Galileo 11 (6 used), BeiDou 10 (4 used). Elevations count down from the first satellite.
Epoch MultiGnssEpoch(uint64_t sequence, double utcSeconds, double latitudeOffset = 0.0) {
  Epoch e{};
  e.sequence = sequence;
  e.flags = kEpochHasFix;
  e.fix.validFlags = kValidTime | kValidFixMode | kValidPosition | kValidEllipsoidHeight;
  e.fix.utcSeconds = utcSeconds;
  e.fix.fixMode = 3;
  e.fix.latitude = 52.52 + latitudeOffset;
  e.fix.longitude = 13.405;
  e.fix.ellipsoidHeight = 80.0;
  const struct {
    SatSystem system;
    int inView, used;
  } systems[] = {{SatSystem::Gps, 12, 8},
                 {SatSystem::Glonass, 10, 5},
                 {SatSystem::Galileo, 11, 6},
                 {SatSystem::Beidou, 10, 4}};
  for (const auto& s : systems) {
    for (int i = 0; i < s.inView; ++i) {
      EpochSat& sat = e.sats[e.satCount];
      sat = {static_cast<int16_t>(s.system),
             static_cast<int16_t>(i + 1),
             static_cast<int16_t>(85 - e.satCount * 2),
             static_cast<int16_t>(e.satCount * 8),
             static_cast<int16_t>(30 + i),
             static_cast<int16_t>(i < s.used ? 1 : 0)};
      ++e.satCount;
    }
  }
  return e;
}

TEST(WorkbenchModel, SatelliteRows_HoldEverySatelliteOfTheEpoch) {
  WorkbenchModel model(128, 128);
  model.OnEpoch(MultiGnssEpoch(1, 3600.0), {});
  const std::vector<SatRow> rows = model.SatelliteRows();
  ASSERT_EQ(rows.size(), 43u);
  const SatRow& first = rows.front();
  EXPECT_EQ(first.cells[0], "GPS");
  EXPECT_EQ(first.cells[1], "1");
  EXPECT_EQ(first.cells[2], "85\xB0");
  EXPECT_EQ(first.cells[3], "0\xB0");
  EXPECT_EQ(first.cells[4], "30 dB-Hz");
  EXPECT_EQ(first.cells[5], "Yes");
  EXPECT_EQ(rows[12].cells[0], "GLONASS");
  EXPECT_EQ(rows.back().cells[0], "BeiDou");
  EXPECT_EQ(rows.back().cells[1], "10");
  EXPECT_EQ(rows.back().cells[5], "No");
}

TEST(WorkbenchModel, SortBy_OrdersByTheColumnAndReversesOnTheSameColumn) {
  WorkbenchModel model(128, 128);
  Epoch e = MultiGnssEpoch(1, 3600.0);
  e.sats[20].elevation = 90;
  model.OnEpoch(e, {});
  model.SortBy(SatColumn::Elevation);
  std::vector<SatRow> rows = model.SatelliteRows();
  ASSERT_EQ(rows.size(), 43u);
  EXPECT_EQ(rows.front().cells[2], "1\xB0");  // 85 - 42 * 2
  EXPECT_EQ(rows.back().cells[2], "90\xB0");
  model.SortBy(SatColumn::Elevation);
  EXPECT_FALSE(model.SortAscending());
  rows = model.SatelliteRows();
  EXPECT_EQ(rows.front().cells[2], "90\xB0");
  EXPECT_EQ(rows.front().cells[0], "GLONASS");
  model.SortBy(SatColumn::Used);
  EXPECT_TRUE(model.SortAscending());
  rows = model.SatelliteRows();
  EXPECT_EQ(rows[19].cells[5], "No");  // 43 - 23 used
  EXPECT_EQ(rows[20].cells[5], "Yes");
}

TEST(WorkbenchModel, SystemCounts_AreUsedOverInViewPerSystem) {
  WorkbenchModel model(128, 128);
  model.OnEpoch(MultiGnssEpoch(1, 3600.0), {});
  const auto counts = model.SystemCounts();
  const char* expected[][2] = {{"GPS", "8 / 12"},    {"GLONASS", "5 / 10"}, {"Galileo", "6 / 11"},
                               {"BeiDou", "4 / 10"}, {"QZSS", "0 / 0"},     {"SBAS", "0 / 0"},
                               {"NavIC", "0 / 0"}};
  for (int i = 0; i < kConstellationCount; ++i) {
    EXPECT_STREQ(counts[i].caption, expected[i][0]);
    EXPECT_EQ(counts[i].value, expected[i][1]);
  }
}

TEST(WorkbenchModel, Statistics_FollowTheUsedEpochs) {
  WorkbenchModel model(128, 128);
  auto stats = model.Statistics();
  EXPECT_EQ(stats[0].value, "0");
  EXPECT_EQ(stats[7].value, "-");
  // Three fixes a second apart, 1.11 m north and south of the middle one; one without a fix.
  model.OnEpoch(MultiGnssEpoch(1, 3600.0, -1e-5), {});
  model.OnEpoch(MultiGnssEpoch(2, 3601.0), {});
  model.OnEpoch(MultiGnssEpoch(3, 3602.0, 1e-5), {});
  Epoch lost = MultiGnssEpoch(4, 3603.0);
  lost.flags = 0;
  model.OnEpoch(lost, {});
  model.OnEpoch(lost, {});  // read again: ignored
  stats = model.Statistics();
  EXPECT_STREQ(stats[0].caption, "Samples");
  EXPECT_EQ(stats[0].value, "3");
  EXPECT_EQ(stats[1].value, "1");
  EXPECT_EQ(stats[2].value, "0:00:02");
  EXPECT_EQ(stats[3].value, "52.5200000\xB0, 13.4050000\xB0, 80.00 m");
  EXPECT_EQ(stats[4].value, "0.000 m");
  EXPECT_EQ(stats[5].value, "0.909 m");  // 1.113 m * sqrt(2/3)
  EXPECT_STREQ(stats[10].caption, "Vertical 95 %");
}

TEST(WorkbenchModel, OutageRows_ListTheLostFix) {
  WorkbenchModel model(128, 128);
  model.OnEpoch(MultiGnssEpoch(1, 3600.0), {});
  Epoch lost = MultiGnssEpoch(2, 3601.0);
  lost.flags = 0;
  model.OnEpoch(lost, {});
  auto rows = model.OutageRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], "Fix lost");
  EXPECT_EQ(rows[0][1], "01:00:01.0");
  EXPECT_EQ(rows[0][2], "ongoing");
  model.OnEpoch(MultiGnssEpoch(3, 3605.0), {});
  rows = model.OutageRows();
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0][2], "01:00:05.0");
}

TEST(WorkbenchModel, Trails_FollowTheEpochsAndStartAgainWithANewSource) {
  WorkbenchModel model(128, 128);
  model.OnEpoch(MultiGnssEpoch(1, 3600.0), {});
  model.OnEpoch(MultiGnssEpoch(2, 3630.0), {});
  model.OnEpoch(MultiGnssEpoch(2, 3660.0), {});  // read again: no new point
  EXPECT_EQ(model.Trails().Tracks().size(), 43u);
  EXPECT_EQ(model.Trails().PointCount(), 86u);
  model.OnNewSource();
  model.OnEpoch(MultiGnssEpoch(1, 3700.0), {});
  EXPECT_EQ(model.Trails().PointCount(), 43u);
}

}  // namespace
}  // namespace pelmora::workbench
