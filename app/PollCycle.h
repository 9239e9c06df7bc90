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
#include "app/StringTable.h"
#include "app/engine/Engine.h"
#include "app/settings/StartupOptions.h"
#include "app/ui/Form.h"

namespace pelmora {

class Player;

// The local wall clock's minutes and seconds, which set the update phase.
struct WallClockTime {
  int32_t minute = 0;  // 0..59
  int32_t second = 0;  // 0..59
};

// What a tick asks of the main window beyond its controls.
class PollCycleHost {
 public:
  virtual ~PollCycleHost() = default;
  virtual bool EngineOpen() const = 0;
  virtual bool Closing() const = 0;
  virtual bool Paused() const = 0;
  // Successful engine opens so far: tells a tick whether the engine was reopened while its box
  // was open.
  virtual uint32_t EngineOpens() const = 0;
  // Stops a recording (FileRecord checked) and unchecks FileRecord.
  virtual void StopRecording() = 0;
  virtual int32_t CloseEngine() = 0;  // the status of Pelmora_Close
  // The Off mode as File > Off enters it: recording stopped, the engine closed, the Off menus,
  // the display reset and OFF on the client link.
  virtual void FileOff() = 0;
  // The main window's last engine result.
  virtual void SetLastStatus(int32_t status) = 0;
  virtual WallClockTime LocalTime() = 0;
  // A modal error box with one OK button; returns when it is closed.
  virtual void ShowError(const std::string& text) = 0;
  // The system's default beep (MessageBeep with type 0).
  virtual void Beep() = 0;
};

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
