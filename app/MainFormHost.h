// What the main window and its rooms ask of the window system and of the services of later
// layers. Portable; the Win32 main window implements it, the tests fake it.
#pragma once

#include <string>

#include "app/PollCycle.h"
#include "app/format/TimeOfDay.h"
#include "app/settings/OptionStore.h"
#include "app/settings/SettingsDialogHost.h"
#include "app/settings/StartupOptions.h"

namespace pelmora {

// The caption of the program's information boxes.
constexpr char kInformationCaption[] = "Information";

// The settings dialogs' part (modal dialogs, help, file dialogs, error boxes) comes from
// SettingsDialogHost.
class MainFormHost : public SettingsDialogHost {
 public:
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
  // Enables or disables the main window; true when it was enabled before.
  virtual bool EnableMainWindow(bool on) = 0;
  virtual void StopTimer() = 0;
  // Shows the form's changes at once and handles the window's pending messages other than the
  // timer's, so that a long step (an export) keeps the window painted; the poll cycle waits.
  virtual void ShowProgress() = 0;
  // The option store the dialogs write and the web-page getters read.
  virtual const OptionStore& Store() = 0;
  // Opens an address in the user's web browser (ShellExecuteA "open", SW_SHOW); nothing is
  // reported when no browser opens it.
  virtual void ShellOpen(const std::string& address) = 0;
  // The local wall clock (the poll cycle's phase), the default beep, and the user's regional
  // long time format, read once at start.
  virtual WallClockTime LocalTime() = 0;
  virtual void Beep() = 0;
  virtual LongTimeFormat UserLongTimeFormat() = 0;
  // Shows the workbench window (created on first use) and brings it to the front.
  virtual void ShowWorkbench() = 0;
  // Asks the window to close; the close runs FormClose.
  virtual void CloseMainWindow() = 0;
  // Releases the main window and ends the message loop with exit code 0.
  virtual void Terminate() = 0;
};

}  // namespace pelmora
