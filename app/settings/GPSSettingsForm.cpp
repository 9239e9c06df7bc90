// The receiver options dialog: layout, the line settings shown, the defaults of a message type
// and OK's stores in their fixed order.
#include "app/settings/GPSSettingsForm.h"

#include <array>
#include <string>
#include <vector>

#include "app/settings/DialogIds.h"
#include "app/settings/DialogStyles.h"
#include "app/settings/NMEASettingsForm.h"
#include "app/settings/OptionKeys.h"
#include "app/settings/TSIPSettingsForm.h"

namespace pelmora {
namespace {

using namespace dialog_styles;
using ui::ControlSpec;

constexpr std::array<int32_t, 4> kBaudRates = {1200, 2400, 4800, 9600};
constexpr int kComPorts = 12;

// clang-format off
const ControlSpec kControls[] = {
    {.name = "MessageTypeFrame", .id = IDC_MessageTypeFrame, .bounds = {8, 6, 314, 50}, .style = &kFrame, .caption = "GPS MessageType"},
    {.name = "GPSTypeList", .parent = "MessageTypeFrame", .id = IDC_GPSTypeList, .bounds = {12, 19, 177, 21}, .style = &kList},
    {.name = "GPSReceiverSettings", .parent = "MessageTypeFrame", .id = IDC_GPSReceiverSettings, .bounds = {208, 17, 92, 25}, .style = &kButton, .caption = "Settings..."},
    {.name = "ComPortFrame", .id = IDC_ComPortFrame, .bounds = {8, 62, 153, 50}, .style = &kFrame, .caption = "Com Port"},
    {.name = "ComPortList", .parent = "ComPortFrame", .id = IDC_ComPortList, .bounds = {12, 19, 129, 21}, .style = &kList},
    {.name = "BaudRateFrame", .id = IDC_BaudRateFrame, .bounds = {169, 62, 153, 50}, .style = &kFrame, .caption = "Baud Rate"},
    {.name = "BaudRateList", .parent = "BaudRateFrame", .id = IDC_BaudRateList, .bounds = {12, 19, 129, 21}, .style = &kList},
    {.name = "ParityFrame", .id = IDC_ParityFrame, .bounds = {8, 118, 98, 86}, .style = &kFrame, .caption = "Parity"},
    {.name = "ParityOptionIndeX0", .parent = "ParityFrame", .id = IDC_ParityOptionIndeX0, .bounds = {14, 19, 76, 17}, .style = &kRadio, .caption = "None"},
    {.name = "ParityOptionIndeX1", .parent = "ParityFrame", .id = IDC_ParityOptionIndeX0 + 1, .bounds = {14, 40, 76, 17}, .style = &kRadio, .caption = "Odd"},
    {.name = "ParityOptionIndeX2", .parent = "ParityFrame", .id = IDC_ParityOptionIndeX0 + 2, .bounds = {14, 61, 76, 17}, .style = &kRadio, .caption = "Even"},
    {.name = "DataBitsFrame", .id = IDC_DataBitsFrame, .bounds = {116, 118, 98, 86}, .style = &kFrame, .caption = "Data Bits"},
    {.name = "DataBitsOptionIndeX7", .parent = "DataBitsFrame", .id = IDC_DataBitsOptionIndeX7, .bounds = {14, 19, 76, 17}, .style = &kRadio, .caption = "7"},
    {.name = "DataBitsOptionIndeX8", .parent = "DataBitsFrame", .id = IDC_DataBitsOptionIndeX8, .bounds = {14, 40, 76, 17}, .style = &kRadio, .caption = "8"},
    {.name = "StopBitsFrame", .id = IDC_StopBitsFrame, .bounds = {224, 118, 98, 86}, .style = &kFrame, .caption = "Stop Bits"},
    {.name = "StopBitsOptionIndeX0", .parent = "StopBitsFrame", .id = IDC_StopBitsOptionIndeX0, .bounds = {14, 19, 76, 17}, .style = &kRadio, .caption = "1"},
    {.name = "StopBitsOptionIndeX1", .parent = "StopBitsFrame", .id = IDC_StopBitsOptionIndeX0 + 1, .bounds = {14, 40, 76, 17}, .style = &kRadio, .caption = "2"},
    {.name = "Ok", .id = IDC_GPSSettings_Ok, .bounds = {83, 214, kButtonWidth, kButtonHeight}, .style = &kButton, .caption = "OK"},
    {.name = "Cancel", .id = IDC_GPSSettings_Cancel, .bounds = {165, 214, kButtonWidth, kButtonHeight}, .style = &kButton, .caption = "Cancel"},
    {.name = "Help", .id = IDC_GPSSettings_Help, .bounds = {247, 214, kButtonWidth, kButtonHeight}, .style = &kButton, .caption = "Help"},
};
// clang-format on

const char* const kParity[] = {"ParityOptionIndeX0", "ParityOptionIndeX1", "ParityOptionIndeX2"};
const char* const kStopBits[] = {"StopBitsOptionIndeX0", "StopBitsOptionIndeX1"};

// The list position of a 1-based number; -1 (no selection) for one the list does not hold.
int Position(int32_t number, int count) {
  const int64_t position = static_cast<int64_t>(number) - 1;
  return position >= 0 && position < count ? static_cast<int>(position) : -1;
}

}  // namespace

TGPSSettingsForm::TGPSSettingsForm(const ReceiverDialogParts& parts)
    : Dialog("GPSSettingsForm", "Set GPS Receiver Options", {330, 247}), parts_(parts) {
  GetForm().AddControls(kControls);
  SetDefaultButton("Ok");
  SetCancelButton("Cancel");
  SetHelpButton("Help");
  SetFocusControl("GPSTypeList");
  On("GPSTypeList", ui::ControlEvent::Change, [this] { GPSTypeListChange(); });
  On("GPSReceiverSettings", ui::ControlEvent::Click, [this] { GPSReceiverSettingsClick(); });
  On("Ok", ui::ControlEvent::Click, [this] { Ok_Click(); });
  On("Cancel", ui::ControlEvent::Click, [this] { Cancel_Click(); });
  On("Help", ui::ControlEvent::Click, [this] { Help_Click(); });
  FormCreate();
}

void TGPSSettingsForm::FormCreate() {
  const StartupOptions& o = parts_.options;
  C("GPSTypeList").SetItems({"NMEA 0183", "Trimble TSIP"});
  C("GPSTypeList").SetItemIndex(Position(o.receiverType, 2));
  std::vector<std::string> ports;
  for (int port = 1; port <= kComPorts; ++port)
    ports.push_back("COM" + std::to_string(port));
  C("ComPortList").SetItems(std::move(ports));
  C("ComPortList").SetItemIndex(Position(o.comPort, kComPorts));
  ShowLineSettings(o.commInfo.baudRate, o.commInfo.parity, o.commInfo.dataBits,
                   o.commInfo.stopBits);
}

void TGPSSettingsForm::ShowLineSettings(int32_t baud, int32_t parity, int32_t dataBits,
                                        int32_t stopBits) {
  ui::Control& list = C("BaudRateList");
  std::vector<std::string> rates;
  int selected = -1;
  for (size_t i = 0; i < kBaudRates.size(); ++i) {
    rates.push_back(std::to_string(kBaudRates[i]));
    if (kBaudRates[i] == baud) selected = static_cast<int>(i);
  }
  list.SetItems(std::move(rates));
  list.SetItemIndex(selected);
  for (const char* name :
       {"ParityOptionIndeX0", "ParityOptionIndeX1", "ParityOptionIndeX2", "DataBitsOptionIndeX7",
        "DataBitsOptionIndeX8", "StopBitsOptionIndeX0", "StopBitsOptionIndeX1"}) {
    C(name).SetChecked(false);
  }
  if (parity >= 0 && parity <= 2) C(kParity[parity]).SetChecked(true);
  if (dataBits == 7) C("DataBitsOptionIndeX7").SetChecked(true);
  if (dataBits == 8) C("DataBitsOptionIndeX8").SetChecked(true);
  if (stopBits == 0 || stopBits == 1) C(kStopBits[stopBits]).SetChecked(true);
}

void TGPSSettingsForm::GPSTypeListChange() {
  CommInfo defaults{};
  const int32_t status =
      parts_.engine.GetDefaultCommInfo(C("GPSTypeList").ItemIndex() + 1, defaults);
  parts_.source.SetLastStatus(status);
  if (status != 0) return;
  ShowLineSettings(defaults.baudRate, defaults.parity, defaults.dataBits, defaults.stopBits);
}

void TGPSSettingsForm::GPSReceiverSettingsClick() {
  const int position = C("GPSTypeList").ItemIndex();
  ReceiverSettings& settings = parts_.options.receiverSettings;
  if (position == 0) {
    TNMEASettingsForm dialog(settings, parts_.store, parts_.host);
    parts_.host.ShowModal(dialog);
  } else if (position == 1) {
    TTSIPSettingsForm dialog(settings, parts_.store, parts_.host);
    parts_.host.ShowModal(dialog);
  }
}

void TGPSSettingsForm::Ok_Click() {
  StartupOptions& o = parts_.options;
  // A list left without a selection (a stored value it does not hold) keeps its value, as the
  // baud rate does: type or port 0 would only make the next open fail.
  const int type = C("GPSTypeList").ItemIndex();
  const int port = C("ComPortList").ItemIndex();
  const int baud = C("BaudRateList").ItemIndex();
  if (type >= 0) o.receiverType = type + 1;
  if (port >= 0) o.comPort = port + 1;
  if (baud >= 0) o.commInfo.baudRate = static_cast<int16_t>(kBaudRates[static_cast<size_t>(baud)]);
  o.commInfo.dataBits = IsChecked("DataBitsOptionIndeX7") ? 7 : 8;
  o.commInfo.stopBits = IsChecked("StopBitsOptionIndeX0") ? 0 : 1;
  o.commInfo.parity = IsChecked("ParityOptionIndeX0") ? 0 : IsChecked("ParityOptionIndeX1") ? 1 : 2;

  const OptionStore& store = parts_.store;
  store.WriteOption(OptionNamed("GpsType").name, std::to_string(o.receiverType));
  store.WriteOption(OptionNamed("ComPort").name, std::to_string(o.comPort));
  store.WriteOption(OptionNamed("BaudRate").name, std::to_string(o.commInfo.baudRate));
  store.WriteOption(OptionNamed("Parity").name, std::to_string(o.commInfo.parity));
  store.WriteOption(OptionNamed("DataBits").name, std::to_string(o.commInfo.dataBits));
  store.WriteOption(OptionNamed("StopBits").name, std::to_string(o.commInfo.stopBits));
  // The message type and line settings take effect at once; a new port at the next Live.
  if (parts_.source.EngineOpen()) parts_.source.SetLastStatus(parts_.source.ReopenEngine());
  Close(ui::ModalResult::Ok);
}

void TGPSSettingsForm::Help_Click() {
  parts_.host.ShowHelp(kHelpContext);
}

}  // namespace pelmora
