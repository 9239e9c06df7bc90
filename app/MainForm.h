// TMainForm: the main window as a model of controls. It owns the run-time state, starts up and
// shuts down in their fixed order, handles the menu bar and keys, and changes the tracking mode
// (Off, Live, Simulated, recording). Its rooms: the layout (MainLayout), the panels and views
// (MainPanels), the poll cycle (PollCycle), the client link (dde::ClientLink), the Help menu
// (HelpMenu) and the fix server's entry (FixServerMenu); the DDE
// server's macro commands reach it through dde::MacroActions. Portable: the window system, the
// engine and the texts are behind MainFormHost, Engine and StringTable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/EpochFeed.h"
#include "app/FileDialog.h"
#include "app/FixServerMenu.h"
#include "app/HelpMenu.h"
#include "app/MainFormHost.h"
#include "app/MainPanels.h"
#include "app/PollCycle.h"
#include "app/StartPosition.h"
#include "app/StringTable.h"
#include "app/dde/ClientLink.h"
#include "app/dde/MacroHandler.h"
#include "app/engine/Engine.h"
#include "app/format/FixText.h"
#include "app/format/TimeOfDay.h"
#include "app/format/Units.h"
#include "app/settings/GPSSettingsForm.h"
#include "app/settings/OptionStore.h"
#include "app/settings/SettingsDialogHost.h"
#include "app/settings/StartupOptions.h"
#include "app/ui/Form.h"
#include "navlib32/navlib32_records.h"

namespace pelmora {

namespace net {
class FixServerControl;
}

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

class TMainForm : private dde::LinkUi,
                  private dde::MacroActions,
                  private PollCycleHost,
                  private ReceiverSource {
 public:
  TMainForm(MainFormHost& host, Engine& engine, StringTable& strings,
            dde::LinkTransport& linkTransport);

  ui::Form& Form() { return form_; }
  const ui::Form& Form() const { return form_; }
  MainPanels& Panels() { return panels_; }
  dde::ClientLink& Link() { return link_; }
  // The main window as the DDE server's macro commands reach it (HVNExecuteMacro).
  dde::MacroActions& Macros() { return *this; }
  HelpMenu& Help() { return help_; }
  // The epoch feed, which hands every epoch to the views, the GIS link and the followers.
  EpochFeed& Feed() { return feed_; }

  // Start-up; false when the program must end (the resource library is missing).
  bool FormCreate();
  void FormClose();

  // Menu handlers.
  void FileOff_Click();
  void FileLive_Click();
  void FileSimulated_Click();
  void FileRecord_Click();
  void FileExit_Click();
  // Replays the log at path as if it had been chosen with F4 (the program's command line).
  void ReplayLog(const std::string& path);
  void OptionsConnectServer_Click();
  void OptionsGPSSettings_Click();
  void OptionsPreferences_Click();
  // What follows the fix beside the window, wired here in the feed's order after the views and
  // the GIS link: the DDE server's items, then the fix server. Either may be null (no fix server:
  // its menu entry does nothing). Set before FormCreate, which starts the fix server when
  // FixServer is stored as 1; FormClose closes its clients.
  void SetFollowers(EpochConsumer* ddeItems, net::FixServerControl* fixServer);
  // Runs the handler of a menu, accelerator or button command id; false for an unknown id.
  bool Command(int commandId);

  // The pause button and the timer.
  void SimulatePauseButtonClick();
  void Timer1_Timer() { pollCycle_.Timer1_Timer(); }

  // Tracking modes. OpenEngine makes source the current one (a failed open keeps it too) and
  // returns the engine's open status.
  int32_t OpenEngine(Source source);
  int32_t CloseEngine() override;

  // State, read by tests and by the later layers.
  bool EngineOpen() const override { return engineOpen_ != 0; }
  bool Closing() const override { return closing_ != 0; }
  bool Paused() const override { return paused_ != 0; }
  int32_t LastStatus() const { return lastStatus_; }
  const Source& CurrentSource() const { return source_; }
  const StartupOptions& Options() const { return options_; }
  const UnitSuffixes& Suffixes() const { return suffixes_; }
  // The record the last update step showed.
  const FixRecord& Fix() const { return feed_.Shown().fix; }

 private:
  // The check marks of the mode items, and FileRecord enabled in Live mode only.
  void SetModeMenu(Mode mode);
  // Stops a recording (FileRecord checked) and unchecks FileRecord.
  void StopRecording() override;
  // The dialog of F4 (open) or F5 (save) for GPS logs.
  FileDialogRequest LogFileDialog(bool save) const;
  void BuildUnitSuffixes();

  // dde::LinkUi: the Connect check mark and the link's messages.
  void SetConnectChecked(bool checked) override;
  void ShowLinkFailed() override;
  void ShowLinkGivenUp() override;

  // dde::MacroActions: what a macro command does to the window.
  void SetTestLabel(const std::string& caption) override;
  // Also PollCycleHost's Off mode after a poll failure.
  void FileOff() override { FileOff_Click(); }
  void FileLive() override { FileLive_Click(); }
  int32_t OpenSource(const std::string& source) override;
  void SetPauseButtonDown(bool down) override;
  void SetPaused(bool paused) override { paused_ = paused ? 1 : 0; }
  void SetMacroEcho(bool on) override { macroEcho_ = on ? 1 : 0; }
  // A mode command, sent only while the link is up.
  void SendLinkCommand(const std::string& command) override;
  void Exit() override { FileExit_Click(); }

  // ReceiverSource: the receiver options dialog's reopen of the current source.
  int32_t ReopenEngine() override { return OpenEngine(source_); }
  void SetLastStatus(int32_t status) override { lastStatus_ = status; }

  // PollCycleHost: the rest of what a tick asks of the window.
  uint32_t EngineOpens() const override { return engineOpens_; }
  WallClockTime LocalTime() override { return host_.LocalTime(); }
  void ShowError(const std::string& text) override { host_.ShowError(text); }
  void Beep() override { host_.Beep(); }

  MainFormHost& host_;
  Engine& engine_;
  StringTable& strings_;
  ui::Form form_;
  StartupOptions options_;
  UnitSuffixes suffixes_;
  LongTimeFormat timeFormat_;
  FixText fixText_;
  MainPanels panels_;
  dde::ClientLink link_;
  EpochFeed feed_;
  PollCycle pollCycle_;
  HelpMenu help_;
  FixServerMenu fixServer_;
  StartPositionMemory startPosition_{form_};

  int32_t engineOpen_ = 0;
  int32_t closing_ = 0;
  int32_t paused_ = 0;
  int32_t macroEcho_ = 0;
  int32_t lastStatus_ = 0;
  uint32_t engineOpens_ = 0;
  Source source_;
};

}  // namespace pelmora
