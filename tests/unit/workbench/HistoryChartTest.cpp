// The History tab's chart numbers: time-axis ticks per window, the columns of a window, y scales,
// the segments of a series, and the outage an outage row seeks the player to.
#include "app/workbench/HistoryChart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace pelmora::workbench {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(HistoryChart, TimeTicks_RoundTimesOfDayForEachWindow) {
  const struct {
    const char* window;
    double from, to;
    std::size_t count;
    const char *first, *second, *third;
  } cases[] = {
      {"1 min", 43150.0, 43210.0, 7, "11:59:10", "11:59:20", "11:59:30"},
      {"5 min", 42900.5, 43200.5, 5, "11:56", "11:57", "11:58"},
      {"15 min", 42300.0, 43200.0, 8, "11:46", "11:48", "11:50"},
      {"1 h", 39600.0, 43200.0, 7, "11:00", "11:10", "11:20"},
      {"6 h", 21600.0, 43200.0, 7, "06:00", "07:00", "08:00"},
      {"24 h over midnight", 43200.0, 129600.0, 5, "12:00", "18:00", "00:00"},
  };
  for (const auto& c : cases) {
    const auto ticks = TimeTicks(c.from, c.to, 8);
    ASSERT_EQ(ticks.size(), c.count) << c.window;
    EXPECT_EQ(ticks[0].label, c.first) << c.window;
    EXPECT_EQ(ticks[1].label, c.second) << c.window;
    EXPECT_EQ(ticks[2].label, c.third) << c.window;
    EXPECT_GE(ticks.front().time, c.from) << c.window;
    EXPECT_LE(ticks.back().time, c.to) << c.window;
  }
  EXPECT_TRUE(TimeTicks(10.0, 5.0, 8).empty());
  EXPECT_TRUE(TimeTicks(0.0, 60.0, 0).empty());
  EXPECT_TRUE(TimeTicks(kNaN, 60.0, 8).empty());
}

TEST(HistoryChart, ChooseColumns_EndsWithTheLastEpochOnWholeColumns) {
  // 60 s over 480 columns: 0.125 s each.
  ChartSpan span = ChooseColumns(100.3, 60.0, 480);
  EXPECT_EQ(span.columns, 480);
  EXPECT_DOUBLE_EQ(span.from, 40.375);
  EXPECT_DOUBLE_EQ(span.To(), 100.375);
  EXPECT_EQ(span.Column(100.3), 479);
  EXPECT_EQ(span.Column(40.375), 0);
  // Within the same last column the window stands still; the next column moves it by one.
  EXPECT_DOUBLE_EQ(ChooseColumns(100.37, 60.0, 480).from, 40.375);
  EXPECT_DOUBLE_EQ(ChooseColumns(100.375, 60.0, 480).from, 40.5);
  // An empty history starts the window at 0; no room, no columns.
  span = ChooseColumns(kNaN, 900.0, 300);
  EXPECT_DOUBLE_EQ(span.from, 0.0);
  EXPECT_DOUBLE_EQ(span.To(), 900.0);
  EXPECT_EQ(ChooseColumns(100.0, 60.0, 0).columns, 0);
  EXPECT_EQ(ChartWindowIndex(3600), 3);
  EXPECT_EQ(ChartWindowIndex(-7), kDefaultChartWindow);
}

TEST(HistoryChart, NiceScale_HoldsTheRangeInAtMostFourRoundSteps) {
  const struct {
    float min, max;
    bool zeroBased;
    double minSpan, low, high, step;
  } cases[] = {
      {0, 33, true, 4, 0, 40, 10},                                       // satellites
      {std::numeric_limits<float>::infinity(), -1, true, 2, 0, 2, 0.5},  // no PDOP at all
      {31, 47, false, 10, 30, 50, 5},                                    // signal
      {0, 0.3f, true, 1, 0, 1, 0.5},                                     // deviation under a metre
      {42, 42, false, 10, 35, 50, 5},                                    // one flat signal
  };
  for (const auto& c : cases) {
    const YScale s = NiceScale({c.min, c.max}, c.zeroBased, c.minSpan);
    EXPECT_DOUBLE_EQ(s.low, c.low) << c.max;
    EXPECT_DOUBLE_EQ(s.high, c.high) << c.max;
    EXPECT_DOUBLE_EQ(s.step, c.step) << c.max;
  }
}

TEST(HistoryChart, SeriesSegments_KeepSpikesJoinNeighboursAndBridgeOnlyEmptyColumns) {
  std::vector<HistoryColumn> columns(8);
  auto set = [&](int j, float lo, float hi) {
    columns[j].epochs = 1;
    columns[j].series[0] = {lo, hi};  // SatsUsed
  };
  set(0, 10, 10);
  set(1, 60, 60);
  set(2, 0, 100);         // a spike in one column
  set(5, 50, 50);         // after two columns without epochs
  columns[6].epochs = 3;  // epochs, but no value: a gap
  set(7, 20, 20);
  const Plot plot{100, 0, 100, {0, 100, 25}};  // y = 100 - value
  std::vector<Segment> segments;
  SeriesSegments(columns, Series::SatsUsed, plot, 3, segments);
  ASSERT_EQ(segments.size(), 6u);
  EXPECT_EQ(segments[0].y0, 90);  // a single value: one pixel
  EXPECT_EQ(segments[0].y1, 91);
  EXPECT_EQ(segments[1].y0, 40);  // stretched down to meet column 0
  EXPECT_EQ(segments[1].y1, 91);
  EXPECT_EQ(segments[2].y0, 0);  // the spike's whole height
  EXPECT_EQ(segments[2].y1, 101);
  EXPECT_EQ(segments[3].x0, 102);  // the bridge over columns 3 and 4
  EXPECT_EQ(segments[3].x1, 105);
  EXPECT_EQ(segments[5].x0, 107);  // column 7 stands alone after the gap
  EXPECT_EQ(segments[5].y0, 80);
  segments.clear();
  SeriesSegments(columns, Series::SatsUsed, plot, 1, segments);
  EXPECT_EQ(segments.size(), 5u);  // no bridge
  EXPECT_EQ(BridgeColumns(1.0, 0.125), 12);
  EXPECT_EQ(BridgeColumns(0.0, 3.0), 1);
}

TEST(HistoryChart, OutageSeekEpoch_IsTheEpochThatShowedAReplayedOutage) {
  History h(256);
  EpochSample s;
  s.hasFix = true;
  for (uint64_t i = 1; i <= 12; ++i) {
    s.sequence = i;
    s.time = i <= 10 ? static_cast<double>(i) : i + 20.0;  // 20 s missing before epoch 11
    s.logOffset = static_cast<int64_t>(i) * 500;
    h.Add(s, 0.0);
  }
  ASSERT_EQ(h.outages().size(), 1u);
  const std::optional<int64_t> epoch = OutageSeekEpoch(h.outages()[0]);
  ASSERT_TRUE(epoch.has_value());
  EXPECT_EQ(*epoch, 10);  // Epoch::sequence 11
  const auto columns = OutageColumns(h.outages()[0], ChooseColumns(32.0, 40.0, 40), 32.0);
  ASSERT_TRUE(columns.has_value());
  EXPECT_EQ(*columns, (std::pair{17, 38}));  // from epoch 10 to epoch 11
  // Seen live, or without an epoch: nowhere to go.
  Outage live = h.outages()[0];
  live.logOffset = -1;
  EXPECT_FALSE(OutageSeekEpoch(live).has_value());
  live.logOffset = 0;
  live.sequence = 0;
  EXPECT_FALSE(OutageSeekEpoch(live).has_value());
}

}  // namespace
}  // namespace pelmora::workbench
