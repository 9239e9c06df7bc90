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
  void Replay(std::vector<double> times, ReplaySpeed speed) {
    engine_.times = std::move(times);
    engine_.logPolls = false;
    StartReplay();
    form_.Player().SetSpeed(speed);
  }
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
      {"MAX: the bound", Times(kTen, 0.1, 400), ReplaySpeed::Max, "~~~~~~"},
      {"a long gap is skipped",
       {kTen, kTen + 1, kTen + 2, kTen + 500, kTen + 501, kTen + 502},
       ReplaySpeed::One,
       "11111"},
  };
  EpochCounter counter;
  form_.Feed().Add(counter);
  for (const auto& c : cases) {
    Replay(c.times, c.speed);
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

TEST_F(PlayerTest, MacrosSeekStepAndSetTheSpeedOrChangeNothing) {
  const struct {
    const char* macro;
    bool live, paused;
    int64_t at;  // the epoch shown afterwards; 3 unchanged
  } cases[] = {
      {"SEEK 10:00:05", false, false, 5}, {"seek 2024-03-01 10:00:07.5", false, true, 8},
      {"SEEK START", false, false, 0},    {"SEEK end", false, false, 9},
      {"SEEK 11:00:00", false, false, 3}, {"SEEK 24:00:00", false, false, 3},
      {"SEEK START", true, false, 3},     {"STEP", false, true, 4},
      {"BACK", false, true, 2},           {"STEP", false, false, 3},
      {"BACK", false, false, 3},          {"BACK", true, true, 3},
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
    dde::HVNExecuteMacro(c.macro, form_.Macros());
    if (c.at == 3) {
      EXPECT_EQ(form_.Fix().utcSeconds, 0) << c.macro << ": nothing shown";
      EXPECT_EQ(engine_.polls, polls) << c.macro;
    } else {
      EXPECT_EQ(engine_.at, c.at) << c.macro;
      EXPECT_EQ(form_.Fix().utcSeconds, engine_.times[static_cast<size_t>(c.at)])
          << c.macro << ": the epoch is shown at once";
    }
  }

  const struct {
    const char* macro;
    ReplaySpeed speed;
    const char* stored;
  } speeds[] = {
      {"SPEED 4", ReplaySpeed::Four, "4"},          {"speed max", ReplaySpeed::Max, "MAX"},
      {"SPEED 0.25", ReplaySpeed::Quarter, "0.25"}, {"SPEED 3", ReplaySpeed::Quarter, "0.25"},
      {"SPEED ", ReplaySpeed::Quarter, "0.25"},     {"SPEED TICK", ReplaySpeed::Tick, "TICK"},
  };
  for (const auto& s : speeds) {
    dde::HVNExecuteMacro(s.macro, form_.Macros());
    EXPECT_EQ(form_.Player().Speed(), s.speed) << s.macro;
    EXPECT_EQ(Stored(), s.stored) << s.macro;
  }
  for (const auto& [stored, speed] : {std::pair{"16", ReplaySpeed::Sixteen},
                                      {"max", ReplaySpeed::Max},
                                      {"fast", ReplaySpeed::Tick},
                                      {"0.250", ReplaySpeed::Tick},
                                      {"", ReplaySpeed::Tick}}) {
    host_.store.WriteOption("ReplaySpeed", stored);
    Create();
    EXPECT_EQ(form_.Player().Speed(), speed) << "stored " << stored;
  }
}

TEST_F(PlayerTest, CtrlKeysStepSeekAndChangeTheSpeedOneRungAtATime) {
  const struct {
    int command;
    bool paused;
    int64_t at;
  } moves[] = {
      {IDM_PlayerStep, true, 4},       {IDM_PlayerBack, true, 2},    {IDM_PlayerStep, false, 3},
      {IDM_PlayerSeekStart, false, 0}, {IDM_PlayerSeekEnd, true, 9},
  };
  for (const auto& m : moves) {
    engine_.times = Times(kTen, 1, 10);
    StartReplay();
    engine_.SeekEpoch(3);
    form_.Macros().SetPaused(m.paused);
    ASSERT_TRUE(form_.Command(m.command));
    EXPECT_EQ(engine_.at, m.at) << m.command;
  }
  const struct {
    ReplaySpeed from;
    int command;
    const char* to;
  } rungs[] = {
      {ReplaySpeed::Tick, IDM_PlayerFaster, "0.25"},
      {ReplaySpeed::Tick, IDM_PlayerSlower, "TICK"},
      {ReplaySpeed::Four, IDM_PlayerFaster, "8"},
      {ReplaySpeed::Four, IDM_PlayerSlower, "2"},
      {ReplaySpeed::Max, IDM_PlayerFaster, "MAX"},
      {ReplaySpeed::Sixteen, IDM_PlayerFaster, "MAX"},
  };
  for (const auto& r : rungs) {
    form_.Player().SetSpeed(r.from);
    ASSERT_TRUE(form_.Command(r.command));
    EXPECT_EQ(ReplaySpeedText(form_.Player().Speed()), r.to);
    EXPECT_EQ(Stored(), r.to);
  }
}

}  // namespace
}  // namespace pelmora
