// The player's pacing and its commands over the engine's player calls.
#include "app/Player.h"

#include <algorithm>
#include <string>

#include "app/settings/OptionKeys.h"
#include "navlib32/navlib32.h"

namespace pelmora {
namespace {

constexpr const char* kSpeedKey = OptionNamed("ReplaySpeed").name;

}  // namespace

ReplaySpeed StoredReplaySpeed(const OptionStore& store) {
  const std::string text = store.ReadOptionText(kSpeedKey, OptionNamed("ReplaySpeed").defaultText);
  return ParseReplaySpeed(text).value_or(ReplaySpeed::Tick);
}

void StoreReplaySpeed(const OptionStore& store, ReplaySpeed speed) {
  store.WriteOption(kSpeedKey, std::string(ReplaySpeedText(speed)));
}

void Player::SetSpeed(ReplaySpeed speed) {
  speed_ = speed;
  Rewind();
}

ReplaySpeed Player::Faster(bool up) const {
  const int at = static_cast<int>(speed_) + (up ? 1 : -1);
  return static_cast<ReplaySpeed>(
      std::clamp(at, static_cast<int>(ReplaySpeed::Tick), static_cast<int>(ReplaySpeed::Max)));
}

void Player::Rewind() {
  playhead_.reset();
  interval_ = 0;
}

std::optional<double> Player::CurrentSeconds() {
  PlayerState state{};
  if (engine_.GetPlayerState(state) != 0 || state.currentEpoch < 0 || state.currentSeconds < 0)
    return std::nullopt;
  return state.currentSeconds;
}

bool Player::Replaying() {
  PlayerState state{};
  return host_.EngineOpen() && engine_.GetPlayerState(state) == 0;
}

void Player::BeginTick() {
  if (host_.EngineOpens() != opens_) {
    opens_ = host_.EngineOpens();
    Rewind();
  }
  if (speed_ == ReplaySpeed::Max) return;
  if (!playhead_) playhead_ = CurrentSeconds();
  if (playhead_) *playhead_ += ReplaySpeedFactor(speed_);
  if (interval_ > 0) return;
  // Until two epochs in a row have been read, the log's mean interval so far, at most a second
  // (gaps lengthen the mean).
  PlayerState state{};
  if (engine_.GetPlayerState(state) == 0 && state.epochCount > 1 && state.spanSeconds > 0)
    interval_ = std::min(1.0, state.spanSeconds / static_cast<double>(state.epochCount - 1));
}

bool Player::Due(int polledThisTick) {
  if (speed_ == ReplaySpeed::Max) return true;
  // No time yet: the first timed epoch sets the playhead.
  if (!playhead_) return polledThisTick == 0;
  const std::optional<double> current = CurrentSeconds();
  return !current || *current + interval_ <= *playhead_;  // an untimed epoch is passed over
}

void Player::AfterPoll(std::optional<double> before) {
  const std::optional<double> after = CurrentSeconds();
  if (!after) return;
  if (!playhead_) {
    if (speed_ != ReplaySpeed::Max) playhead_ = *after;
    return;
  }
  // A gap: skipped, and not taken as the interval.
  if (*after - *playhead_ > kMaxWaitTicks * ReplaySpeedFactor(speed_)) {
    playhead_ = *after;
    return;
  }
  if (before && *after > *before) interval_ = *after - *before;
}

bool Player::Seek(const SeekTarget& target) {
  if (!Replaying()) return false;
  auto seek = [&] {
    switch (target.kind) {
      case SeekTarget::Kind::Start:
        return engine_.SeekStart();
      case SeekTarget::Kind::End:
        return engine_.SeekEnd();
      case SeekTarget::Kind::Time:
        break;
    }
    const ReplayTime& t = target.time;
    return engine_.SeekTime(t.utcSeconds, t.year, t.month, t.day);
  };
  // The engine waits a little for its index to reach the target; beyond that it is refused.
  return Moved(seek());
}

bool Player::SeekEpoch(int64_t epoch) {
  return Replaying() && Moved(engine_.SeekEpoch(epoch));
}

bool Player::Step(bool forward) {
  if (!host_.Paused() || !Replaying()) return false;
  return Moved(forward ? engine_.Poll() : engine_.StepBack());
}

bool Player::Moved(int32_t result) {
  if (result != 0) return false;
  feed_.Show();
  Rewind();
  return true;
}

}  // namespace pelmora
