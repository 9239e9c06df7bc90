// The workbench's player bar as plain data: what the program's player offers it (PlayerCommands,
// handed to the workbench by the main window's wiring) and what its controls show for a state of
// the replay. Portable; texts are Windows-1252.
#pragma once

#include <cstdint>
#include <string>

#include "app/format/ReplayArgs.h"
#include "navlib32/navlib32_player.h"

namespace pelmora::workbench {

// The replay as the bar shows it.
struct PlayerSnapshot {
  PlayerState state{};
  bool paused = false;
  ReplaySpeed speed = ReplaySpeed::Tick;
};

// The program's player, driven by the same commands as its macros and keys.
class PlayerCommands {
 public:
  virtual ~PlayerCommands() = default;
  // The replay's state; false while no log is replaying.
  virtual bool Snapshot(PlayerSnapshot& out) = 0;
  virtual void SeekEpoch(int64_t epoch) = 0;
  // One epoch forward or back; changes nothing while playing.
  virtual void Step(bool forward) = 0;
  // Plays or pauses, as the main window's pause button does.
  virtual void TogglePause() = 0;
  // Sets the speed and remembers it, as the SPEED macro does.
  virtual void SetSpeed(ReplaySpeed speed) = 0;
};

// The speed list's items in ReplaySpeed's order: "TICK", "0.25x" .. "16x", "MAX".
constexpr int kSpeedChoices = static_cast<int>(ReplaySpeed::Max) + 1;
std::string SpeedChoiceText(ReplaySpeed speed);

struct PlayerBarView {
  int lastEpoch = 0;  // the track bar runs over epochs 0 .. lastEpoch
  int position = 0;   // the current epoch
  // The current receiver time "hh:mm:ss" (UTC), "--:--:--" while unknown.
  std::string time;
  // The log's first and last receiver times, "hh:mm:ss - hh:mm:ss" (an en dash), "+N d" when
  // the last is N days later, " ..." while the index still grows; empty while unknown.
  std::string span;
  const char* playText = "Pause";  // what the button does: "Play" while paused
  bool stepEnabled = false;        // back and step act while paused only
  int speedIndex = 0;
};

PlayerBarView MakePlayerBarView(const PlayerSnapshot& snapshot);

}  // namespace pelmora::workbench
