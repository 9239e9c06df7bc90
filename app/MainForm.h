// TMainForm: the main window as a model of controls, its start-up and shutdown handlers, the
// menu bar, the idle display and the view switching. Portable: the window system, the engine
// and the texts are behind MainFormHost, Engine and StringTable.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/StringTable.h"
#include "app/engine/Engine.h"
#include "app/format/Units.h"
#include "app/settings/StartupOptions.h"
#include "app/ui/Form.h"
#include "navlib32/navlib32_records.h"

namespace pelmora {

// What the main window asks of the window system and of the services of later layers.
class MainFormHost {
 public:
  virtual ~MainFormHost() = default;
  // Directory of the program file, without a trailing backslash.
  virtual std::string AppDirectory() = 0;
  // Every start-up option with its default (the option store).
  virtual StartupOptions LoadOptions() = 0;
  // Stores the start position for the next run (GPSInitLat, GPSInitLon, cut to whole degrees).
  virtual void StoreStartPosition(double latitudeDegrees, double longitudeDegrees) = 0;
  // An information message box with one OK button; returns when it is closed.
  virtual void ShowInformation(const std::string& text, const std::string& caption) = 0;
  // The maker's modal About box (hvndlg32).
  virtual void ShowAbout(const std::string& productName, const std::string& versionText) = 0;
  virtual void SetTopmost(bool on) = 0;
  virtual void SetMinimised() = 0;
  virtual void ShowMainWindow() = 0;
  virtual void EnableMainWindow(bool on) = 0;
  virtual void StopTimer() = 0;
  // Asks the window to close; the close runs FormClose.
  virtual void CloseMainWindow() = 0;
  // Releases the main window and ends the message loop with exit code 0.
  virtual void Terminate() = 0;
  // The client link to the GIS application.
  virtual void SendLinkCommand(const std::string& command) = 0;
  virtual void CloseClientLink() = 0;
};

constexpr int kViewCount = 3;
constexpr int kFloodBarBevel = 2;

class TMainForm {
 public:
  TMainForm(MainFormHost& host, Engine& engine, StringTable& strings);

  ui::Form& Form() { return form_; }
  const ui::Form& Form() const { return form_; }

  // Start-up; false when the program must end (the resource library is missing).
  bool FormCreate();
  void FormClose();

  // Menu handlers.
  void FileOff_Click();
  void FileLive_Click();
  void FileSimulated_Click();
  void FileRecord_Click();
  void FileExit_Click();
  void OptionsConnectServer_Click();
  void OptionsGPSSettings_Click();
  void OptionsViewGPSInfo_Click() { ShowView(0); }
  void OptionsViewStrength_Click() { ShowView(1); }
  void OptionsViewConfig_Click() { ShowView(2); }
  void OptionsPreferences_Click();
  void HelpContents_Click();
  void HalvornontheWebMenuItemClick();
  void DownloadsMenuItemClick();
  void OnlineSupportMenuItemClick();
  void OnlineDiscussionGroupMenuItemClick();
  void HelpAbout_Click();
  // Runs the handler of a menu or accelerator command id; false for an unknown id.
  bool Command(int commandId);

  // Buttons, keys and the timer.
  void OptionsViewButton_Click();
  void SimulatePauseButtonClick();
  // True when the key was handled: F12, whatever the modifiers (ui::ShiftState bits).
  bool Form_KeyDown(ui::Key key, unsigned shift = ui::kShiftNone);
  void Timer1_Timer();

  // Display operations.
  void ResetDisplay();
  void ShowPdopBar(int level);
  ui::Control* FindSignalBar(int index) const;
  ui::Control* FindSignalSatLabel(int index) const;
  ui::Control* FindConfigSatLabel(int index) const;
  void ShowView(int view);
  void NextView();

  // Tracking modes.
  int32_t OpenEngine();
  int32_t CloseEngine();

  // State, read by tests and by the later layers.
  int ViewIndex() const { return viewIndex_; }
  bool EngineOpen() const { return engineOpen_ != 0; }
  bool Closing() const { return closing_ != 0; }
  bool Paused() const { return paused_ != 0; }
  bool LinkOpen() const { return linkOpen_ != 0; }
  void SetLinkOpen(bool on) { linkOpen_ = on ? 1 : 0; }
  bool MacroEcho() const { return macroEcho_ != 0; }
  int32_t FailedSends() const { return failedSends_; }
  int32_t LastStatus() const { return lastStatus_; }
  const std::string& VersionText() const { return versionText_; }
  const std::string& HelpFilePath() const { return helpFilePath_; }
  const std::string& SourceName() const { return sourceName_; }
  void SetSourceName(std::string name) { sourceName_ = std::move(name); }
  int32_t ReceiverType() const { return receiverType_; }
  int32_t PortNumber() const { return portNumber_; }
  const CommInfo& GetCommInfo() const { return commInfo_; }
  const ReceiverSettings& GetReceiverSettings() const { return receiverSettings_; }
  const DisplayOptions& Display() const { return display_; }
  void SetDisplay(const DisplayOptions& d) { display_ = d; }
  const UnitSuffixes& Suffixes() const { return suffixes_; }
  const FixRecord& Fix() const { return fix_; }
  FixRecord& MutableFix() { return fix_; }

 private:
  void BuildControls();
  void BuildMenus();
  void ApplyStartupOptions(const StartupOptions& options);
  void BuildUnitSuffixes();
  void StoreStartPosition();
  void SendLinkCommand(const std::string& command);
  void SetGpsStatusText(int stringId);

  MainFormHost& host_;
  Engine& engine_;
  StringTable& strings_;
  ui::Form form_;

  int32_t engineOpen_ = 0;
  int32_t closing_ = 0;
  int32_t paused_ = 0;
  int32_t linkOpen_ = 0;
  int32_t macroEcho_ = 0;
  int32_t failedSends_ = 0;
  int32_t receiverType_ = 1;
  int32_t portNumber_ = 1;
  int32_t lastStatus_ = 0;
  int viewIndex_ = 0;
  std::string versionText_;
  std::string helpFilePath_;
  std::string sourceName_;
  CommInfo commInfo_{4800, 0, 8, 0};
  ReceiverSettings receiverSettings_{};
  FixRecord fix_{};
  DisplayOptions display_;
  UnitSuffixes suffixes_;
};

// The names of the three view group boxes, by view index.
extern const std::array<const char*, kViewCount> kViewFrames;
// The menu items that show the three views, by view index.
extern const std::array<const char*, kViewCount> kViewMenuItems;

}  // namespace pelmora
