// TPreferencesForm, "Set Preferences": the display and behaviour options (reading interval and
// beep, position format, local or UTC time, heading reference, units, start minimized and the
// DDE switch), written into the main window's options and the store at OK. The poll cycle reads
// them at its next tick. Portable.
#pragma once

#include "app/settings/OptionStore.h"
#include "app/settings/SettingsDialogHost.h"
#include "app/settings/StartupOptions.h"
#include "app/ui/Dialog.h"

namespace pelmora {

class TPreferencesForm : public ui::Dialog {
 public:
  static constexpr int kHelpContext = 14;

  TPreferencesForm(DisplayOptions& options, const OptionStore& store, SettingsDialogHost& host);

  // A value a list cannot show (an interval, format, decimal places or offset outside its
  // entries) leaves the list without a selection, and OK keeps that value unless the user
  // chose an entry.
  void FormCreate();
  void TimeOptionLocal_Click() { C("OffsetList").SetEnabled(true); }
  void TimeOptionUTC_Click() { C("OffsetList").SetEnabled(false); }
  void Ok_Click();
  void Cancel_Click() { Close(ui::ModalResult::Cancel); }
  void Help_Click();

 private:
  DisplayOptions& options_;
  const OptionStore& store_;
  SettingsDialogHost& host_;
};

}  // namespace pelmora
