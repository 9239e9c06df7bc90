// The player bar's commands on the program's side: the replay's state from the engine and the
// modes, and the player's seek, step, pause and speed, as the macros and keys run them. The main
// window hands it to the workbench and repaints after each command. Portable.
#pragma once

#include <functional>
#include <utility>

#include "app/Player.h"
#include "app/TrackingModes.h"
#include "app/dde/MacroHandler.h"
#include "app/engine/Engine.h"
#include "app/workbench/PlayerBar.h"

namespace pelmora {

class PlayerBarActions final : public workbench::PlayerCommands {
 public:
  // shown: runs after every command (the main window shows what changed).
  PlayerBarActions(Engine& engine, TrackingModes& modes, Player& player, dde::MacroActions& macros,
                   std::function<void()> shown)
      : engine_(engine),
        modes_(modes),
        player_(player),
        macros_(macros),
        shown_(std::move(shown)) {}

  bool Snapshot(workbench::PlayerSnapshot& out) override;
  void SeekEpoch(int64_t epoch) override;
  void Step(bool forward) override;
  void TogglePause() override;
  void SetSpeed(ReplaySpeed speed) override;

 private:
  void Shown();

  Engine& engine_;
  TrackingModes& modes_;
  Player& player_;
  dde::MacroActions& macros_;
  std::function<void()> shown_;
};

}  // namespace pelmora
