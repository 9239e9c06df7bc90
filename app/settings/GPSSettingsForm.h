// TGPSSettingsForm, "Set GPS Receiver Options": the receiver's message type and serial line,
// the engine's default line settings when the type changes, the protocol dialog behind
// "Settings...", and OK's six stored options with the reopen of an open source. Portable.
#pragma once

#include <cstdint>

#include "app/engine/Engine.h"
#include "app/settings/OptionStore.h"
#include "app/settings/SettingsDialogHost.h"
#include "app/settings/StartupOptions.h"
#include "app/ui/Dialog.h"

namespace pelmora {

// The main window as the receiver options dialog needs it.
class ReceiverSource {
 public:
  virtual ~ReceiverSource() = default;
  // A receiver source (live data or a replayed log) is open.
  virtual bool EngineOpen() const = 0;
  // Closes and reopens the current source with the current settings; the open status.
  virtual int32_t ReopenEngine() = 0;
  // The main window's last engine result.
  virtual void SetLastStatus(int32_t status) = 0;
};

// What the receiver dialogs edit and call: the main window's options (receiver type, port,
// CommInfo, ReceiverSettings), the engine, the option store and the window system.
struct ReceiverDialogParts {
  StartupOptions& options;
  Engine& engine;
  const OptionStore& store;
  SettingsDialogHost& host;
  ReceiverSource& source;
};

class TGPSSettingsForm : public ui::Dialog {
 public:
  static constexpr int kHelpContext = 13;

  explicit TGPSSettingsForm(const ReceiverDialogParts& parts);

  void FormCreate();
  void GPSTypeListChange();
  void GPSReceiverSettingsClick();
  void Ok_Click();
  void Cancel_Click() { Close(ui::ModalResult::Cancel); }
  void Help_Click();
  // Fills the baud rate list and the seven radio buttons from a line setting.
  void ShowLineSettings(int32_t baud, int32_t parity, int32_t dataBits, int32_t stopBits);

 private:
  ReceiverDialogParts parts_;
};

}  // namespace pelmora
