// The replay player on a fake engine whose epochs have known receiver times: the pacing of each
// speed, and the macro commands that seek, step and set the speed.
#include "app/Player.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ControlIds.h"
#include "app/dde/MacroHandler.h"
#include "tests/unit/app/MainFormFixture.h"

namespace pelmora {
namespace {

constexpr double kTen = 36000;  // 10:00:00

std::vector<double> Times(double first, double step, int count) {
  std::vector<double> times;
  for (int i = 0; i < count; ++i)
    times.push_back(first + step * i);
  return times;
}

class PlayerTest : public fakes::MainFormFixture {
 protected:
  std::string Stored() { return host_.store.ReadOptionText("ReplaySpeed", "(none)"); }
};

class EpochCounter : public EpochConsumer {
 public:
  void OnEpoch(const Epoch&, std::string_view) override { ++epochs; }
  int epochs = 0;
};

TEST_F(PlayerTest, EachSpeedPollsTheEpochsItsPlayheadHasReached) {
  const struct {
    const char* legend;
    std::vector<double> times;
    ReplaySpeed speed;
    const char* polls;  // per tick, a tick a second from 0:01
  } cases[] = {
      {"TICK: one on each update tick", Times(kTen, 1, 20), ReplaySpeed::Tick, "010101"},
      {"1, 1 Hz: one a tick", Times(kTen, 1, 20), ReplaySpeed::One, "111111"},
      {"1, 2 Hz: two a tick", Times(kTen, 0.5, 20), ReplaySpeed::One, "122222"},
      {"4: four a tick", Times(kTen, 1, 40), ReplaySpeed::Four, "144444"},
      {"0.25: one every fourth tick", Times(kTen, 1, 20), ReplaySpeed::Quarter, "100010"},
      {"0.5 across midnight", Times(86398, 1, 20), ReplaySpeed::Half, "101010"},
      {"MAX: the bound", Times(kTen, 0.1, 2000), ReplaySpeed::Max, "~~~~~~"},
      {"a long gap is skipped",
       {kTen, kTen + 1, kTen + 2, kTen + 500, kTen + 501, kTen + 502},
       ReplaySpeed::One,
       "11111"},
  };
  EpochCounter counter;
  form_.Feed().Add(counter);
  for (const auto& c : cases) {
    engine_.times = c.times;
    StartReplay();
    form_.Player().SetSpeed(c.speed);
    engine_.polls = counter.epochs = 0;
    std::string got;
    int second = 0;
    for (size_t i = 0; c.polls[i] != '\0'; ++i) {
      const int before = engine_.polls;
      TickAt(0, ++second);
      const int polled = engine_.polls - before;
      got += polled == Player::kMaxEpochsPerTick ? '~' : static_cast<char>('0' + polled);
    }
    EXPECT_EQ(got, c.polls) << c.legend;
    EXPECT_EQ(counter.epochs, engine_.polls) << c.legend << ": every epoch reaches the consumers";
    TickAt(0, second % 2 == 0 ? second + 2 : second + 1);  // an update tick
    EXPECT_EQ(form_.Fix().utcSeconds, engine_.times[static_cast<size_t>(engine_.at)])
        << c.legend << ": the views show the last epoch";
    form_.Modes().SimulatePauseButtonClick();
    const int polls = engine_.polls;
    TickAt(0, 40);
    EXPECT_EQ(engine_.polls, polls) << c.legend << ": paused, nothing advances";
  }
}

// Each macro, and each Ctrl key (command id, no macro), on a replay standing at epoch 3.
TEST_F(PlayerTest, MacrosAndKeysSeekStepAndSetTheSpeedOrChangeNothing) {
  const struct {
    const char* macro;
    int key;
    bool live, paused;
    int64_t at;  // the epoch shown afterwards; 3 unchanged
  } cases[] = {
      {"SEEK 10:00:05", 0, false, false, 5},
      {"seek 2024-03-01 10:00:07.5", 0, false, true, 8},
      {"SEEK START", 0, false, false, 0},
      {"SEEK end", 0, false, false, 9},
      {"SEEK 11:00:00", 0, false, false, 3},
      {"SEEK 24:00:00", 0, false, false, 3},
      {"SEEK START", 0, true, false, 3},
      {"STEP", 0, false, true, 4},
      {"BACK", 0, false, true, 2},
      {"STEP", 0, false, false, 3},
      {"BACK", 0, false, false, 3},
      {"BACK", 0, true, true, 3},
      {"", IDM_PlayerStep, false, true, 4},
      {"", IDM_PlayerBack, false, true, 2},
      {"", IDM_PlayerStep, false, false, 3},
      {"", IDM_PlayerSeekStart, false, false, 0},
      {"", IDM_PlayerSeekEnd, false, true, 9},
  };
  for (const auto& c : cases) {
    engine_.times = Times(kTen, 1, 10);
    if (c.live) {
      StartLive();
    } else {
      StartReplay();
    }
    engine_.SeekEpoch(3);
    engine_.info.utcSeconds = -1;
    if (c.paused) form_.Macros().SetPaused(true);
    const int polls = engine_.polls;
    EXPECT_TRUE(c.key == 0 || form_.Command(c.key));
    dde::HVNExecuteMacro(c.macro, form_.Macros());
    const std::string legend = c.macro + std::to_string(c.key);
    if (c.at == 3) {
      EXPECT_EQ(form_.Fix().utcSeconds, 0) << legend << ": nothing shown";
      EXPECT_EQ(engine_.polls, polls) << legend;
    } else {
      EXPECT_EQ(engine_.at, c.at) << legend;
      EXPECT_EQ(form_.Fix().utcSeconds, engine_.times[static_cast<size_t>(c.at)])
          << legend << ": the epoch is shown at once";
    }
  }

  // In turn: the speed afterwards, also as stored; Ctrl+Up and Ctrl+Down move one rung.
  const struct {
    const char* macro;
    int key;
    const char* speed;
  } speeds[] = {
      {"SPEED 4", 0, "4"},
      {"speed max", 0, "MAX"},
      {"SPEED 0.25", 0, "0.25"},
      {"SPEED 3", 0, "0.25"},
      {"SPEED ", 0, "0.25"},
      {"SPEED TICK", 0, "TICK"},
      {"", IDM_PlayerFaster, "0.25"},
      {"", IDM_PlayerSlower, "TICK"},
      {"", IDM_PlayerSlower, "TICK"},
      {"SPEED 8", 0, "8"},
      {"", IDM_PlayerFaster, "16"},
      {"", IDM_PlayerFaster, "MAX"},
      {"", IDM_PlayerFaster, "MAX"},
      {"", IDM_PlayerSlower, "16"},
  };
  for (const auto& s : speeds) {
    EXPECT_TRUE(s.key == 0 || form_.Command(s.key));
    dde::HVNExecuteMacro(s.macro, form_.Macros());
    EXPECT_EQ(ReplaySpeedText(form_.Player().Speed()), s.speed) << s.macro << s.key;
    EXPECT_EQ(Stored(), s.speed) << s.macro << s.key;
  }
  const std::pair<const char*, ReplaySpeed> stored[] = {{"16", ReplaySpeed::Sixteen},
                                                        {"max", ReplaySpeed::Max},
                                                        {"fast", ReplaySpeed::Tick},
                                                        {"0.250", ReplaySpeed::Tick},
                                                        {"", ReplaySpeed::Tick}};
  for (const auto& [text, speed] : stored) {
    host_.store.WriteOption("ReplaySpeed", text);
    Create();
    EXPECT_EQ(form_.Player().Speed(), speed) << "stored " << text;
  }
}

}  // namespace
}  // namespace pelmora
