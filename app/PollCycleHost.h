// What the poll cycle and the replay player ask of the main window beyond its controls.
// Portable.
#pragma once

#include <cstdint>
#include <string>

namespace pelmora {

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

}  // namespace pelmora
