// The Accuracy tab's graph numbers: grid steps, axes, per-pixel decimation.
#include "app/workbench/DeviationPlot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

namespace pelmora::workbench {
namespace {

TEST(DeviationPlotTest, NiceStepsForMetresAndTime) {
  const struct {
    double span;
    int maxSteps;
    double step;
  } metres[] = {{10, 5, 2}, {1, 5, 0.2}, {7, 1, 10}, {0.37, 4, 0.1},
                {3, 3, 1},  {2.1, 1, 5}, {0, 4, 1},  {-3, 4, 1}};
  for (const auto& c : metres)
    EXPECT_DOUBLE_EQ(NiceStep(c.span, c.maxSteps), c.step) << c.span << "/" << c.maxSteps;
  const struct {
    double seconds;
    int maxSteps;
    double step;
  } times[] = {{600, 5, 120}, {86400, 4, 21600}, {30, 10, 5}, {864000, 5, 172800}, {0.5, 3, 1}};
  for (const auto& c : times)
    EXPECT_DOUBLE_EQ(NiceTimeStep(c.seconds, c.maxSteps), c.step) << c.seconds;
}

TEST(DeviationPlotTest, AxesShowTheExtentWithGridLinesAtTheSpacing) {
  const PlotAxes a = ChooseAxes(7.3, 200, 40);
  EXPECT_DOUBLE_EQ(a.halfRange, 8);
  EXPECT_DOUBLE_EQ(a.metresPerPixel, 0.04);
  EXPECT_DOUBLE_EQ(a.step, 2);                             // 1.6 m is 40 px
  EXPECT_DOUBLE_EQ(ChooseAxes(51, 33, 36).halfRange, 60);  // a small plot still fills
  const PlotAxes none = ChooseAxes(std::nan(""), 100, 40);
  EXPECT_DOUBLE_EQ(none.halfRange, 0.1);
  for (const double extent : {0.13, 1.0, 1.01, 4.999, 37.0, 12345.0}) {
    const PlotAxes b = ChooseAxes(extent, 150, 30);
    EXPECT_GE(b.halfRange, extent);
    EXPECT_LE(b.halfRange, 1.5 * extent) << extent;
    EXPECT_DOUBLE_EQ(b.metresPerPixel, b.halfRange / 150);
    EXPECT_GE(b.step / b.metresPerPixel, 30.0 - 1e-9) << extent;
  }
  EXPECT_EQ(MetresText(0.2), "0.2 m");
  EXPECT_EQ(MetresText(2000), "2 km");
  EXPECT_EQ(ElapsedText(3725.4), "1:02:05");
}

TEST(DeviationPlotTest, PixelMaskKeepsEveryOccupiedPixelOnce) {
  PixelMask mask(37, 11);
  std::set<std::pair<int, int>> expected;
  uint32_t seed = 12345;
  for (int i = 0; i < 5000; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double x = (seed >> 8) % 4000 / 100.0 - 1.0;  // -1 .. 39: some fall outside
    const double y = (seed >> 20) % 1300 / 100.0 - 1.0;
    const bool inside = x >= 0 && x < 37 && y >= 0 && y < 11;
    const bool fresh = inside && expected.emplace(int(x), int(y)).second;
    EXPECT_EQ(mask.Mark(x, y), fresh);
  }
  EXPECT_FALSE(mask.Mark(std::nan(""), 1));
  EXPECT_EQ(mask.pixels().size(), expected.size());
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 37; ++x)
      EXPECT_EQ(mask.Marked(x, y), expected.count({x, y}) == 1) << x << "," << y;
}

TEST(DeviationPlotTest, ColumnRangesKeepEachColumnsLowestAndHighest) {
  ColumnRanges strip(3);
  const std::pair<double, double> points[] = {{0.2, 1},   {0.9, -2},          {2.5, 4},
                                              {3.0, 100}, {-0.1, 100},        {1.5, std::nan("")},
                                              {2.0, 3.5}, {std::nan(""), 100}};
  for (const auto& [x, v] : points)
    strip.Add(x, v);
  const auto& c = strip.columns();
  EXPECT_TRUE(c[0].any() && c[0].low == -2 && c[0].high == 1);
  EXPECT_FALSE(c[1].any());
  EXPECT_TRUE(c[2].any() && c[2].low == 3.5 && c[2].high == 4);
}

}  // namespace
}  // namespace pelmora::workbench
