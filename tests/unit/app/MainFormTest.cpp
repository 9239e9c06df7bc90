#include "app/MainForm.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/ControlIds.h"
#include "app/MainLayout.h"
#include "app/net/FixServerControl.h"
#include "tests/unit/app/MainFormFixture.h"
#include "tests/unit/net/FakeSockets.h"
#include "tests/unit/settings/FakeOptionBackend.h"

namespace pelmora {
namespace {

using ui::Color;
using ui::Control;
using ui::Key;
using ui::Rect;
namespace colors = ui::colors;

using fakes::Log;

// The main window on fakes, created by Create().
class MainFormTest : public fakes::MainFormFixture {};

TEST_F(MainFormTest, ControlsStandAtTheirDesignGeometry) {
  struct Case {
    const char* name;
    Rect bounds;
    const char* parent;
  } cases[] = {
      {"Panel1", {0, 0, 307, 37}, nullptr},
      {"GPSStatusLight", {14, 13, 16, 15}, "Panel1"},
      {"Panel2", {0, 286, 307, 39}, nullptr},
      {"lblComStatus", {10, 6, 90, 25}, "Panel2"},
      {"lblMode", {104, 6, 90, 25}, "Panel2"},
      {"SimulatePauseButton", {234, 6, 27, 27}, "Panel2"},
      {"OptionsViewButton", {268, 6, 27, 27}, "Panel2"},
      {"GPSInfoViewFrame", {10, 45, 286, 225}, nullptr},
      {"SatStrengthViewFrame", {10, 45, 286, 225}, nullptr},
      {"SatConfigViewFrame", {10, 45, 286, 225}, nullptr},
      {"lblLatitude", {126, 23, 151, 24}, "GPSInfoViewFrame"},
      {"lblLongitude", {124, 55, 151, 24}, "GPSInfoViewFrame"},
      {"lblAltitude", {124, 89, 151, 24}, "GPSInfoViewFrame"},
      {"lblSpeed", {124, 123, 151, 24}, "GPSInfoViewFrame"},
      {"lblHeading", {124, 155, 151, 24}, "GPSInfoViewFrame"},
      {"lblTime", {124, 188, 155, 24}, "GPSInfoViewFrame"},
      {"GridLine0", {17, 30, 262, 1}, "SatStrengthViewFrame"},
      {"GridLine4", {13, 150, 262, 1}, "SatStrengthViewFrame"},
      {"lblSatSignalStatus", {6, 186, 273, 35}, "SatStrengthViewFrame"},
      {"SkyCircle60", {40, 40, 120, 120}, "SatConfigViewFrame"},
      {"SkyCircle40", {60, 60, 80, 80}, "SatConfigViewFrame"},
      {"SkyCircle20", {80, 80, 40, 40}, "SatConfigViewFrame"},
      {"SkyHorizontal", {20, 100, 160, 1}, "SatConfigViewFrame"},
      {"SkyVertical", {100, 20, 1, 160}, "SatConfigViewFrame"},
      {"lblSatConfigStatus", {6, 186, 273, 38}, "SatConfigViewFrame"},
      {"Frame3D1", {189, 18, 88, 158}, "SatConfigViewFrame"},
      {"lblPdopPoor", {28, 16, 47, 19}, "Frame3D1"},
      {"lblPdopGood", {28, 137, 45, 16}, "Frame3D1"},
      {"PdopValueBox", {33, 58, 38, 40}, "Frame3D1"},
      {"FloodBarPanel", {9, 22, 15, 123}, "Frame3D1"},
  };
  for (const Case& c : cases) {
    const Control& control = C(c.name);
    EXPECT_EQ(control.Bounds(), c.bounds) << c.name;
    if (c.parent == nullptr) {
      EXPECT_EQ(control.Parent(), nullptr) << c.name;
    } else {
      ASSERT_NE(control.Parent(), nullptr) << c.name;
      EXPECT_EQ(control.Parent()->Name(), c.parent) << c.name;
    }
  }
  struct At {
    const char* name;
    int left, top;
  } autoSized[] = {
      {"lblGPSStatus", 40, 11},    {"lblLatitudeText", 10, 23}, {"lblLongitudeText", 10, 55},
      {"lblAltitudeText", 10, 89}, {"lblSpeedText", 10, 121},   {"lblHeadingText", 10, 155},
      {"lblTimeText", 10, 188},    {"lblNorth", 103, 18},       {"lblSouth", 103, 165},
      {"lblEast", 171, 84},        {"lblWest", 20, 84},         {"lblPDOP", 6, 17},
      {"TestLabel", 4, 328}};
  for (const At& a : autoSized) {
    EXPECT_TRUE(C(a.name).AutoSize()) << a.name;
    EXPECT_EQ(C(a.name).Bounds().left, a.left) << a.name;
    EXPECT_EQ(C(a.name).Bounds().top, a.top) << a.name;
  }
}

TEST_F(MainFormTest, BarsAndSatelliteLabelsByIndex) {
  const int barLeft[] = {15, 37, 59, 81, 103, 125, 148, 170, 192, 214, 236, 258};
  const int labelLeft[] = {16, 38, 60, 82, 104, 126, 149, 171, 193, 215, 237, 259};
  for (int i = 0; i < 12; ++i) {
    Control* bar = form_.Panels().FindSignalBar(i);
    Control* label = form_.Panels().FindSignalSatLabel(i);
    Control* sky = form_.Panels().FindConfigSatLabel(i);
    ASSERT_TRUE(bar && label && sky) << i;
    EXPECT_EQ(bar->Bounds(), (Rect{barLeft[i], 150, 17, 15})) << i;
    EXPECT_EQ(bar->BevelWidth(), 2);
    EXPECT_EQ(label->Bounds(), (Rect{labelLeft[i], 166, 14, 16})) << i;
    EXPECT_EQ(label->Caption(), "00");
    EXPECT_EQ(sky->Bounds().width, 16);
    EXPECT_EQ(sky->Bounds().height, 18);
    EXPECT_FALSE(sky->Visible());
    EXPECT_EQ(bar->Id(), IDC_SignalBarIndeX0 + i);
    EXPECT_EQ(label->Id(), IDC_SignalSatIndeX0 + i);
    EXPECT_EQ(sky->Id(), IDC_ConfigSatIndeX0 + i);
  }
}

TEST_F(MainFormTest, IndexedLookupsFindNothingOutsideZeroToEleven) {
  for (int index : {12, 13, -1, 100}) {
    EXPECT_EQ(form_.Panels().FindSignalBar(index), nullptr) << index;
    EXPECT_EQ(form_.Panels().FindSignalSatLabel(index), nullptr) << index;
    EXPECT_EQ(form_.Panels().FindConfigSatLabel(index), nullptr) << index;
  }
  EXPECT_EQ(form_.Panels().FindSignalBar(11)->Name(), "SignalBarIndeX11");
  EXPECT_EQ(form_.Panels().FindConfigSatLabel(0)->Name(), "ConfigSatIndeX0");
}

TEST_F(MainFormTest, FontsAndColoursOfTheFace) {
  struct Case {
    const char* name;
    ui::Font font;
    Color text;
  } cases[] = {
      {"lblGPSStatus", {"MS Sans Serif", 15, false, false}, Color::WindowText()},
      {"lblComStatus", {"MS Sans Serif", 13, false, false}, colors::kBlack},
      {"GPSInfoViewFrame", {"MS Sans Serif", 15, true, true}, colors::kNavy},
      {"SatStrengthViewFrame", {"MS Sans Serif", 15, true, true}, colors::kNavy},
      {"SatConfigViewFrame", {"MS Sans Serif", 15, true, true}, colors::kNavy},
      {"lblLatitudeText", {"Arial", 18, false, false}, colors::kNavy},
      {"lblTimeText", {"Arial", 18, false, false}, colors::kNavy},
      {"lblLatitude", {"Arial", 18, false, true}, colors::kGrey},
      {"SignalBarIndeX3", {"MS Sans Serif", 11, false, false}, colors::kBlack},
      {"SignalSatIndeX3", {"MS Sans Serif", 15, false, false}, Color::WindowText()},
      {"lblSatSignalStatus", {"MS Sans Serif", 15, false, false}, colors::kNavy},
      {"lblNorth", {"MS Serif", 15, false, true}, colors::kRed},
      {"lblWest", {"MS Serif", 15, false, true}, colors::kRed},
      {"ConfigSatIndeX5", {"Arial", 15, true, false}, colors::kWhite},
      {"Frame3D1", {"MS Sans Serif", 10, true, true}, colors::kNavy},
      {"lblPdopPoor", {"MS Sans Serif", 12, false, false}, colors::kBlack},
      {"lblPDOP", {"MS Sans Serif", 15, false, false}, Color::WindowText()},
      {"TestLabel", {"System", 16, false, false}, Color::WindowText()},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(C(c.name).GetFont(), c.font) << c.name;
    EXPECT_EQ(C(c.name).TextColor(), c.text) << c.name;
  }
  EXPECT_EQ(C("ConfigSatIndeX5").BackColor(), colors::kGrey);
  EXPECT_TRUE(C("ConfigSatIndeX5").Opaque());
  EXPECT_EQ(C("FloodBarBadPanel").BackColor(), colors::kRed);
  EXPECT_EQ(C("FloodBarGoodPanel").BackColor(), colors::kLime);
  EXPECT_EQ(C("SkyCircle40").PenColor(), colors::kGrey);
  EXPECT_EQ(C("SkyVertical").PenColor(), colors::kBlack);
  EXPECT_EQ(C("GridLine2").PenColor(), colors::kGrey);
  EXPECT_TRUE(C("lblSatConfigStatus").WordWrap());
  EXPECT_EQ(C("lblSatConfigStatus").GetAlignment(), ui::Alignment::Center);
}

TEST_F(MainFormTest, ControlIdsAreUniqueAndSet) {
  std::set<int> ids;
  for (const auto& c : form_.Form().Controls()) {
    EXPECT_NE(c->Id(), 0) << c->Name();
    EXPECT_TRUE(ids.insert(c->Id()).second) << c->Name();
  }
  EXPECT_EQ(C("lblLatitude").Id(), IDC_lblLatitude);
  EXPECT_EQ(C("TestLabel").Id(), IDC_TestLabel);
}

TEST_F(MainFormTest, MenuBarItemsCaptionsShortcutsAndSeparators) {
  const auto& menus = form_.Form().Menus();
  ASSERT_EQ(menus.size(), 3u);
  EXPECT_EQ(menus[0].caption, "&File");
  EXPECT_EQ(menus[1].caption, "&Options");
  EXPECT_EQ(menus[2].caption, "&Help");
  // name|caption|shortcut; "-" is a separator.
  const std::vector<std::vector<std::string>> expected = {
      {"FileOff|&Off|F2", "FileLive|&Live GPS Data|F3", "FileSimulated|&Simulated GPS Data...|F4",
       "-", "FileRecord|&Record GPS Data...|F5", "FileExport|E&xport...|", "-", "FileExit|&Exit|"},
      {"OptionsConnectServer|&Connect|F6", "-", "OptionsGPSSettings|Set &GPS Receiver Options...|",
       "-", "OptionsViewGPSInfo|View GPS &Information|F7",
       "OptionsViewStrength|View Satellite &Signal Strengths|F8",
       "OptionsViewConfig|View Satellite Con&figuration|F9", "-",
       "OptionsPreferences|Set &Preferences...|", "-", "OptionsShareFix|Share Fix on &Network|",
       "-", "OptionsWorkbench|&Workbench...|Ctrl+W"},
      {"HelpContents|&Contents|F1", "-", "HalvornontheWebMenuItem|&Halvorn on the Web ...|",
       "DownloadsMenuItem|&Downloads ...|", "OnlineSupportMenuItem|&Online Support ...|",
       "OnlineDiscussionGroupMenuItem|Online &Discussion Group ...|", "-",
       "HelpAbout|&About the Pelmora|"},
  };
  std::set<int> commands;
  for (size_t m = 0; m < menus.size(); ++m) {
    std::vector<std::string> got;
    for (const auto& item : menus[m].items) {
      if (item.separator) {
        got.push_back("-");
        continue;
      }
      got.push_back(item.name + "|" + item.caption + "|" +
                    ui::ShortcutName(item.shortcut, item.shortcutShift));
      EXPECT_TRUE(commands.insert(item.commandId).second) << item.name;
    }
    EXPECT_EQ(got, expected[m]) << menus[m].caption;
  }
}

TEST_F(MainFormTest, EveryMenuCommandReachesAHandler) {
  Create();
  for (const auto& menu : form_.Form().Menus()) {
    for (const auto& item : menu.items) {
      if (item.separator) continue;
      EXPECT_TRUE(form_.Command(item.commandId)) << item.name;
    }
  }
  EXPECT_TRUE(form_.Command(IDM_NextView));
  EXPECT_FALSE(form_.Command(12345));
  EXPECT_TRUE(Logged("CloseMainWindow")) << "File > Exit closes the window";
  EXPECT_TRUE(form_.Modes().Closing());
}

TEST_F(MainFormTest, AboutShowsTheProductAndVersionText) {
  Create();
  ASSERT_TRUE(form_.Command(IDM_HelpAbout));
  EXPECT_EQ(log_, (Log{"About The Pelmora / Version 3.2 MapInfo Edition"}));
}

TEST_F(MainFormTest, MissingResourceLibraryShowsTheMessageAndEndsTheProgram) {
  strings_.loadable = false;
  EXPECT_FALSE(form_.FormCreate());
  const Log expected = {
      "LoadStrings",
      "Message [Information] The Pelmora is not installed correctly (Resource DLL cannot be "
      "loaded).",
      "Terminate"};
  EXPECT_EQ(log_, expected);
  EXPECT_TRUE(form_.Help().VersionText().empty()) << "nothing further is initialised";
}

TEST_F(MainFormTest, FormCreateRunsItsStepsInOrder) {
  ASSERT_TRUE(form_.FormCreate());
  // The GIS does not answer: the link's try ends with message 29 before the window shows.
  const Log expected = {"LoadStrings",
                        "LoadOptions",
                        "NotTopmost",
                        "CloseClientLink",
                        "CloseClientLink",
                        "Message [Information] S29",
                        "Show"};
  EXPECT_EQ(log_, expected);
  EXPECT_EQ(form_.Help().VersionText(), "Version 3.2 MapInfo Edition");
  EXPECT_EQ(form_.Help().HelpFilePath(), "C:\\Apps\\Pelmora\\pelmora.hlp");
  EXPECT_EQ(form_.Panels().ViewIndex(), 0);
  EXPECT_FALSE(form_.Modes().EngineOpen());
  EXPECT_FALSE(form_.Modes().Closing());
  EXPECT_FALSE(form_.Modes().Paused());
  EXPECT_FALSE(form_.Link().LinkOpen());
  auto& f = form_.Form();
  EXPECT_TRUE(f.Checked("FileOff"));
  EXPECT_FALSE(f.Checked("FileLive"));
  EXPECT_FALSE(f.Checked("FileSimulated"));
  EXPECT_FALSE(f.MenuEnabled("FileRecord"));
  EXPECT_TRUE(f.Checked("OptionsViewGPSInfo"));
  EXPECT_FALSE(f.Checked("OptionsViewStrength"));
  EXPECT_TRUE(C("GPSInfoViewFrame").Visible());
  EXPECT_FALSE(C("SatConfigViewFrame").Visible());
  EXPECT_EQ(C("lblGPSStatus").Caption(), "S3") << "the idle display is shown";
}

TEST_F(MainFormTest, FormCreateHonoursOnTopAndMinimize) {
  host_.options.display.onTop = 1;
  host_.options.display.minimize = 1;
  host_.options.receiverType = 2;
  host_.options.comPort = 3;
  link_.accepts = true;
  ASSERT_TRUE(form_.FormCreate());
  // The GIS answers: the link opens (after closing any conversation left over), no message.
  const Log expected = {"LoadStrings", "LoadOptions",     "Topmost",
                        "Minimised",   "CloseClientLink", "Show"};
  EXPECT_TRUE(form_.Link().LinkOpen());
  EXPECT_TRUE(form_.Form().Checked("OptionsConnectServer"));
  EXPECT_EQ(log_, expected);
  EXPECT_EQ(form_.Options().receiverType, 2);
  EXPECT_EQ(form_.Options().comPort, 3);
}

TEST_F(MainFormTest, UnitSuffixListsComeFromStrings17To26) {
  Create();
  const UnitSuffixes& s = form_.Suffixes();
  EXPECT_EQ(s.elevation, (std::vector<std::string>{" feet", " metres", ""}));
  EXPECT_EQ(s.speed, (std::vector<std::string>{" mph", " knots", " m/s", " km/h", ""}));
  EXPECT_EQ(s.heading, (std::vector<std::string>{" magnetic", " true", ""}));
  EXPECT_EQ(s.time, (std::vector<std::string>{" local", " UTC", ""}));
  EXPECT_EQ(UnitSuffixes::At(s.speed, 5), "");
  EXPECT_EQ(UnitSuffixes::At(s.speed, -1), "");
}

TEST_F(MainFormTest, ResetDisplayGivesEveryControlItsIdleLook) {
  host_.options.display.elevUnits = 1;
  host_.options.display.speedUnits = 3;
  host_.options.display.trackTrue = 0;
  host_.options.display.timeUtc = 0;
  Create();
  // Disturb everything ResetDisplay touches.
  C("lblMode").SetCaption("3D");
  C("GPSStatusLight").SetBackColor(colors::kLime);
  C("lblLatitude").SetTextColor(colors::kBlack).SetCaption("x");
  for (int i = 0; i < 12; ++i) {
    form_.Panels()
        .FindSignalBar(i)
        ->SetBackColor(colors::kLime)
        .SetTop(100)
        .SetHeight(65)
        .SetCaption("41");
    form_.Panels().FindSignalSatLabel(i)->SetCaption("17");
    form_.Panels().FindConfigSatLabel(i)->SetVisible(true);
  }
  C("lblPDOP").SetCaption("2.1");
  form_.Panels().ShowPdopBar(10);
  C("SimulatePauseButton").SetVisible(true);
  const int repaints = form_.Form().RepaintCount();

  form_.Panels().ResetDisplay();

  const Color grey = colors::kIdleGrey;
  EXPECT_EQ(C("lblGPSStatus").Caption(), "S3");
  EXPECT_EQ(C("GPSStatusLight").BackColor(), grey);
  EXPECT_EQ(C("lblComStatus").Caption(), "S4");
  EXPECT_EQ(C("lblMode").Caption(), "");
  struct Value {
    const char* name;
    std::string text;
  } values[] = {
      {"lblLatitude", "0\xB0 0' 0.0\" N"}, {"lblLongitude", "0\xB0 0' 0.0\" E"},
      {"lblAltitude", "0.00 metres"},      {"lblSpeed", "0.0 km/h"},
      {"lblHeading", "0.0\xB0 magnetic"},  {"lblTime", "00:00:00 am local"},
  };
  for (const Value& v : values) {
    EXPECT_EQ(C(v.name).Caption(), v.text) << v.name;
    EXPECT_EQ(C(v.name).TextColor(), grey) << v.name;
  }
  for (int i = 0; i < 12; ++i) {
    const Control& bar = *form_.Panels().FindSignalBar(i);
    EXPECT_EQ(bar.BackColor(), grey) << i;
    EXPECT_EQ(bar.Bounds().top, 150) << i;
    EXPECT_EQ(bar.Bounds().height, 15) << i;
    EXPECT_EQ(bar.Caption(), "41") << "bar captions are left as they are";
    EXPECT_EQ(form_.Panels().FindSignalSatLabel(i)->Caption(), "0");
    EXPECT_FALSE(form_.Panels().FindConfigSatLabel(i)->Visible());
  }
  EXPECT_EQ(C("lblSatSignalStatus").Caption(), "S5");
  EXPECT_EQ(C("lblSatConfigStatus").Caption(), "S6");
  EXPECT_EQ(C("lblPDOP").Caption(), "");
  EXPECT_FALSE(C("FloodBarBadPanel").Visible());
  EXPECT_FALSE(C("FloodBarGoodPanel").Visible());
  EXPECT_TRUE(C("FloodBarPanel").Visible()) << "the empty gauge frame stays";
  EXPECT_FALSE(C("SimulatePauseButton").Visible());
  EXPECT_EQ(form_.Form().RepaintCount(), repaints + 1);
}

TEST_F(MainFormTest, ResetDisplayKeepsTheViewAndSatelliteLabelVisibility) {
  Create();
  form_.Panels().ShowView(2);
  form_.Panels().FindSignalSatLabel(4)->SetVisible(false);
  form_.Panels().ResetDisplay();
  EXPECT_EQ(form_.Panels().ViewIndex(), 2);
  EXPECT_TRUE(C("SatConfigViewFrame").Visible());
  EXPECT_FALSE(form_.Panels().FindSignalSatLabel(4)->Visible());
}

TEST_F(MainFormTest, ShowPdopBarDividesTheInnerHeightByTheLevel) {
  struct Case {
    int level, red, green;
  } cases[] = {{1, 119, 0},  {2, 59, 60},  {5, 23, 96},   {10, 11, 108},
               {50, 2, 117}, {99, 1, 118}, {100, 1, 118}, {119, 1, 118}};
  for (const Case& c : cases) {
    form_.Panels().ShowPdopBar(c.level);
    const Control& bad = C("FloodBarBadPanel");
    const Control& good = C("FloodBarGoodPanel");
    EXPECT_TRUE(bad.Visible()) << c.level;
    EXPECT_TRUE(good.Visible()) << c.level;
    EXPECT_EQ(bad.Bounds().top, 2) << c.level;
    EXPECT_EQ(bad.Bounds().height, c.red) << c.level;
    EXPECT_EQ(good.Bounds().top, 2 + c.red) << c.level;
    EXPECT_EQ(good.Bounds().height, c.green) << c.level;
    EXPECT_EQ(bad.Bounds().width, 11);
    EXPECT_EQ(good.Bounds().left, 2);
  }
  form_.Panels().ShowPdopBar(0);
  EXPECT_FALSE(C("FloodBarBadPanel").Visible());
  EXPECT_FALSE(C("FloodBarGoodPanel").Visible());
  form_.Panels().ShowPdopBar(-3);
  EXPECT_FALSE(C("FloodBarBadPanel").Visible()) << "a negative level never divides";
}

TEST_F(MainFormTest, ShowingAViewMovesItAndChecksItsMenuItem) {
  Create();
  for (int view : {2, 1, 0, 2}) {
    form_.Panels().ShowView(view);
    EXPECT_EQ(form_.Panels().ViewIndex(), view);
    for (int i = 0; i < kViewCount; ++i) {
      EXPECT_EQ(C(kViewFrames[i]).Visible(), i == view) << view << " " << i;
      EXPECT_EQ(form_.Form().Checked(kViewMenuItems[i]), i == view) << view << " " << i;
    }
    EXPECT_EQ(C(kViewFrames[view]).Bounds(), (Rect{10, 45, 286, 225}));
  }
}

TEST_F(MainFormTest, F7ToF9AndTheMenuShowTheirViews) {
  Create();
  const std::pair<int, int> commands[] = {
      {IDM_OptionsViewConfig, 2}, {IDM_OptionsViewStrength, 1}, {IDM_OptionsViewGPSInfo, 0}};
  for (const auto& [command, view] : commands) {
    ASSERT_TRUE(form_.Command(command));
    EXPECT_EQ(form_.Panels().ViewIndex(), view);
  }
  EXPECT_EQ(form_.Form().GetMenuItem("OptionsViewGPSInfo").shortcut, Key::F7);
  EXPECT_EQ(form_.Form().GetMenuItem("OptionsViewStrength").shortcut, Key::F8);
  EXPECT_EQ(form_.Form().GetMenuItem("OptionsViewConfig").shortcut, Key::F9);
}

TEST_F(MainFormTest, F12CyclesThroughTheViewsAndOtherKeysPassOn) {
  Create();
  const int expected[] = {1, 2, 0};
  for (int step : expected) {
    EXPECT_TRUE(form_.Panels().Form_KeyDown(Key::F12));
    EXPECT_EQ(form_.Panels().ViewIndex(), step);
  }
  EXPECT_FALSE(form_.Panels().Form_KeyDown(Key::F11));
  EXPECT_FALSE(form_.Panels().Form_KeyDown(Key::F2));
  EXPECT_EQ(form_.Panels().ViewIndex(), 0);
}

TEST_F(MainFormTest, F12WithAnyModifiersGoesToTheNextView) {
  Create();
  for (unsigned shift = 0; shift < 8; ++shift) {
    const int before = form_.Panels().ViewIndex();
    EXPECT_TRUE(form_.Panels().Form_KeyDown(Key::F12, shift)) << shift;
    EXPECT_EQ(form_.Panels().ViewIndex(), (before + 1) % 3) << shift;
    EXPECT_FALSE(form_.Panels().Form_KeyDown(Key::F9, shift)) << "F9 arrives as a menu command";
  }
}

TEST_F(MainFormTest, F12ContinuesFromAViewChosenInTheMenu) {
  Create();
  form_.Panels().ShowView(1);
  form_.Panels().Form_KeyDown(Key::F12);
  EXPECT_EQ(form_.Panels().ViewIndex(), 2);
  EXPECT_TRUE(form_.Form().Checked("OptionsViewConfig"));
}

TEST_F(MainFormTest, ViewButtonCyclesAndNeverStaysDown) {
  Create();
  Control& button = C("OptionsViewButton");
  for (int step : {1, 2, 0, 1}) {
    button.SetDown(true);  // as the click leaves it
    ASSERT_TRUE(form_.Command(IDC_OptionsViewButton));
    EXPECT_EQ(form_.Panels().ViewIndex(), step);
    EXPECT_FALSE(button.Down());
  }
}

TEST_F(MainFormTest, PauseButtonTogglesThePausedFlagAndTellsTheLink) {
  Create();
  Control& button = C("SimulatePauseButton");
  EXPECT_TRUE(button.Toggle());
  ASSERT_TRUE(form_.Command(IDC_SimulatePauseButton));
  EXPECT_TRUE(button.Down());
  EXPECT_TRUE(form_.Modes().Paused());
  EXPECT_TRUE(log_.empty()) << "nothing is sent while the link is down";
  LinkUp();
  form_.Modes().SimulatePauseButtonClick();
  EXPECT_FALSE(button.Down());
  EXPECT_FALSE(form_.Modes().Paused());
  form_.Modes().SimulatePauseButtonClick();
  EXPECT_EQ(log_, (Log{"Send FORWARD", "Send PAUSE"}));
}

TEST_F(MainFormTest, FileOffStopsRecordingBeforeClosingTheEngine) {
  Create();
  engine_.openResult = 0;
  LinkUp();
  form_.Modes().FileLive_Click();
  EXPECT_EQ(C("lblComStatus").Caption(), "COM1");
  EXPECT_TRUE(form_.Form().MenuEnabled("FileRecord"));
  form_.Form().SetChecked("FileRecord", true);
  log_.clear();

  form_.Modes().FileOff_Click();

  const Log expected = {"StopLog", "Disable", "Close", "Enable", "Send OFF"};
  EXPECT_EQ(log_, expected);
  auto& f = form_.Form();
  EXPECT_TRUE(f.Checked("FileOff"));
  EXPECT_FALSE(f.Checked("FileLive"));
  EXPECT_FALSE(f.Checked("FileSimulated"));
  EXPECT_FALSE(f.Checked("FileRecord"));
  EXPECT_FALSE(f.MenuEnabled("FileRecord"));
  EXPECT_FALSE(form_.Modes().EngineOpen());
  EXPECT_FALSE(form_.Modes().Paused());
  EXPECT_EQ(form_.Modes().LastStatus(), 7);
  EXPECT_EQ(C("lblGPSStatus").Caption(), "S3");
  EXPECT_EQ(C("lblComStatus").Caption(), "S4");
}

TEST_F(MainFormTest, FileOffWhenOffSendsOnlyWithTheLinkUp) {
  Create();
  form_.Modes().FileOff_Click();
  EXPECT_TRUE(log_.empty());
  LinkUp();
  form_.Modes().FileOff_Click();
  EXPECT_EQ(log_, (Log{"Send OFF"}));
}

TEST_F(MainFormTest, FailedLiveOpenLeavesTheOffMenuState) {
  host_.options.comPort = 3;
  Create();
  engine_.openResult = -2;
  form_.Modes().FileLive_Click();
  EXPECT_EQ(log_[0], "Open 1 COM3");
  EXPECT_EQ(log_[1], "Message [Information] S14");
  auto& f = form_.Form();
  EXPECT_TRUE(f.Checked("FileOff"));
  EXPECT_FALSE(f.Checked("FileLive"));
  EXPECT_FALSE(f.MenuEnabled("FileRecord"));
  EXPECT_FALSE(form_.Modes().EngineOpen());
}

TEST_F(MainFormTest, AnOverlongSourceGoesWholeToTheEngineWhichRefusesIt) {
  Create();
  const std::string path = "C:\\" + std::string(300, 'x') + ".gps";
  engine_.openResult = -1;
  EXPECT_EQ(form_.Modes().OpenEngine(Source::Named(path)), -1);
  ASSERT_GE(log_.size(), 2u);
  EXPECT_EQ(log_[0], "Open 1 " + path);
  EXPECT_EQ(log_[1], "Message [Information] S15") << "a log file, not a port";
  EXPECT_FALSE(form_.Modes().EngineOpen());
}

TEST_F(MainFormTest, PlayedNamesBeginningWithComInAnyCaseArePorts) {
  Create();
  const std::pair<const char*, bool> cases[] = {
      {"COM3", true}, {"com1", true}, {"cOm12", true}, {"CO", false}, {"D:\\data\\Run.GPS", false},
      {"", false}};
  for (const auto& [source, serial] : cases) {
    dde::HVNExecuteMacro(std::string("PLAY ") + source, form_.Macros());
    ASSERT_TRUE(form_.Modes().EngineOpen()) << source;
    EXPECT_EQ(form_.Modes().CurrentSource().name, source);
    EXPECT_EQ(form_.Form().Checked("FileLive"), serial) << source;
    EXPECT_EQ(form_.Form().Checked("FileSimulated"), !serial) << source;
    EXPECT_EQ(form_.Form().MenuEnabled("FileRecord"), serial) << source;
    EXPECT_EQ(C("SimulatePauseButton").Visible(), !serial) << source;
  }
  const std::pair<const char*, const char*> replayNames[] = {
      {"D:\\data\\Run.GPS", "run"},
      {"D:\\v1.2\\run.2024\\Day.1.gps", "day.1"},
      {"C:\\Logs\\noextension", "noextension"}};
  for (const auto& [source, shown] : replayNames) {
    C("SimulatePauseButton").SetDown(true);
    form_.Modes().OpenEngine(Source::Named(source));
    EXPECT_EQ(C("lblComStatus").Caption(), shown) << source;
    EXPECT_FALSE(C("SimulatePauseButton").Down()) << source;
  }
}

TEST_F(MainFormTest, ADevicePathOpensThePortItNamesNeverALogToRead) {
  Create();
  dde::HVNExecuteMacro("PLAY \\\\.\\COM3", form_.Macros());
  EXPECT_EQ(log_.front(), "Open 1 COM3");
  EXPECT_EQ(C("lblComStatus").Caption(), "COM3");
}

TEST_F(MainFormTest, MacroCommandsReachTheModesAndTheLinkOnce) {
  Create();
  LinkUp();
  dde::HVNExecuteMacro("PLAY C:\\Logs\\Track1.gps\r\nOFF", form_.Macros());
  dde::HVNExecuteMacro("pause", form_.Macros());
  EXPECT_TRUE(form_.Modes().Paused());
  EXPECT_TRUE(C("SimulatePauseButton").Down());
  dde::HVNExecuteMacro("FORWARD", form_.Macros());
  EXPECT_FALSE(form_.Modes().Paused());
  EXPECT_EQ(C("TestLabel").Caption(), "FORWARD");
  dde::HVNExecuteMacro("OFF", form_.Macros());
  EXPECT_FALSE(form_.Modes().EngineOpen());
  dde::HVNExecuteMacro("EXIT", form_.Macros());
  EXPECT_TRUE(form_.Modes().Closing());
  const Log expected = {"Open 1 C:\\Logs\\Track1.gps",
                        "Send PLAYING",
                        "Send PAUSE",
                        "Send FORWARD",
                        "Disable",
                        "Close",
                        "Enable",
                        "Send OFF",
                        "CloseMainWindow"};
  EXPECT_EQ(log_, expected);
}

TEST_F(MainFormTest, FormCloseRunsItsStepsInOrder) {
  Create();
  form_.Modes().FileLive_Click();
  form_.Form().SetChecked("FileRecord", true);
  LinkUp();
  engine_.info.validFlags = kValidPosition;
  engine_.info.latitude = -33.87;
  engine_.info.longitude = 151.21;
  TickAt(0, 0);
  log_.clear();

  form_.FormClose();

  const Log expected = {
      "StopTimer", "CloseClientLink", "StopLog", "StoreStartPosition -33.87 151.21",
      "Disable",   "Close",           "Enable",  "FreeStrings",
      "Terminate"};
  EXPECT_EQ(log_, expected);
  EXPECT_TRUE(form_.Modes().Closing());
  EXPECT_FALSE(form_.Link().LinkOpen());
  EXPECT_FALSE(form_.Modes().EngineOpen());
  EXPECT_FALSE(form_.Form().Checked("FileRecord"));
  EXPECT_EQ(C("lblGPSStatus").Caption(), "S16");
}

TEST_F(MainFormTest, FormCloseEndsTheProgramWhenAStepFails) {
  Create();
  form_.Modes().FileLive_Click();
  form_.Form().SetChecked("FileRecord", true);
  engine_.failShutdown = true;
  log_.clear();
  form_.FormClose();
  ASSERT_GE(log_.size(), 2u);
  EXPECT_EQ(log_[log_.size() - 2], "FreeStrings");
  EXPECT_EQ(log_.back(), "Terminate");
  EXPECT_TRUE(Logged("StopLog"));
  EXPECT_TRUE(Logged("Close"));
}

TEST_F(MainFormTest, UnitOptionsBeyondTheirListsShowNoSuffix) {
  host_.options.display.elevUnits = 2;
  host_.options.display.speedUnits = 9;
  host_.options.display.trackTrue = -1;
  host_.options.display.timeUtc = 3;
  Create();
  EXPECT_EQ(C("lblAltitude").Caption(), "0.00");
  EXPECT_EQ(C("lblSpeed").Caption(), "0.0");
  EXPECT_EQ(C("lblHeading").Caption(), "0.0\xB0");
  EXPECT_EQ(C("lblTime").Caption(), "00:00:00 am");
}

TEST_F(MainFormTest, FormCloseStoresNoPositionWhenNotLive) {
  Create();
  form_.FormClose();
  EXPECT_EQ(log_, (Log{"StopTimer", "FreeStrings", "Terminate"}));
}

TEST_F(MainFormTest, StartPositionIsStoredOnlyWhenClosingLiveWithTheEngineOpen) {
  struct Case {
    bool live;
    bool failOpen;
    bool stored;
  } cases[] = {{true, false, true}, {true, true, false}, {false, false, false}};
  for (const Case& c : cases) {
    TMainForm form(host_, engine_, strings_, link_);
    ASSERT_TRUE(form.FormCreate());
    engine_.openResult = c.failOpen ? -2 : 0;
    if (c.live) form.Modes().FileLive_Click();
    engine_.info.validFlags = kValidPosition;
    engine_.info.latitude = 12.5;
    engine_.info.longitude = -7.25;
    form.Timer1_Timer();
    log_.clear();
    form.FormClose();
    EXPECT_EQ(Logged("StoreStartPosition 12.50 -7.25"), c.stored) << c.live << c.failOpen;
  }
}

// "Share Fix on Network": off by default, the entry toggles the server and stores FixServer, a
// port in use is one error message naming it, a stored 1 serves from the start, and the close
// ends the clients.
TEST_F(MainFormTest, ShareFixOnNetworkTogglesTheFixServer) {
  test::FakeOptionBackend backend;
  const OptionStore store(backend, "Pelmora");
  net::testing::FakeSockets sockets;
  net::FixServer server(sockets, [] { return std::string("2027-01-15T08:00:00.000Z"); });
  net::FixServerControl control(server, store);
  form_.SetFollowers(nullptr, &control);
  Create();
  EXPECT_FALSE(form_.Form().Checked("OptionsShareFix"));
  EXPECT_FALSE(server.Running());

  ASSERT_TRUE(form_.Command(IDM_OptionsShareFix));
  EXPECT_TRUE(form_.Form().Checked("OptionsShareFix"));
  EXPECT_TRUE(server.Running());
  EXPECT_EQ((backend.values[{"Pelmora", "FixServer"}]), "1");
  form_.Command(IDM_OptionsShareFix);
  EXPECT_FALSE(form_.Form().Checked("OptionsShareFix"));
  EXPECT_FALSE(server.Running());
  EXPECT_EQ((backend.values[{"Pelmora", "FixServer"}]), "0");
  EXPECT_TRUE(log_.empty());

  sockets.busyPorts = {2947};
  form_.Command(IDM_OptionsShareFix);
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_NE(log_[0].find("Error "), std::string::npos);
  EXPECT_NE(log_[0].find("port 2947"), std::string::npos) << log_[0];
  EXPECT_TRUE(form_.Form().Checked("OptionsShareFix"));

  // A later start with sharing stored on serves at once; the close ends every client.
  net::FixServer server2(sockets, [] { return std::string("2027-01-15T08:00:00.000Z"); });
  net::FixServerControl control2(server2, store);
  TMainForm second(host_, engine_, strings_, link_);
  second.SetFollowers(nullptr, &control2);
  sockets.busyPorts.clear();
  ASSERT_TRUE(second.FormCreate());
  EXPECT_TRUE(second.Form().Checked("OptionsShareFix"));
  EXPECT_TRUE(server2.Running());
  const net::SocketId client = sockets.Connect(10110);
  server2.Pump();
  second.FormClose();
  EXPECT_FALSE(server2.Running());
  EXPECT_TRUE(sockets.conns[client].closed);
}

// The feed hands every successful poll's epoch to the fix server: a new fix reaches a client at
// once, a tick without new data sends nothing.
TEST_F(MainFormTest, EverySuccessfulPollIsPublishedToTheFixServer) {
  test::FakeOptionBackend backend;
  backend.values[{"Pelmora", "FixServer"}] = "1";
  const OptionStore store(backend, "Pelmora");
  net::testing::FakeSockets sockets;
  net::FixServer server(sockets, [] { return std::string("2027-01-15T08:00:00.000Z"); });
  net::FixServerControl control(server, store);
  form_.SetFollowers(nullptr, &control);
  Create();
  const net::SocketId client = sockets.Connect(10110);
  server.Pump();
  engine_.info.validFlags = kValidStatus | kValidTime | kValidPosition;
  engine_.info.utcSeconds = 43200;
  engine_.info.latitude = -33.87;
  engine_.info.longitude = 151.21;
  form_.Modes().FileLive_Click();
  ASSERT_TRUE(form_.Modes().EngineOpen());
  form_.Timer1_Timer();
  EXPECT_EQ(sockets.Take(client).substr(0, 43), "$GPGGA,120000.00,3352.20000,S,15112.60000,E");
  form_.Timer1_Timer();
  EXPECT_EQ(sockets.Take(client), "");
}

}  // namespace
}  // namespace pelmora
