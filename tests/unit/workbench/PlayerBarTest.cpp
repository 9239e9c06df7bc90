// The player bar's view of a replay: track bar range and position, the time texts across
// midnight and while unknown, the play button and step enabling, the speed list.
#include "app/workbench/PlayerBar.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

namespace pelmora::workbench {
namespace {

PlayerSnapshot Replay(int64_t count, int64_t current, double first, double span, double at,
                      bool complete, bool paused, ReplaySpeed speed) {
  PlayerSnapshot s;
  s.state.epochCount = count;
  s.state.currentEpoch = current;
  s.state.firstUtcSeconds = first;
  s.state.lastUtcSeconds = first < 0 ? -1 : std::fmod(first + span, 86400);
  s.state.spanSeconds = span;
  s.state.currentSeconds = at;
  s.state.indexComplete = complete ? 1 : 0;
  s.paused = paused;
  s.speed = speed;
  return s;
}

TEST(PlayerBar, ShowsTheReplaysTimesPositionAndCommands) {
  const struct {
    const char* legend;
    PlayerSnapshot snapshot;
    int lastEpoch, position;
    const char *time, *span, *play;
  } cases[] = {
      {"nothing indexed yet", Replay(0, -1, -1, 0, -1, false, false, ReplaySpeed::Tick), 0, 0,
       "--:--:--", "", "Pause"},
      {"paused inside a whole log",
       Replay(600, 125, 36000, 599, 125.5, true, true, ReplaySpeed::Eight), 599, 125, "10:02:05",
       "10:00:00 \x96 10:09:59", "Play"},
      {"across midnight, still indexing",
       Replay(150, 100, 86310, 3719, 100, false, false, ReplaySpeed::Max), 149, 100, "00:00:10",
       "23:58:30 \x96 01:00:29 +1 d ...", "Pause"},
      {"an epoch without time, ahead of the index",
       Replay(40, 45, 36000, 39, -1, false, true, ReplaySpeed::One), 39, 39, "--:--:--",
       "10:00:00 \x96 10:00:39 ...", "Play"},
      {"more epochs than the track bar counts",
       Replay(int64_t{1} << 40, int64_t{1} << 35, 0, 86400 * 40.0, 5, true, false,
              ReplaySpeed::Quarter),
       INT_MAX, INT_MAX, "00:00:05", "00:00:00 \x96 00:00:00 +40 d", "Pause"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    const PlayerBarView view = MakePlayerBarView(c.snapshot);
    EXPECT_EQ(view.lastEpoch, c.lastEpoch);
    EXPECT_EQ(view.position, c.position);
    EXPECT_EQ(view.time, c.time);
    EXPECT_EQ(view.span, c.span);
    EXPECT_STREQ(view.playText, c.play);
    EXPECT_EQ(view.stepEnabled, c.snapshot.paused);
    EXPECT_EQ(SpeedChoiceText(static_cast<ReplaySpeed>(view.speedIndex)),
              SpeedChoiceText(c.snapshot.speed));
  }
  std::string choices;
  for (int i = 0; i < kSpeedChoices; ++i)
    choices += SpeedChoiceText(static_cast<ReplaySpeed>(i)) + " ";
  EXPECT_EQ(choices, "TICK 0.25x 0.5x 1x 2x 4x 8x 16x MAX ");
}

}  // namespace
}  // namespace pelmora::workbench
