// TNMEASettingsForm, "NMEA GPS Receiver Settings": the elevation reference and the NMEA setup
// message file of ReceiverSettings, stored at OK. Portable.
#pragma once

#include <cstddef>

#include "app/settings/OptionStore.h"
#include "app/settings/SettingsDialogHost.h"
#include "app/ui/Dialog.h"
#include "navlib32/navlib32_records.h"

namespace pelmora {

// The longest setup file path OK takes: the option store reads a value back only when it has
// at most 254 characters, so a longer one would be lost at the next start (the record's field
// would hold 256).
constexpr std::size_t kMaxSettingsPathLength = 254;

class TNMEASettingsForm : public ui::Dialog {
 public:
  static constexpr int kHelpContext = 89;

  TNMEASettingsForm(ReceiverSettings& settings, const OptionStore& store, SettingsDialogHost& host);

  void FormCreate();
  void BrowseSettingsFileClick();
  // Refuses, with a message, a path longer than kMaxSettingsPathLength; the dialog stays open.
  void OKBtnClick();
  void CancelBtnClick() { Close(ui::ModalResult::Cancel); }
  void HelpBtnClick();

 private:
  ReceiverSettings& settings_;
  const OptionStore& store_;
  SettingsDialogHost& host_;
};

}  // namespace pelmora
