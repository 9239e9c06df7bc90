// The TSIP receiver settings dialog: layout, the mode buttons' spin edits and OK's nine stores.
#include "app/settings/TSIPSettingsForm.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "app/settings/DialogIds.h"
#include "app/settings/DialogStyles.h"
#include "app/settings/OptionKeys.h"

namespace pelmora {
namespace {

using namespace dialog_styles;
using ui::ControlSpec;

// clang-format off
const ControlSpec kControls[] = {
    {.name = "GroupBox2", .id = IDC_TSIP_GroupBox2, .bounds = {8, 6, 250, 92}, .style = &kFrame, .caption = "2D / 3D Selection"},
    {.name = "ModeOptionIndeX0", .parent = "GroupBox2", .id = IDC_ModeOptionIndeX0, .bounds = {14, 20, 72, 17}, .style = &kRadio, .caption = "2D Only"},
    {.name = "ModeOptionIndeX1", .parent = "GroupBox2", .id = IDC_ModeOptionIndeX0 + 1, .bounds = {14, 43, 72, 17}, .style = &kRadio, .caption = "2D / 3D"},
    {.name = "ModeOptionIndeX2", .parent = "GroupBox2", .id = IDC_ModeOptionIndeX0 + 2, .bounds = {14, 66, 72, 17}, .style = &kRadio, .caption = "3D Only"},
    {.name = "Label1", .parent = "GroupBox2", .id = IDC_TSIP_Label1, .bounds = {96, 22, 84, 13}, .style = &kText, .caption = "Known Alt. (m):"},
    {.name = "AltEdit", .parent = "GroupBox2", .id = IDC_AltEdit, .bounds = {182, 18, 56, 21}, .style = &kSpin},
    {.name = "Label2", .parent = "GroupBox2", .id = IDC_TSIP_Label2, .bounds = {96, 45, 84, 13}, .style = &kText, .caption = "Switch at PDOP:"},
    {.name = "PDOPSwitchEdit", .parent = "GroupBox2", .id = IDC_PDOPSwitchEdit, .bounds = {182, 41, 56, 21}, .style = &kSpin, .minValue = 1, .maxValue = 20},
    {.name = "GroupBox1", .id = IDC_TSIP_GroupBox1, .bounds = {266, 6, 150, 146}, .style = &kFrame, .caption = "Dynamics"},
    {.name = "DynamicsOptionIndeX0", .parent = "GroupBox1", .id = IDC_DynamicsOptionIndeX0, .bounds = {14, 24, 120, 17}, .style = &kRadio, .caption = "Land"},
    {.name = "DynamicsOptionIndeX1", .parent = "GroupBox1", .id = IDC_DynamicsOptionIndeX0 + 1, .bounds = {14, 53, 120, 17}, .style = &kRadio, .caption = "Sea"},
    {.name = "DynamicsOptionIndeX2", .parent = "GroupBox1", .id = IDC_DynamicsOptionIndeX0 + 2, .bounds = {14, 82, 120, 17}, .style = &kRadio, .caption = "Air"},
    {.name = "DynamicsOptionIndeX3", .parent = "GroupBox1", .id = IDC_DynamicsOptionIndeX0 + 3, .bounds = {14, 111, 120, 17}, .style = &kRadio, .caption = "Stationary"},
    {.name = "GroupBox3", .id = IDC_TSIP_GroupBox3, .bounds = {8, 104, 250, 48}, .style = &kFrame, .caption = "Solution Method"},
    {.name = "TrackModeOptionIndeX0", .parent = "GroupBox3", .id = IDC_TrackModeOptionIndeX0, .bounds = {14, 20, 100, 17}, .style = &kRadio, .caption = "Best 4 SVs"},
    {.name = "TrackModeOptionIndeX1", .parent = "GroupBox3", .id = IDC_TrackModeOptionIndeX0 + 1, .bounds = {124, 20, 110, 17}, .style = &kRadio, .caption = "Highest 6 SVs"},
    {.name = "GroupBox5", .id = IDC_TSIP_GroupBox5, .bounds = {8, 158, 250, 92}, .style = &kFrame, .caption = "Mask Thresholds"},
    {.name = "Label3", .parent = "GroupBox5", .id = IDC_TSIP_Label3, .bounds = {14, 22, 120, 13}, .style = &kText, .caption = "Min. Elev. Angle:"},
    {.name = "ElevEdit", .parent = "GroupBox5", .id = IDC_ElevEdit, .bounds = {182, 18, 56, 21}, .style = &kSpin, .minValue = 0, .maxValue = 90},
    {.name = "Label4", .parent = "GroupBox5", .id = IDC_TSIP_Label4, .bounds = {14, 45, 120, 13}, .style = &kText, .caption = "Min. Sig. Level:"},
    {.name = "SignalEdit", .parent = "GroupBox5", .id = IDC_SignalEdit, .bounds = {182, 41, 56, 21}, .style = &kSpin, .minValue = 0, .maxValue = 99},
    {.name = "Label5", .parent = "GroupBox5", .id = IDC_TSIP_Label5, .bounds = {14, 68, 120, 13}, .style = &kText, .caption = "Max. PDOP:"},
    {.name = "PDOPEdit", .parent = "GroupBox5", .id = IDC_PDOPEdit, .bounds = {182, 64, 56, 21}, .style = &kSpin, .minValue = 0, .maxValue = 99},
    {.name = "GroupBox4", .id = IDC_TSIP_GroupBox4, .bounds = {266, 158, 150, 92}, .style = &kFrame, .caption = "Elevation Reference"},
    {.name = "ElevRefOptionIndeX0", .parent = "GroupBox4", .id = IDC_TSIP_ElevRefOptionIndeX0, .bounds = {14, 28, 130, 17}, .style = &kRadio, .caption = "Ellipsoid"},
    {.name = "ElevRefOptionIndeX1", .parent = "GroupBox4", .id = IDC_TSIP_ElevRefOptionIndeX0 + 1, .bounds = {14, 56, 130, 17}, .style = &kRadio, .caption = "Mean Sea Level Geoid"},
    {.name = "OKBtn", .id = IDC_OKBtn, .bounds = {177, 260, kButtonWidth, kButtonHeight}, .style = &kButton, .caption = "OK"},
    {.name = "CancelBtn", .id = IDC_CancelBtn, .bounds = {259, 260, kButtonWidth, kButtonHeight}, .style = &kButton, .caption = "Cancel"},
    {.name = "BitBtn1", .id = IDC_BitBtn1, .bounds = {341, 260, kButtonWidth, kButtonHeight}, .style = &kButton, .caption = "Help"},
};
// clang-format on

const char* const kModes[] = {"ModeOptionIndeX0", "ModeOptionIndeX1", "ModeOptionIndeX2"};
const char* const kDynamics[] = {"DynamicsOptionIndeX0", "DynamicsOptionIndeX1",
                                 "DynamicsOptionIndeX2", "DynamicsOptionIndeX3"};

// The known altitude as the spin edit shows it: truncated toward zero; a value that is not
// finite or does not fit 32 bits shows 0.
int64_t WholeMetres(double metres) {
  if (!std::isfinite(metres) || std::fabs(metres) >= 2147483648.0) return 0;
  return static_cast<int64_t>(std::trunc(metres));
}

}  // namespace

TTSIPSettingsForm::TTSIPSettingsForm(ReceiverSettings& settings, const OptionStore& store,
                                     SettingsDialogHost& host)
    : Dialog("TSIPSettingsForm", "Trimble TSIP GPS Receiver Settings", {424, 293}),
      settings_(settings),
      store_(store),
      host_(host) {
  GetForm().AddControls(kControls);
  SetDefaultButton("OKBtn");
  SetCancelButton("CancelBtn");
  SetHelpButton("BitBtn1");
  SetFocusControl("OKBtn");
  On("ModeOptionIndeX0", ui::ControlEvent::Click, [this] { ModeOptionIndeX0Click(); });
  On("ModeOptionIndeX1", ui::ControlEvent::Click, [this] { ModeOptionIndeX1Click(); });
  On("ModeOptionIndeX2", ui::ControlEvent::Click, [this] { ModeOptionIndeX2Click(); });
  On("OKBtn", ui::ControlEvent::Click, [this] { OKBtnClick(); });
  On("CancelBtn", ui::ControlEvent::Click, [this] { CancelBtnClick(); });
  On("BitBtn1", ui::ControlEvent::Click, [this] { BitBtn1Click(); });
  FormCreate();
}

void TTSIPSettingsForm::EnableModeEdits(bool altitude, bool pdopSwitch) {
  const auto enable = [this](const char* name, bool on) {
    C(name).SetEnabled(on).SetTextColor(on ? ui::colors::kBlack : ui::colors::kGrey);
  };
  enable("AltEdit", altitude);
  enable("PDOPSwitchEdit", pdopSwitch);
}

void TTSIPSettingsForm::FormCreate() {
  const ReceiverSettings& s = settings_;
  EnableModeEdits(false, false);
  // Checking a mode button has the effect of clicking it.
  if (s.fixMode == 0) {
    C("ModeOptionIndeX1").SetChecked(true);
    ModeOptionIndeX1Click();
  } else if (s.fixMode == 3) {
    C("ModeOptionIndeX0").SetChecked(true);
    ModeOptionIndeX0Click();
  } else if (s.fixMode == 4) {
    C("ModeOptionIndeX2").SetChecked(true);
    ModeOptionIndeX2Click();
  }
  if (s.heightReference == 0 || s.heightReference == 1) {
    C(s.heightReference == 0 ? "ElevRefOptionIndeX0" : "ElevRefOptionIndeX1").SetChecked(true);
  }
  if (s.trackMode == 0 || s.trackMode == 1) {
    C(s.trackMode == 0 ? "TrackModeOptionIndeX0" : "TrackModeOptionIndeX1").SetChecked(true);
  }
  if (s.dynamics >= 1 && s.dynamics <= 4) C(kDynamics[s.dynamics - 1]).SetChecked(true);
  C("AltEdit").SetValue(WholeMetres(s.altitude2d));
  C("ElevEdit").SetValue(s.elevationMask);
  C("SignalEdit").SetValue(s.signalMask);
  C("PDOPEdit").SetValue(s.pdopMask);
  C("PDOPSwitchEdit").SetValue(s.pdopSwitch);
}

void TTSIPSettingsForm::OKBtnClick() {
  ReceiverSettings& s = settings_;
  const int32_t altitude = C("AltEdit").Value();
  const int32_t pdopSwitch = C("PDOPSwitchEdit").Value();
  if (IsChecked(kModes[0])) {
    s.fixMode = 3;
    s.altitude2d = altitude;
  } else if (IsChecked(kModes[1])) {
    s.fixMode = 0;
    s.pdopSwitch = static_cast<int16_t>(pdopSwitch);
  } else {
    s.fixMode = 4;
  }
  s.dynamics = 4;
  for (int16_t i = 0; i < 3; ++i) {
    if (IsChecked(kDynamics[i])) {
      s.dynamics = static_cast<int16_t>(i + 1);
      break;
    }
  }
  s.trackMode = IsChecked("TrackModeOptionIndeX0") ? 0 : 1;
  s.heightReference = IsChecked("ElevRefOptionIndeX0") ? 0 : 1;
  s.elevationMask = static_cast<int16_t>(C("ElevEdit").Value());
  s.signalMask = static_cast<int16_t>(C("SignalEdit").Value());
  s.pdopMask = static_cast<int16_t>(C("PDOPEdit").Value());

  const auto write = [this](const char* key, int32_t value) {
    store_.WriteOption(key, std::to_string(value));
  };
  write(OptionNamed("GPSMode").name, s.fixMode);
  write(OptionNamed("GPSDynamics").name, s.dynamics);
  write(OptionNamed("GPSTrackMode").name, s.trackMode);
  write(OptionNamed("GPSHtReference").name, s.heightReference);
  write(OptionNamed("GPSElevMask").name, s.elevationMask);
  write(OptionNamed("GPSSignalMask").name, s.signalMask);
  write(OptionNamed("GPSPDOPMask").name, s.pdopMask);
  // Whatever the mode: the next start reads them into the record.
  write(OptionNamed("GPS2DElev").name, altitude);
  write(OptionNamed("GPSPDOPSwitch").name, pdopSwitch);
  s.changed = 1;
  Close(ui::ModalResult::Ok);
}

void TTSIPSettingsForm::BitBtn1Click() {
  host_.ShowHelp(kHelpContext);
}

}  // namespace pelmora
