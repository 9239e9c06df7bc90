// The receiver options dialog and the NMEA and TSIP settings dialogs as models: what they show
// for the options in memory, what the user's clicks do, and what OK stores in which order.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/settings/GPSSettingsForm.h"
#include "app/settings/NMEASettingsForm.h"
#include "app/settings/TSIPSettingsForm.h"
#include "tests/unit/settings/FakeDialogHost.h"
#include "tests/unit/settings/FakeOptionBackend.h"

namespace pelmora {
namespace {

using Writes = std::vector<std::pair<std::string, std::string>>;
using ui::ModalResult;

class ReceiverDialogsTest : public ::testing::Test {
 protected:
  ReceiverDialogsTest() {
    options_ = LoadStartupOptions(store_, "C:\\Apps\\Pelmora");
    backend_.reads.clear();
  }
  ReceiverDialogParts Parts() { return {options_, engine_, store_, host_, source_}; }
  static bool Checked(ui::Dialog& d, const char* name) { return d.GetForm().Get(name).Checked(); }
  static ui::Control& C(ui::Dialog& d, const char* name) { return d.GetForm().Get(name); }
  // The names of the radio buttons of the line settings that are checked.
  static std::vector<std::string> CheckedLine(ui::Dialog& d) {
    std::vector<std::string> out;
    for (const char* name :
         {"ParityOptionIndeX0", "ParityOptionIndeX1", "ParityOptionIndeX2", "DataBitsOptionIndeX7",
          "DataBitsOptionIndeX8", "StopBitsOptionIndeX0", "StopBitsOptionIndeX1"}) {
      if (Checked(d, name)) out.push_back(name);
    }
    return out;
  }

  test::FakeOptionBackend backend_;
  OptionStore store_{backend_, "Pelmora"};
  StartupOptions options_;
  test::DefaultsEngine engine_;
  test::FakeDialogHost host_;
  test::FakeSource source_;
};

TEST_F(ReceiverDialogsTest, GPSSettings_TypeSwitchShowsTheEngineDefaults_CancelStoresNothing) {
  TGPSSettingsForm dialog(Parts());
  EXPECT_EQ(C(dialog, "GPSTypeList").ItemText(), "NMEA 0183");
  EXPECT_EQ(C(dialog, "ComPortList").ItemText(), "COM1");
  EXPECT_EQ(C(dialog, "BaudRateList").ItemText(), "4800");

  dialog.Select("GPSTypeList", 1);
  EXPECT_EQ(engine_.asked, std::vector<int32_t>{2});
  EXPECT_EQ(source_.lastStatus, 0);
  EXPECT_EQ(C(dialog, "BaudRateList").ItemText(), "9600");
  EXPECT_EQ(CheckedLine(dialog),
            (std::vector<std::string>{"ParityOptionIndeX1", "DataBitsOptionIndeX8",
                                      "StopBitsOptionIndeX0"}));
  dialog.Dismiss();  // Escape
  EXPECT_EQ(dialog.Result(), ModalResult::Cancel);
  EXPECT_TRUE(backend_.writes.empty());
  EXPECT_EQ(options_.receiverType, 1);
  EXPECT_EQ(options_.commInfo.baudRate, 4800);
  EXPECT_EQ(options_.commInfo.parity, 0);
}

TEST_F(ReceiverDialogsTest, GPSSettings_FailedDefaultsLeaveTheLineAsTheUserSetIt) {
  engine_.defaultsResult = -7;
  TGPSSettingsForm dialog(Parts());
  dialog.Click("ParityOptionIndeX2");
  dialog.Select("BaudRateList", 0);
  dialog.Select("GPSTypeList", 1);
  EXPECT_EQ(source_.lastStatus, -7);
  EXPECT_EQ(C(dialog, "BaudRateList").ItemText(), "1200");
  EXPECT_EQ(CheckedLine(dialog),
            (std::vector<std::string>{"ParityOptionIndeX2", "DataBitsOptionIndeX8",
                                      "StopBitsOptionIndeX0"}));
}

TEST_F(ReceiverDialogsTest, GPSSettings_OkWithNothingOpenStoresTheSixKeysInOrder) {
  TGPSSettingsForm dialog(Parts());
  dialog.Select("GPSTypeList", 1);
  dialog.Select("ComPortList", 2);
  dialog.Click("StopBitsOptionIndeX1");
  dialog.Confirm();  // Enter
  EXPECT_EQ(dialog.Result(), ModalResult::Ok);
  EXPECT_EQ(backend_.writes, (Writes{{"GpsType", "2"},
                                     {"ComPort", "3"},
                                     {"BaudRate", "9600"},
                                     {"Parity", "1"},
                                     {"DataBits", "8"},
                                     {"StopBits", "1"}}));
  EXPECT_EQ(source_.reopens, 0);
  EXPECT_EQ(options_.receiverType, 2);
  EXPECT_EQ(options_.comPort, 3);
  EXPECT_EQ(options_.commInfo.baudRate, 9600);
  EXPECT_EQ(options_.commInfo.stopBits, 1);
}

TEST_F(ReceiverDialogsTest, GPSSettings_OkWhileASourceIsOpenReopensIt) {
  source_.open = true;
  source_.reopenResult = -2;
  TGPSSettingsForm dialog(Parts());
  dialog.Click("Ok");
  EXPECT_EQ(source_.reopens, 1);
  EXPECT_EQ(source_.lastStatus, -2);
  EXPECT_TRUE(dialog.Closed());
}

// Values the lists and groups cannot show: nothing is selected or checked. OK keeps a type,
// port or baud rate it could not show rather than storing 0, and takes each radio group's last
// value.
TEST_F(ReceiverDialogsTest, GPSSettings_ValuesOutsideTheListsShowNoSelectionAndSurviveOk) {
  options_.receiverType = 3;
  options_.comPort = 13;
  options_.commInfo = CommInfo{19200, 5, 6, 2};
  TGPSSettingsForm dialog(Parts());
  for (const char* list : {"GPSTypeList", "ComPortList", "BaudRateList"})
    EXPECT_EQ(C(dialog, list).ItemIndex(), -1) << list;
  EXPECT_TRUE(CheckedLine(dialog).empty());
  dialog.Click("Ok");
  EXPECT_EQ(backend_.writes, (Writes{{"GpsType", "3"},
                                     {"ComPort", "13"},
                                     {"BaudRate", "19200"},
                                     {"Parity", "2"},
                                     {"DataBits", "8"},
                                     {"StopBits", "1"}}));
}

TEST_F(ReceiverDialogsTest, GPSSettings_SettingsButtonOpensTheDialogOfTheSelectedType) {
  const struct {
    int32_t storedType;
    int selection;  // -1: leave the list as it opens
    std::vector<std::string> shown;
  } cases[] = {
      {1, -1, {"Dialog NMEA GPS Receiver Settings"}},
      {1, 1, {"Dialog Trimble TSIP GPS Receiver Settings"}},
      {2, 0, {"Dialog NMEA GPS Receiver Settings"}},
      {9, -1, {}},
  };
  for (const auto& c : cases) {
    options_.receiverType = c.storedType;
    host_.log.clear();
    TGPSSettingsForm dialog(Parts());
    if (c.selection >= 0) dialog.Select("GPSTypeList", c.selection);
    dialog.Click("GPSReceiverSettings");
    EXPECT_EQ(host_.log, c.shown) << c.storedType << " " << c.selection;
    EXPECT_FALSE(dialog.Closed());
  }
}

TEST_F(ReceiverDialogsTest, GPSSettings_CancelKeepsWhatTheProtocolDialogStored) {
  host_.users["Trimble TSIP GPS Receiver Settings"] = [](ui::Dialog& d) {
    d.Click("ElevRefOptionIndeX1");
    d.Click("OKBtn");
  };
  options_.receiverType = 2;
  TGPSSettingsForm dialog(Parts());
  dialog.Click("GPSReceiverSettings");
  dialog.Click("Cancel");
  EXPECT_EQ(options_.receiverSettings.heightReference, 1);
  EXPECT_EQ(store_.ReadOptionInt("GPSHtReference", -1), 1);
  EXPECT_EQ(store_.ReadOptionInt("GpsType", -1), -1);
}

TEST_F(ReceiverDialogsTest, HelpButtonsOpenTheirContexts) {
  TGPSSettingsForm gps(Parts());
  TNMEASettingsForm nmea(options_.receiverSettings, store_, host_);
  TTSIPSettingsForm tsip(options_.receiverSettings, store_, host_);
  gps.Click("Help");
  nmea.Click("Help");
  tsip.Click("BitBtn1");
  EXPECT_EQ(host_.log, (std::vector<std::string>{"Help 13", "Help 89", "Help 93"}));
  EXPECT_FALSE(gps.Closed() || nmea.Closed() || tsip.Closed());
}

TEST_F(ReceiverDialogsTest, NMEASettings_BrowseShowsTheChosenFileUntilOkStoresIt) {
  std::strcpy(options_.receiverSettings.nmeaSettingsPath, "C:\\gps\\old.nsf");
  TNMEASettingsForm dialog(options_.receiverSettings, store_, host_);
  EXPECT_EQ(C(dialog, "SettingsFilename").Caption(), "C:\\gps\\old.nsf");
  EXPECT_TRUE(Checked(dialog, "ElevRefOptionIndeX0"));

  dialog.Click("BrowseSettingsFile");  // cancelled
  EXPECT_EQ(C(dialog, "SettingsFilename").Caption(), "C:\\gps\\old.nsf");
  const FileDialogRequest& r = host_.lastRequest;
  EXPECT_FALSE(r.save);
  EXPECT_EQ(r.title, "Specify a NMEA Settings File");
  EXPECT_EQ(r.filter, "NMEA Settings File (*.nsf)|*.nsf||");
  EXPECT_EQ(r.defaultExtension, "nsf");
  EXPECT_EQ(r.fileName, "");
  EXPECT_EQ(r.options, unsigned{kHideReadOnly | kPathMustExist | kFileMustExist});

  host_.chosen = "D:\\setup\\garmin.nsf";
  dialog.Click("BrowseSettingsFile");
  EXPECT_EQ(C(dialog, "SettingsFilename").Caption(), "D:\\setup\\garmin.nsf");
  EXPECT_STREQ(options_.receiverSettings.nmeaSettingsPath, "C:\\gps\\old.nsf");
  EXPECT_TRUE(backend_.writes.empty());

  options_.receiverSettings.changed = 0;
  dialog.Click("Ok");
  EXPECT_EQ(backend_.writes,
            (Writes{{"GPSHtReference", "0"}, {"GPSNMEASettingsFile", "D:\\setup\\garmin.nsf"}}));
  EXPECT_STREQ(options_.receiverSettings.nmeaSettingsPath, "D:\\setup\\garmin.nsf");
  EXPECT_EQ(options_.receiverSettings.changed, 1);
}

// The longest path the store keeps across a restart is accepted; a longer one is refused with
// a message, nothing is stored and the dialog stays open.
TEST_F(ReceiverDialogsTest, NMEASettings_AnOverlongPathIsRefusedNotCut) {
  for (size_t length : {kMaxSettingsPathLength, kMaxSettingsPathLength + 1, size_t{300}}) {
    backend_.values.clear();
    backend_.writes.clear();
    host_.log.clear();
    options_.receiverSettings.nmeaSettingsPath[0] = '\0';
    TNMEASettingsForm dialog(options_.receiverSettings, store_, host_);
    const std::string path = "C:\\" + std::string(length - 3, 'a');
    C(dialog, "SettingsFilename").SetCaption(path);
    dialog.Click("Ok");
    const bool fits = length <= kMaxSettingsPathLength;
    EXPECT_EQ(dialog.Closed(), fits) << length;
    EXPECT_EQ(backend_.writes.size(), fits ? 2u : 0u) << length;
    EXPECT_EQ(host_.log, std::vector<std::string>(fits ? 0 : 1, "Error S50")) << length;
    EXPECT_EQ(std::string(options_.receiverSettings.nmeaSettingsPath), fits ? path : "") << length;
    EXPECT_EQ(store_.ReadOptionText("GPSNMEASettingsFile", "none"), fits ? path : "none");
  }
}

TEST_F(ReceiverDialogsTest, NMEAAndTSIPShareTheHeightReference) {
  TNMEASettingsForm nmea(options_.receiverSettings, store_, host_);
  nmea.Click("ElevRefOptionIndeX1");
  nmea.Click("Ok");
  EXPECT_EQ(store_.ReadOptionInt("GPSHtReference", -1), 1);
  TTSIPSettingsForm tsip(options_.receiverSettings, store_, host_);
  EXPECT_TRUE(Checked(tsip, "ElevRefOptionIndeX1"));
  EXPECT_FALSE(Checked(tsip, "ElevRefOptionIndeX0"));
}

TEST_F(ReceiverDialogsTest, TSIPSettings_TheModeEnablesTheSpinEditItUses) {
  const struct {
    int16_t fixMode;
    const char* checked;  // none: nullptr
    bool altitude;
    bool pdopSwitch;
  } cases[] = {
      {0, "ModeOptionIndeX1", false, true},
      {3, "ModeOptionIndeX0", true, false},
      {4, "ModeOptionIndeX2", false, false},
      {7, nullptr, false, false},
  };
  for (const auto& c : cases) {
    options_.receiverSettings.fixMode = c.fixMode;
    TTSIPSettingsForm dialog(options_.receiverSettings, store_, host_);
    for (const char* mode : {"ModeOptionIndeX0", "ModeOptionIndeX1", "ModeOptionIndeX2"}) {
      EXPECT_EQ(Checked(dialog, mode), c.checked != nullptr && std::string(c.checked) == mode)
          << c.fixMode << " " << mode;
    }
    for (const auto& [name, on] :
         {std::pair{"AltEdit", c.altitude}, {"PDOPSwitchEdit", c.pdopSwitch}}) {
      EXPECT_EQ(C(dialog, name).Enabled(), on) << c.fixMode << " " << name;
      EXPECT_EQ(C(dialog, name).TextColor(), on ? ui::colors::kBlack : ui::colors::kGrey);
    }
  }
}

TEST_F(ReceiverDialogsTest, TSIPSettings_TwoDOnlyShowsTheKnownAltitudeAndStoresIt) {
  options_.receiverSettings.fixMode = 3;
  options_.receiverSettings.altitude2d = 152.9;
  TTSIPSettingsForm dialog(options_.receiverSettings, store_, host_);
  EXPECT_EQ(C(dialog, "AltEdit").Caption(), "152");
  dialog.Confirm();
  EXPECT_EQ(store_.ReadOptionText("GPS2DElev", ""), "152");
  EXPECT_EQ(store_.ReadOptionText("GPSMode", ""), "3");
  EXPECT_EQ(options_.receiverSettings.altitude2d, 152.0);
}

// Stepped in 2D-only mode, then 3D only: the record keeps its altitude, the store gets the
// stepped one (read into the record at the next start).
TEST_F(ReceiverDialogsTest, TSIPSettings_ModeChangeKeepsTheRecordsAltitudeButStoresTheStepped) {
  ReceiverSettings& s = options_.receiverSettings;
  s.fixMode = 4;
  s.altitude2d = 152;
  TTSIPSettingsForm dialog(s, store_, host_);
  dialog.Spin("AltEdit", -1);  // disabled in 3D only: no step
  EXPECT_EQ(C(dialog, "AltEdit").Value(), 152);
  dialog.Click("ModeOptionIndeX0");
  for (int i = 0; i < 52; ++i)
    dialog.Spin("AltEdit", -1);
  dialog.Click("ModeOptionIndeX2");
  EXPECT_FALSE(C(dialog, "AltEdit").Enabled());
  s.changed = 0;
  dialog.Click("OKBtn");
  EXPECT_EQ(s.altitude2d, 152.0);
  EXPECT_EQ(s.fixMode, 4);
  EXPECT_EQ(s.changed, 1);
  EXPECT_EQ(backend_.writes, (Writes{{"GPSMode", "4"},
                                     {"GPSDynamics", "1"},
                                     {"GPSTrackMode", "1"},
                                     {"GPSHtReference", "0"},
                                     {"GPSElevMask", "10"},
                                     {"GPSSignalMask", "4"},
                                     {"GPSPDOPMask", "12"},
                                     {"GPS2DElev", "100"},
                                     {"GPSPDOPSwitch", "5"}}));
}

// Record values outside the spin edits' bounds show clamped, and OK stores what is shown.
TEST_F(ReceiverDialogsTest, TSIPSettings_OutOfBoundsValuesAreClampedAndStoredClamped) {
  ReceiverSettings& s = options_.receiverSettings;
  s.fixMode = 0;
  s.pdopSwitch = 0;
  s.elevationMask = 120;
  s.signalMask = -5;
  s.pdopMask = 300;
  TTSIPSettingsForm dialog(s, store_, host_);
  const std::pair<const char*, const char*> shown[] = {
      {"PDOPSwitchEdit", "1"}, {"ElevEdit", "90"}, {"SignalEdit", "0"}, {"PDOPEdit", "99"}};
  for (const auto& [name, text] : shown)
    EXPECT_EQ(C(dialog, name).Caption(), text) << name;
  dialog.Click("OKBtn");
  for (const auto& [key, text] : {std::pair{"GPSPDOPSwitch", "1"},
                                  {"GPSElevMask", "90"},
                                  {"GPSSignalMask", "0"},
                                  {"GPSPDOPMask", "99"}}) {
    EXPECT_EQ(store_.ReadOptionText(key, ""), text) << key;
  }
  EXPECT_EQ(s.pdopSwitch, 1);
  EXPECT_EQ(s.elevationMask, 90);
}

// A record value outside a group's choices checks nothing; OK takes the group's last value.
TEST_F(ReceiverDialogsTest, TSIPSettings_GroupsWithNothingCheckedTakeTheirLastValue) {
  ReceiverSettings& s = options_.receiverSettings;
  s.fixMode = 9;
  s.dynamics = 0;
  s.trackMode = 2;
  s.heightReference = -1;
  TTSIPSettingsForm dialog(s, store_, host_);
  dialog.Click("OKBtn");
  EXPECT_EQ(s.fixMode, 4);
  EXPECT_EQ(s.dynamics, 4);
  EXPECT_EQ(s.trackMode, 1);
  EXPECT_EQ(s.heightReference, 1);
}

TEST_F(ReceiverDialogsTest, TSIPSettings_CancelChangesNothing) {
  const ReceiverSettings before = options_.receiverSettings;
  TTSIPSettingsForm dialog(options_.receiverSettings, store_, host_);
  dialog.Click("DynamicsOptionIndeX2");
  dialog.Spin("ElevEdit", 1);
  dialog.Dismiss();
  EXPECT_EQ(dialog.Result(), ModalResult::Cancel);
  EXPECT_EQ(std::memcmp(&before, &options_.receiverSettings, sizeof before), 0);
  EXPECT_TRUE(backend_.writes.empty());
}

}  // namespace
}  // namespace pelmora
