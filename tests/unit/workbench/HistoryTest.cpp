#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/workbench/History.h"

namespace pelmora::workbench {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

EpochSample At(double time, uint64_t sequence, int used = 8, double pdop = 1.5) {
  EpochSample s;
  s.time = time;
  s.sequence = sequence;
  s.hasFix = true;
  s.fixMode = 3;
  s.satsUsed = used;
  s.satsInView = 12;
  s.pdop = pdop;
  s.meanSignalUsed = 42.5;
  return s;
}

// 10 Hz epochs numbered from 0; satellites used 8 except the spikes given.
History Filled(std::size_t capacity, int epochs,
               std::initializer_list<std::pair<int, int>> spikes) {
  History h(capacity);
  for (int i = 0; i < epochs; ++i) {
    int used = 8;
    for (const auto& [at, value] : spikes)
      if (at == i) used = value;
    h.Add(At(i / 10.0, i + 1, used, i == 123 ? 9.9 : 1.5), i == 40 ? kNaN : 0.25 * (i % 4));
  }
  return h;
}

TEST(HistoryTest, DecimationKeepsEveryColumnsMinimumAndMaximum) {
  const History h = Filled(1024, 1000, {{500, 20}, {777, 3}});
  for (const std::size_t count : {10u, 7u, 1000u}) {
    std::vector<HistoryColumn> columns(count);
    h.Decimate(0.0, 100.0, columns);
    uint32_t epochs = 0;
    float highest = 0, lowest = 99, worstPdop = 0;
    for (const HistoryColumn& c : columns) {
      epochs += c.epochs;
      highest = std::max(highest, c[Series::SatsUsed].max);
      lowest = std::min(lowest, c[Series::SatsUsed].min);
      worstPdop = std::max(worstPdop, c[Series::Pdop].max);
      if (c.epochs > 0) {
        EXPECT_FLOAT_EQ(c[Series::MeanSignal].max, 42.5f);
      }
    }
    EXPECT_EQ(epochs, 1000u) << count;
    EXPECT_EQ(highest, 20.0f) << count;
    EXPECT_EQ(lowest, 3.0f) << count;
    EXPECT_NEAR(worstPdop, 9.9f, 1e-4) << count;
  }
  std::vector<HistoryColumn> ten(10);
  h.Decimate(0.0, 100.0, ten);
  EXPECT_EQ(ten[5][Series::SatsUsed].max, 20.0f);  // the spike's column only
  EXPECT_EQ(ten[4][Series::SatsUsed].max, 8.0f);
  EXPECT_EQ(ten[7][Series::SatsUsed].min, 3.0f);
  EXPECT_EQ(ten[6][Series::SatsUsed].min, 8.0f);
  EXPECT_EQ(ten[0][Series::Deviation].min, 0.0f);
  EXPECT_EQ(ten[0][Series::Deviation].max, 0.75f);
  EXPECT_EQ(ten[0].epochs, 100u);
  // A window past the end, and a column too narrow to hold an epoch, are empty.
  h.Decimate(200.0, 300.0, ten);
  EXPECT_TRUE(ten[3][Series::SatsUsed].empty());
  std::vector<HistoryColumn> fine(1000);
  h.Decimate(0.0, 10.0, fine);  // 100 epochs in 1000 columns
  EXPECT_EQ(fine[0].epochs, 1u);
  EXPECT_EQ(fine[1].epochs, 0u);
}

TEST(HistoryTest, RingForgetsTheOldestEpochs) {
  const History h = Filled(128, 300, {{100, 30}, {250, 1}});
  EXPECT_EQ(h.size(), 128u);
  EXPECT_DOUBLE_EQ(h.FirstTime(), 17.2);
  EXPECT_DOUBLE_EQ(h.LastTime(), 29.9);
  std::vector<HistoryColumn> columns(3);
  h.Decimate(0.0, 30.0, columns);
  EXPECT_EQ(columns[0].epochs + columns[1].epochs + columns[2].epochs, 128u);
  EXPECT_EQ(columns[2][Series::SatsUsed].max, 8.0f);  // epoch 100 is gone
  EXPECT_EQ(columns[2][Series::SatsUsed].min, 1.0f);
  EXPECT_LE(h.MemoryUsed(), h.MemoryBudget());
}

TEST(HistoryTest, OutagesAndAbsentValues) {
  History h(256);
  h.Add(At(0, 1), 0);
  h.Add(At(1, 2), 0);
  h.Add(At(2, 3), 0);
  h.Add(At(5, 6), 0);  // epochs 4 and 5 missing, by sequence and by time
  EpochSample lost = At(6, 7);
  lost.hasFix = false;
  lost.pdop = 0;
  lost.logOffset = 4711;
  h.Add(lost, kNaN);
  lost.time = 7;
  lost.sequence = 8;
  h.Add(lost, kNaN);
  h.Add(At(8, 9), 0);
  h.Add(At(3, 10), 0);  // the receiver's clock steps back
  h.Add(At(4, 11), 0);
  h.Add(At(7, 12), 0);  // a gap of two after the step back
  ASSERT_EQ(h.outages().size(), 4u);
  const Outage& missing = h.outages()[0];
  EXPECT_EQ(missing.kind, OutageKind::EpochsMissing);
  EXPECT_EQ(missing.missing, 2u);
  EXPECT_EQ(missing.start, 2);
  EXPECT_EQ(missing.end, 5);
  const Outage& fix = h.outages()[1];
  EXPECT_EQ(fix.kind, OutageKind::FixLost);
  EXPECT_EQ(fix.start, 6);
  EXPECT_EQ(fix.end, 8);
  EXPECT_FALSE(fix.ongoing);
  EXPECT_EQ(fix.logOffset, 4711);
  const Outage& jump = h.outages()[2];
  EXPECT_EQ(jump.kind, OutageKind::TimeJump);
  EXPECT_EQ(jump.start, 8);
  EXPECT_EQ(jump.end, 3);
  EXPECT_EQ(jump.axis, 9);  // the axis runs on by one interval
  EXPECT_EQ(h.outages()[3].missing, 2u);
  EXPECT_DOUBLE_EQ(h.LastTime(), 13);

  std::vector<HistoryColumn> columns(14);
  h.Decimate(0, 14, columns);
  EXPECT_EQ(columns[6].epochs, 1u);
  EXPECT_TRUE(columns[6][Series::Pdop].empty());
  EXPECT_TRUE(columns[6][Series::Deviation].empty());
  EXPECT_EQ(columns[6][Series::SatsUsed].max, 8.0f);
  EXPECT_EQ(columns[3].epochs, 0u);  // the missing epochs leave a gap
  EXPECT_EQ(columns[9].epochs, 1u);  // after the step back
}

TEST(HistoryTest, ReplayJumpsOfThePlayerAreNoOutages) {
  History h(256);
  auto replayed = [](double time, uint64_t sequence, bool fix) {
    EpochSample s = At(time, sequence);
    s.hasFix = fix;
    s.logOffset = static_cast<int64_t>(sequence) * 100;
    return s;
  };
  for (uint64_t i = 1; i <= 7; ++i)
    h.Add(replayed(i, i, i != 6), 0);  // the fix lost at epoch 6
  ASSERT_EQ(h.outages().size(), 1u);
  EXPECT_EQ(h.outages()[0].axisEnd, 7);
  // Back to epoch 3 and on again: already in the history.
  for (uint64_t i = 3; i <= 7; ++i)
    h.Add(replayed(i, i, i != 6), 0);
  EXPECT_EQ(h.size(), 7u);
  // Ahead to epoch 50, without a fix, over epochs never read: no gap, no lost fix.
  h.Add(replayed(50, 50, false), kNaN);
  h.Add(replayed(51, 51, true), 0);
  EXPECT_EQ(h.size(), 9u);
  EXPECT_EQ(h.outages().size(), 1u);
  // The replay goes on: a gap in the log is one.
  h.Add(replayed(55, 52, true), 0);
  ASSERT_EQ(h.outages().size(), 2u);
  const Outage& gap = h.outages()[1];
  EXPECT_EQ(gap.kind, OutageKind::EpochsMissing);
  EXPECT_EQ(gap.sequence, 52u);
  EXPECT_EQ(gap.axis, 51);
  EXPECT_EQ(gap.axisEnd, 55);
}

}  // namespace
}  // namespace pelmora::workbench
