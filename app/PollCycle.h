// The poll cycle behind Timer1, one tick a second: when to poll and what a failed poll does.
// The guard on the engine-open and closing flags, the phase from the local wall clock, the live
// or replay poll, the poll failure; after a successful poll the epoch feed reads the engine and
// runs the update step on update ticks. The main form owns the state a tick reads and hands
// every tick here. Portable.
#pragma once

#include <cstdint>
#include <string>

#include "app/EpochFeed.h"
#include "app/MainPanels.h"
#include "app/PollCycleHost.h"
#include "app/StringTable.h"
#include "app/engine/Engine.h"
#include "app/settings/StartupOptions.h"
#include "app/ui/Form.h"

namespace pelmora {

class Player;

// Everything a tick reads and writes, owned by the main form for the whole run.
struct PollCycleParts {
  PollCycleHost& host;
  Engine& engine;
  const StringTable& strings;
  const StartupOptions& options;  // UpdateInterval, read at every tick
  ui::Form& form;
  MainPanels& panels;
  EpochFeed& feed;
  Player& player;  // the replay's speed and pacing
};

class PollCycle {
 public:
  explicit PollCycle(const PollCycleParts& parts) : p_(parts) {}

  // One tick of Timer1. A tick that arrives while an earlier one has a message box open (the
  // box's message loop delivers timer messages) does nothing.
  void Timer1_Timer();

 private:
  // A replay paced by its speed: every tick, as many epochs as the player finds due.
  void PacedTick(bool update);
  // A poll's result handled as every tick does; false when it failed.
  bool PollSucceeded(int32_t polled);
  void PollFailed();
  // The engine could not write the recording and stopped it; the receiver stays live.
  void RecordingFailed();

  PollCycleParts p_;
  bool inTick_ = false;
  bool unshown_ = false;      // a paced replay polled an epoch that no update step has shown
  uint32_t unshownOpen_ = 0;  // the engine open unshown_ belongs to
};

}  // namespace pelmora
