// The player bar's texts and track bar positions from the replay's state.
#include "app/workbench/PlayerBar.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/format/TimeOfDay.h"

namespace pelmora::workbench {
namespace {

constexpr double kSecondsPerDay = 86400;
constexpr char kEnDash[] = " \x96 ";  // Windows-1252

// "hh:mm:ss" of a time of day; "--:--:--" for none.
std::string Clock(double utcSeconds) {
  if (!(utcSeconds >= 0 && utcSeconds < kSecondsPerDay)) return "--:--:--";
  return TimeOfDayText(utcSeconds, LongTimeFormat{}).value_or("--:--:--");
}

int ClampToInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, 0, std::numeric_limits<int>::max()));
}

}  // namespace

std::string SpeedChoiceText(ReplaySpeed speed) {
  std::string text(ReplaySpeedText(speed));
  return ReplaySpeedFactor(speed) > 0 ? text + "x" : text;
}

PlayerBarView MakePlayerBarView(const PlayerSnapshot& snapshot) {
  const PlayerState& s = snapshot.state;
  PlayerBarView view;
  view.lastEpoch = ClampToInt(s.epochCount - 1);
  view.position = std::min(ClampToInt(s.currentEpoch), view.lastEpoch);
  view.time = "--:--:--";
  if (s.firstUtcSeconds >= 0 && s.currentSeconds >= 0)
    view.time = Clock(std::fmod(s.firstUtcSeconds + s.currentSeconds, kSecondsPerDay));
  if (s.firstUtcSeconds >= 0 && s.lastUtcSeconds >= 0) {
    view.span = Clock(s.firstUtcSeconds) + kEnDash + Clock(s.lastUtcSeconds);
    const auto days = static_cast<int64_t>(
        std::floor((s.firstUtcSeconds + std::max(0.0, s.spanSeconds)) / kSecondsPerDay));
    if (days > 0) view.span += " +" + std::to_string(days) + " d";
    if (s.indexComplete == 0) view.span += " ...";
  }
  view.playText = snapshot.paused ? "Play" : "Pause";
  view.stepEnabled = snapshot.paused;
  view.speedIndex = static_cast<int>(snapshot.speed);
  return view;
}

}  // namespace pelmora::workbench
