// TTSIPSettingsForm, "Trimble TSIP GPS Receiver Settings": fix dimension with the known
// altitude and the PDOP switch point, dynamics, solution method, masks and the elevation
// reference of ReceiverSettings, stored at OK. Portable.
#pragma once

#include "app/settings/OptionStore.h"
#include "app/settings/SettingsDialogHost.h"
#include "app/ui/Dialog.h"
#include "navlib32/navlib32_records.h"

namespace pelmora {

class TTSIPSettingsForm : public ui::Dialog {
 public:
  static constexpr int kHelpContext = 93;

  TTSIPSettingsForm(ReceiverSettings& settings, const OptionStore& store, SettingsDialogHost& host);

  void FormCreate();
  // The mode buttons: each enables the spin edit its mode uses and greys the other.
  void ModeOptionIndeX0Click() { EnableModeEdits(true, false); }
  void ModeOptionIndeX1Click() { EnableModeEdits(false, true); }
  void ModeOptionIndeX2Click() { EnableModeEdits(false, false); }
  void OKBtnClick();
  void CancelBtnClick() { Close(ui::ModalResult::Cancel); }
  void BitBtn1Click();

 private:
  void EnableModeEdits(bool altitude, bool pdopSwitch);

  ReceiverSettings& settings_;
  const OptionStore& store_;
  SettingsDialogHost& host_;
};

}  // namespace pelmora
