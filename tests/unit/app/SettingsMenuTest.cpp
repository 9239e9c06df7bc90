// The Options menu's dialogs and the Help menu from the main window: the receiver options'
// reopen of the current source, preferences that reach the next update step, help pages and
// the maker's web pages with their stored overrides.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "app/ControlIds.h"
#include "app/HelpTopics.h"
#include "app/settings/ProductInfo.h"
#include "tests/unit/app/MainFormFixture.h"

namespace pelmora {
namespace {

using fakes::Log;

class SettingsMenuTest : public fakes::MainFormFixture {
 protected:
  SettingsMenuTest() { SelectProduct(kPelmoraProductId); }
};

// Live on COM1, then COM2 and 9600 baud with OK: the engine reopens at once at 9600 on COM1;
// the new port counts from the next Live.
TEST_F(SettingsMenuTest, ReceiverOptionsReopenTheCurrentSourceWithTheNewLine) {
  StartLive();
  host_.users["Set GPS Receiver Options"] = [](ui::Dialog& d) {
    d.Select("ComPortList", 1);
    d.Select("BaudRateList", 3);
    d.Click("Ok");
  };
  ASSERT_TRUE(form_.Command(IDM_OptionsGPSSettings));
  // The dialog keeps the main window disabled behind it: the close does not enable it.
  EXPECT_EQ(log_, (Log{"Dialog Set GPS Receiver Options", "Disable", "Close", "Open 1 COM1"}));
  EXPECT_EQ(engine_.openedWith.baudRate, 9600);
  EXPECT_TRUE(C("SimulatePauseButton").Visible() == false && form_.Form().Checked("FileLive"));
  log_.clear();
  form_.Modes().FileLive_Click();
  EXPECT_TRUE(Logged("Open 1 COM2"));
}

TEST_F(SettingsMenuTest, ReceiverOptionsCancelledOrConfirmedInOffModeOpenNothing) {
  Create();
  ASSERT_TRUE(form_.Command(IDM_OptionsGPSSettings));  // Escape
  host_.users["Set GPS Receiver Options"] = [](ui::Dialog& d) { d.Confirm(); };
  ASSERT_TRUE(form_.Command(IDM_OptionsGPSSettings));
  EXPECT_EQ(log_, (Log{"Dialog Set GPS Receiver Options", "Dialog Set GPS Receiver Options"}));
  EXPECT_EQ(host_.backend.writes.size(), 6u);
}

// Speed and elevation units chosen in the preferences show on the next update step's labels.
TEST_F(SettingsMenuTest, PreferencesTakeEffectAtTheNextUpdateStep) {
  StartReplay();
  engine_.info.validFlags = kValidSpeed | kValidEllipsoidHeight;
  engine_.info.speed = 10;
  engine_.info.ellipsoidHeight = 30;
  TickAt(0, 2);
  EXPECT_EQ(C("lblSpeed").Caption(), "22.4 mph");
  EXPECT_EQ(C("lblAltitude").Caption(), "98.43 feet");
  host_.users["Set Preferences"] = [](ui::Dialog& d) {
    d.Click("SpeedUnitsOptionIndeX1");
    d.Click("ElevUnitsOptionIndeX1");
    d.Click("Ok");
  };
  ASSERT_TRUE(form_.Command(IDM_OptionsPreferences));
  EXPECT_EQ(C("lblSpeed").Caption(), "22.4 mph") << "nothing changes before the next step";
  TickAt(0, 4);
  EXPECT_EQ(C("lblSpeed").Caption(), "19.4 knots");
  EXPECT_EQ(C("lblAltitude").Caption(), "30.00 metres");
  EXPECT_EQ(host_.store.ReadOptionText("SpeedUnits", ""), "1");
}

TEST_F(SettingsMenuTest, HelpContentsOpensTheContentsPage) {
  Create();
  ASSERT_TRUE(form_.Command(IDM_HelpContents));
  EXPECT_EQ(log_, Log{"Help 0"});
}

// The web entries look their page up when chosen: a stored override replaces the built-in
// address, an empty one does not, and the home page ignores every option.
TEST_F(SettingsMenuTest, WebEntriesOpenTheirPagesWithStoredOverrides) {
  Create();
  const std::pair<int, std::string> builtIn[] = {
      {IDM_HalvornontheWebMenuItem, GetProductInfo().companyWebSite},
      {IDM_DownloadsMenuItem, GetProductInfo().productPage},
      {IDM_OnlineSupportMenuItem, GetProductInfo().supportPage},
      {IDM_OnlineDiscussionGroupMenuItem, GetProductInfo().discussionPage},
  };
  for (const auto& [id, page] : builtIn) {
    log_.clear();
    ASSERT_TRUE(form_.Command(id));
    EXPECT_EQ(log_, Log{"ShellOpen " + page});
  }
  host_.store.WriteOption("online_support", "https://help.example/pelmora");
  host_.store.WriteOption("latest_version", "");
  log_.clear();
  for (int id : {IDM_OnlineSupportMenuItem, IDM_DownloadsMenuItem, IDM_HalvornontheWebMenuItem})
    form_.Command(id);
  EXPECT_EQ(log_, (Log{"ShellOpen https://help.example/pelmora",
                       "ShellOpen " + GetProductInfo().productPage,
                       "ShellOpen " + GetProductInfo().companyWebSite}));
}

TEST(HelpTopics, ThePagesBesideTheProgramUnlessAWinHelpFileIsThere) {
  const struct {
    int context;
    bool hlp;
    HelpAction expected;
  } cases[] = {
      {kHelpContents, false, {false, "C:\\P\\help\\index.html", 0, 0}},
      {13, false, {false, "C:\\P\\help\\receiver-options.html", 0, 0}},
      {89, false, {false, "C:\\P\\help\\nmea-settings.html", 0, 0}},
      {93, false, {false, "C:\\P\\help\\tsip-settings.html", 0, 0}},
      {14, false, {false, "C:\\P\\help\\preferences.html", 0, 0}},
      {77, false, {false, "C:\\P\\help\\index.html", 0, 0}},
      {kHelpContents, true, {true, "C:\\P\\pelmora.hlp", 3, 0}},
      {93, true, {true, "C:\\P\\pelmora.hlp", 1, 93}},
  };
  for (const auto& c : cases) {
    const HelpAction a = ResolveHelp("C:\\P\\pelmora.hlp", c.hlp, "C:\\P", c.context);
    EXPECT_EQ(a.winHelp, c.expected.winHelp) << c.context;
    EXPECT_EQ(a.path, c.expected.path) << c.context;
    EXPECT_EQ(a.command, c.expected.command) << c.context;
    EXPECT_EQ(a.data, c.expected.data) << c.context;
  }
}

}  // namespace
}  // namespace pelmora
