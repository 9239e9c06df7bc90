// The tracking modes (Off, Live, Simulated, recording): the engine's open and close, the current
// source, the paused, closing and macro-echo flags, the last engine result, the mode menus and
// the pause button. The poll cycle and the receiver dialog reach it as PollCycleHost and
// ReceiverSource; the main form routes the File menu and the pause button here. Portable.
#pragma once

#include <cstdint>
#include <string>

#include "app/EpochFeed.h"
#include "app/FileDialog.h"
#include "app/MainFormHost.h"
#include "app/MainPanels.h"
#include "app/PollCycle.h"
#include "app/StringTable.h"
#include "app/dde/ClientLink.h"
#include "app/engine/Engine.h"
#include "app/settings/GPSSettingsForm.h"
#include "app/settings/StartupOptions.h"
#include "app/ui/Form.h"

namespace pelmora {

// Where the engine reads from: a serial port (Live mode) or a GPS log to replay.
struct Source {
  std::string name;  // "COM" + port number, or the path of the log
  bool port = false;

  // "COM" followed by the port number in decimal.
  static Source Port(int32_t number);
  // A name given by the user or a PLAY macro: a port when its first three characters are "COM"
  // in any letter case, the port COMn for a device path \\.\COMn, otherwise a log.
  static Source Named(std::string name);
};

// The tracking mode, as the check marks of FileOff, FileLive and FileSimulated show it.
enum class Mode { Off, Live, Simulated };

// What the modes read and write, owned by the main form for the whole run.
struct TrackingModesParts {
  MainFormHost& host;
  Engine& engine;
  const StringTable& strings;
  const StartupOptions& options;  // receiver type, port and line settings, read at every open
  ui::Form& form;
  MainPanels& panels;
  EpochFeed& feed;
  dde::ClientLink& link;
};

class TrackingModes final : public PollCycleHost, public ReceiverSource {
 public:
  explicit TrackingModes(const TrackingModesParts& parts) : p_(parts) {}

  // FormCreate: not closing, not paused, no macro echo.
  void Reset();
  // FormClose: from now on ticks do nothing.
  void BeginClose() { closing_ = 1; }

  // Menu handlers and the pause button.
  void FileOff_Click();
  void FileLive_Click();
  void FileSimulated_Click();
  void FileRecord_Click();
  // Sets the closing flag and asks the window to close.
  void FileExit_Click();
  void SimulatePauseButtonClick();
  // Replays the log at path as if it had been chosen with F4 (the program's command line).
  void ReplayLog(const std::string& path);

  // OpenEngine makes source the current one (a failed open keeps it too) and returns the
  // engine's open status.
  int32_t OpenEngine(Source source);
  int32_t CloseEngine() override;
  // Stops a recording (FileRecord checked) and unchecks FileRecord.
  void StopRecording() override;

  // What the DDE server's macro commands set besides the menu handlers.
  // The pressed state of SimulatePauseButton, set without running its click handler.
  void SetPauseButtonDown(bool down);
  void SetPaused(bool paused) { paused_ = paused ? 1 : 0; }
  // While set, the pause button's click handler sends nothing on the client link.
  void SetMacroEcho(bool on) { macroEcho_ = on ? 1 : 0; }
  // A mode command, sent only while the link is up.
  void SendLinkCommand(const std::string& command);

  bool EngineOpen() const override { return engineOpen_ != 0; }
  bool Closing() const override { return closing_ != 0; }
  bool Paused() const override { return paused_ != 0; }
  uint32_t EngineOpens() const override { return engineOpens_; }
  int32_t LastStatus() const { return lastStatus_; }
  const Source& CurrentSource() const { return source_; }

  // PollCycleHost: the Off mode after a poll failure, and the window's services.
  void FileOff() override { FileOff_Click(); }
  void SetLastStatus(int32_t status) override { lastStatus_ = status; }
  WallClockTime LocalTime() override { return p_.host.LocalTime(); }
  void ShowError(const std::string& text) override { p_.host.ShowError(text); }
  void Beep() override { p_.host.Beep(); }

  // ReceiverSource: the receiver options dialog's reopen of the current source.
  int32_t ReopenEngine() override { return OpenEngine(source_); }

 private:
  // The check marks of the mode items, and FileRecord enabled in Live mode only.
  void SetModeMenu(Mode mode);
  // The dialog of F4 (open) or F5 (save) for GPS logs.
  FileDialogRequest LogFileDialog(bool save) const;

  TrackingModesParts p_;
  int32_t engineOpen_ = 0;
  int32_t closing_ = 0;
  int32_t paused_ = 0;
  int32_t macroEcho_ = 0;
  int32_t lastStatus_ = 0;
  uint32_t engineOpens_ = 0;
  Source source_;
};

}  // namespace pelmora
