// The player bar's commands over the player and the modes.
#include "app/PlayerBarActions.h"

namespace pelmora {

bool PlayerBarActions::Snapshot(workbench::PlayerSnapshot& out) {
  out = workbench::PlayerSnapshot{};
  if (!modes_.EngineOpen() || engine_.GetPlayerState(out.state) != 0) return false;
  out.paused = modes_.Paused();
  out.speed = player_.Speed();
  return true;
}

void PlayerBarActions::SeekEpoch(int64_t epoch) {
  if (player_.SeekEpoch(epoch)) Shown();
}

void PlayerBarActions::Step(bool forward) {
  if (player_.Step(forward)) Shown();
}

void PlayerBarActions::TogglePause() {
  workbench::PlayerSnapshot replay;
  if (!Snapshot(replay)) return;
  modes_.SimulatePauseButtonClick();
  Shown();
}

void PlayerBarActions::SetSpeed(ReplaySpeed speed) {
  macros_.SetReplaySpeed(speed);
}

void PlayerBarActions::Shown() {
  if (shown_) shown_();
}

}  // namespace pelmora
