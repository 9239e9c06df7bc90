// The replay player on the program's side: the speed and the pacing of a replay, and the seek,
// step and back commands. With a speed other than TICK a replay advances on every tick: a
// playhead in receiver seconds moves on by the speed each tick, and the replay polls while the
// next epoch's receiver time (the current one's plus the interval between epochs) is at or
// before it, at most kMaxEpochsPerTick epochs a tick. Portable.
#pragma once

#include <cstdint>
#include <optional>

#include "app/EpochFeed.h"
#include "app/PollCycleHost.h"
#include "app/engine/Engine.h"
#include "app/format/ReplayArgs.h"
#include "app/settings/OptionStore.h"

namespace pelmora {

// The speed stored in the option ReplaySpeed; an odd value is TICK.
ReplaySpeed StoredReplaySpeed(const OptionStore& store);
void StoreReplaySpeed(const OptionStore& store, ReplaySpeed speed);

class Player {
 public:
  // 16x of a 10 Hz receiver is 160 epochs a tick; MAX polls this many.
  static constexpr int kMaxEpochsPerTick = 200;
  // A gap in the log that would stand the replay longer than this many ticks is skipped.
  static constexpr double kMaxWaitTicks = 10;

  // host: the paused flag and the engine's opens.
  Player(Engine& engine, EpochFeed& feed, const PollCycleHost& host)
      : engine_(engine), feed_(feed), host_(host) {}

  ReplaySpeed Speed() const { return speed_; }
  void SetSpeed(ReplaySpeed speed);
  // The next speed up (toward MAX) or down (toward TICK) from the current one.
  ReplaySpeed Faster(bool up) const;
  // Paced by the receiver's time (or MAX) rather than by update ticks.
  bool Paced() const { return speed_ != ReplaySpeed::Tick; }

  // One tick of a paced, playing replay. pollOne polls once through the feed and returns false
  // when that poll failed (the tick ends). Returns the epochs polled.
  template <typename PollOne>
  int Advance(PollOne&& pollOne) {
    BeginTick();
    int polled = 0;
    while (polled < kMaxEpochsPerTick && Due(polled)) {
      const std::optional<double> before = CurrentSeconds();
      if (!pollOne()) break;
      ++polled;
      AfterPoll(before);
    }
    return polled;
  }

  // The macro commands; each returns false and changes nothing when it cannot apply (not
  // replaying, a time not in the log, STEP or BACK while playing). On success the window shows
  // the new epoch at once.
  bool Seek(const SeekTarget& target);
  bool Step(bool forward);
  // To epoch number `epoch` (from 0), as the player bar's track bar asks.
  bool SeekEpoch(int64_t epoch);

 private:
  // The current epoch's receiver time, counted from the log's first timed epoch.
  std::optional<double> CurrentSeconds();
  bool Replaying();
  void BeginTick();
  bool Due(int polledThisTick);
  void AfterPoll(std::optional<double> before);
  // After a seek or step: the pacing starts again from the epoch shown.
  void Rewind();
  // A seek's or step's engine result: on success the epoch is shown and the pacing rewound.
  bool Moved(int32_t result);

  Engine& engine_;
  EpochFeed& feed_;
  const PollCycleHost& host_;
  ReplaySpeed speed_ = ReplaySpeed::Tick;
  std::optional<double> playhead_;
  double interval_ = 0;  // receiver seconds between epochs; 0 while unknown
  uint32_t opens_ = 0;   // the engine open the pacing belongs to
};

}  // namespace pelmora
