// The NMEA receiver settings dialog: layout, the setup file browse and OK's two stores.
#include "app/settings/NMEASettingsForm.h"

#include <cstring>
#include <string>

#include "app/settings/DialogIds.h"
#include "app/settings/DialogStyles.h"
#include "app/settings/OptionKeys.h"
#include "navres32/StringIds.h"

namespace pelmora {
namespace {

using namespace dialog_styles;
using ui::ControlSpec;

// clang-format off
const ControlSpec kControls[] = {
    {.name = "ElevRefFrame", .id = IDC_NMEA_ElevRefFrame, .bounds = {8, 6, 330, 48}, .style = &kFrame, .caption = "Elevation Reference"},
    {.name = "ElevRefOptionIndeX0", .parent = "ElevRefFrame", .id = IDC_NMEA_ElevRefOptionIndeX0, .bounds = {14, 20, 100, 17}, .style = &kRadio, .caption = "Ellipsoid"},
    {.name = "ElevRefOptionIndeX1", .parent = "ElevRefFrame", .id = IDC_NMEA_ElevRefOptionIndeX0 + 1, .bounds = {150, 20, 160, 17}, .style = &kRadio, .caption = "Mean Sea Level Geoid"},
    {.name = "GroupBox1", .id = IDC_NMEA_GroupBox1, .bounds = {8, 60, 330, 56}, .style = &kFrame, .caption = "Setup Message Configuration File"},
    {.name = "Label1", .parent = "GroupBox1", .id = IDC_NMEA_Label1, .bounds = {12, 25, 52, 13}, .style = &kText, .caption = "File Name:"},
    {.name = "SettingsFilename", .parent = "GroupBox1", .id = IDC_SettingsFilename, .bounds = {68, 21, 170, 21}, .style = &kEdit},
    {.name = "BrowseSettingsFile", .parent = "GroupBox1", .id = IDC_BrowseSettingsFile, .bounds = {246, 19, 72, 25}, .style = &kButton, .caption = "Browse..."},
    {.name = "Ok", .id = IDC_NMEA_Ok, .bounds = {99, 126, kButtonWidth, kButtonHeight}, .style = &kButton, .caption = "OK"},
    {.name = "Cancel", .id = IDC_NMEA_Cancel, .bounds = {181, 126, kButtonWidth, kButtonHeight}, .style = &kButton, .caption = "Cancel"},
    {.name = "Help", .id = IDC_NMEA_Help, .bounds = {263, 126, kButtonWidth, kButtonHeight}, .style = &kButton, .caption = "Help"},
};
// clang-format on

}  // namespace

TNMEASettingsForm::TNMEASettingsForm(ReceiverSettings& settings, const OptionStore& store,
                                     SettingsDialogHost& host)
    : Dialog("NMEASettingsForm", "NMEA GPS Receiver Settings", {346, 159}),
      settings_(settings),
      store_(store),
      host_(host) {
  GetForm().AddControls(kControls);
  SetDefaultButton("Ok");
  SetCancelButton("Cancel");
  SetHelpButton("Help");
  SetFocusControl("Ok");
  On("BrowseSettingsFile", ui::ControlEvent::Click, [this] { BrowseSettingsFileClick(); });
  On("Ok", ui::ControlEvent::Click, [this] { OKBtnClick(); });
  On("Cancel", ui::ControlEvent::Click, [this] { CancelBtnClick(); });
  On("Help", ui::ControlEvent::Click, [this] { HelpBtnClick(); });
  FormCreate();
}

void TNMEASettingsForm::FormCreate() {
  if (settings_.heightReference == 0) C("ElevRefOptionIndeX0").SetChecked(true);
  if (settings_.heightReference == 1) C("ElevRefOptionIndeX1").SetChecked(true);
  const char* path = settings_.nmeaSettingsPath;
  C("SettingsFilename")
      .SetCaption(std::string(path, strnlen(path, sizeof settings_.nmeaSettingsPath)));
}

void TNMEASettingsForm::BrowseSettingsFileClick() {
  FileDialogRequest request;
  request.title = "Specify a NMEA Settings File";
  request.filter = "NMEA Settings File (*.nsf)|*.nsf||";
  request.defaultExtension = "nsf";
  request.options = kHideReadOnly | kPathMustExist | kFileMustExist;
  if (const std::optional<std::string> path = host_.ChooseFile(request)) {
    C("SettingsFilename").SetCaption(*path);
  }
}

void TNMEASettingsForm::OKBtnClick() {
  const std::string& path = C("SettingsFilename").Caption();
  // Cut, the path would name another file; a NUL inside would cut it too.
  if (path.size() > kMaxSettingsPathLength || path.find('\0') != std::string::npos) {
    host_.ShowError(host_.Text(IDS_SetupPathTooLong));
    return;
  }
  settings_.heightReference = IsChecked("ElevRefOptionIndeX0") ? 0 : 1;
  store_.WriteOption(OptionNamed("GPSHtReference").name, std::to_string(settings_.heightReference));
  std::memset(settings_.nmeaSettingsPath, 0, sizeof settings_.nmeaSettingsPath);
  std::memcpy(settings_.nmeaSettingsPath, path.data(), path.size());
  store_.WriteOption(OptionNamed("GPSNMEASettingsFile").name, path);
  settings_.changed = 1;
  Close(ui::ModalResult::Ok);
}

void TNMEASettingsForm::HelpBtnClick() {
  host_.ShowHelp(kHelpContext);
}

}  // namespace pelmora
