// The poll cycle behind Timer1, one tick a second: the guard on the engine-open and closing
// flags, the phase from the local wall clock, the live or replay poll, the poll failure, and on
// update ticks the update step that reads the fix, writes the panels (MainPanels), sends the
// update command on the client link and tells the observers. The main form owns the state a
// tick reads and hands every tick here. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/MainPanels.h"
#include "app/StringTable.h"
#include "app/dde/ClientLink.h"
#include "app/dde/FixQuantities.h"
#include "app/engine/Engine.h"
#include "app/format/FixText.h"
#include "app/settings/StartupOptions.h"
#include "app/ui/Form.h"
#include "navlib32/navlib32_records.h"

namespace pelmora {

// The local wall clock's minutes and seconds, which set the update phase.
struct WallClockTime {
  int32_t minute = 0;  // 0..59
  int32_t second = 0;  // 0..59
};

// The hook for the parts that follow the fix beside the window: the DDE server, whose nine
// items are replaced on every update step, and the network fix server, which reads the engine
// after every successful poll. Both run on the GUI thread inside the tick; an observer shows
// no box and does not call back into the cycle or change the tracking mode.
class PollCycleObserver {
 public:
  virtual ~PollCycleObserver() = default;
  // After every successful Pelmora_Poll: every tick in Live mode, every update tick in
  // Simulated mode, never while paused. The engine holds the new data; the fix record has not
  // been read yet on this tick.
  virtual void OnPolled() {}
  // At the end of every update step, after the panels and the update command (sent or not):
  // the fix record with the two clamps written back, and the nine quantities of the step, the
  // same the update command carries. An update step ended by an arithmetic fault tells nothing.
  virtual void OnUpdated(const FixRecord& /*fix*/, const dde::FixQuantities& /*quantities*/) {}
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
  const StartupOptions& options;  // display options and GPSHtReference, read at every step
  const FixText& text;
  ui::Form& form;
  MainPanels& panels;
  dde::ClientLink& link;
  FixRecord& fix;
};

class PollCycle {
 public:
  explicit PollCycle(const PollCycleParts& parts) : p_(parts) {}

  // One tick of Timer1. A tick that arrives while an earlier one has a message box open (the
  // box's message loop delivers timer messages) does nothing.
  void Timer1_Timer();

  // Observers are told in the order added; each must outlive the cycle's ticks.
  void AddObserver(PollCycleObserver& observer) { observers_.push_back(&observer); }

 private:
  void PollFailed();
  // The engine could not write the recording and stopped it; the receiver stays live.
  void RecordingFailed();
  // The update step; an arithmetic fault ends it where it happens.
  void UpdateStep();
  void WriteStatus();
  void WriteFixMode();
  void WritePosition();
  void WriteElevation();
  void WriteTime(double displayedSeconds);
  void WriteSignalBars();
  // False on an arithmetic fault.
  bool WriteSkyPlot();
  bool WritePdop();
  void SendUpdate(const dde::FixQuantities& quantities);

  PollCycleParts p_;
  std::vector<PollCycleObserver*> observers_;
  bool inTick_ = false;
};

}  // namespace pelmora
