// The held satellites against the used list that keeps them.
#include "navlib32/SatelliteView.h"

#include <gtest/gtest.h>

namespace navlib {
namespace {

// A satellite no longer reported stays while the current used list names it, and goes with the
// first used list that does not, both from the record's slots and from the full list.
TEST(SatelliteView, AStaleSatelliteStaysOnlyWhileTheUsedListNamesIt) {
  SatelliteView view;
  view.Reset();
  const int five = 5, seven = 7;
  view.AddInView(GnssSystem::Gps, 5, 30, 100, 40);
  view.AddInView(GnssSystem::Gps, 7, 40, 200, 35);
  view.AddUsed(GnssSystem::Gps, &five, 1);
  view.CompleteEpoch(0.0, 0.0);
  pelmora::SatInfo slots[pelmora::kMaxSats] = {};
  pelmora::SatDetail all[pelmora::kMaxAllSats] = {};
  bool geometry = false;
  for (int t = 1; t <= 2 * static_cast<int>(kStaleSeconds); ++t) {
    view.AddUsed(GnssSystem::Gps, t < 2 * kStaleSeconds ? &five : &seven, 1);
    view.CompleteEpoch(t, t);
    const SatelliteView::Clock clock{static_cast<double>(t), static_cast<double>(t)};
    const int shown = view.Choose(clock, slots, pelmora::kMaxSats, &geometry);
    EXPECT_EQ(view.All(clock, all, pelmora::kMaxAllSats), shown) << t;
    if (t < 2 * kStaleSeconds) {
      ASSERT_GE(shown, 1) << t;
      EXPECT_EQ(slots[0].prn, 5) << t;
      EXPECT_EQ(slots[0].used, 1) << t;
      EXPECT_EQ(shown, t <= kStaleSeconds ? 2 : 1) << t;  // 7, unlisted, ages out
    } else {
      EXPECT_EQ(shown, 0);  // 5 is no longer listed, and 7 was dropped long ago
    }
  }
}

}  // namespace
}  // namespace navlib
