// The main window's layout: the looks its controls share, then one control a row, parents
// before their children, at the design geometry (pixels, relative to the parent), and the menu
// bar. The display operations move and recolour these controls; nothing else adds any.
#include "app/MainLayout.h"

#include "app/ControlIds.h"

namespace pelmora {
namespace {

using ui::Alignment;
using ui::Bevel;
using ui::ControlKind;
using ui::ControlSpec;
using ui::ControlStyle;
using ui::Font;
using ui::Key;
using ui::MenuSpec;
using ui::Picture;
using ui::ShapeKind;
namespace colors = ui::colors;

const Font kSans10BoldItalic{"MS Sans Serif", 10, true, true};
const Font kSans11{"MS Sans Serif", 11};
const Font kSans12{"MS Sans Serif", 12};
const Font kSans13{"MS Sans Serif", 13};
const Font kSans15{"MS Sans Serif", 15};
const Font kSans15BoldItalic{"MS Sans Serif", 15, true, true};
const Font kArial15Bold{"Arial", 15, true};
const Font kArial18{"Arial", 18};
const Font kArial18Italic{"Arial", 18, false, true};

// clang-format off
const ControlStyle kStrip{.kind = ControlKind::Panel, .bevel = Bevel::Raised, .bevelWidth = 2};
const ControlStyle kStatusLight{.kind = ControlKind::Shape, .backColor = colors::kGrey, .shape = ShapeKind::Circle, .filled = true};
const ControlStyle kStatusText{.kind = ControlKind::Label, .font = kSans15, .autoSize = true};
const ControlStyle kStripPanel{.kind = ControlKind::Panel, .font = kSans13, .textColor = colors::kBlack, .bevel = Bevel::Lowered, .bevelWidth = 1, .alignment = Alignment::Center};
const ControlStyle kPauseButton{.kind = ControlKind::Button, .toggle = true, .picture = Picture::Pause};
const ControlStyle kViewButton{.kind = ControlKind::Button, .picture = Picture::NextView};
const ControlStyle kViewFrame{.kind = ControlKind::GroupBox, .font = kSans15BoldItalic, .textColor = colors::kNavy};
const ControlStyle kInfoCaption{.kind = ControlKind::Label, .font = kArial18, .textColor = colors::kNavy, .autoSize = true};
const ControlStyle kInfoValue{.kind = ControlKind::Label, .font = kArial18Italic, .textColor = colors::kGrey};
const ControlStyle kGridLine{.kind = ControlKind::Shape, .shape = ShapeKind::HorizontalLine, .penColor = colors::kGrey};
const ControlStyle kSignalBar{.kind = ControlKind::Panel, .font = kSans11, .textColor = colors::kBlack, .opaque = true, .bevel = Bevel::Raised, .bevelWidth = 2, .alignment = Alignment::Center};
const ControlStyle kSignalSat{.kind = ControlKind::Label, .font = kSans15};
const ControlStyle kViewStatus{.kind = ControlKind::Label, .font = kSans15, .textColor = colors::kNavy, .alignment = Alignment::Center, .wordWrap = true};
const ControlStyle kSkyCircle{.kind = ControlKind::Shape, .shape = ShapeKind::Circle, .penColor = colors::kGrey};
const ControlStyle kSkyHorizontal{.kind = ControlKind::Shape, .shape = ShapeKind::HorizontalLine, .penColor = colors::kBlack};
const ControlStyle kSkyVertical{.kind = ControlKind::Shape, .shape = ShapeKind::VerticalLine, .penColor = colors::kBlack};
const ControlStyle kCompassLetter{.kind = ControlKind::Label, .font = {"MS Serif", 15, false, true}, .textColor = colors::kRed, .autoSize = true};
const ControlStyle kSkySat{.kind = ControlKind::Label, .font = kArial15Bold, .textColor = colors::kWhite, .backColor = colors::kGrey, .opaque = true, .alignment = Alignment::Center};
const ControlStyle kPdopFrame{.kind = ControlKind::GroupBox, .font = kSans10BoldItalic, .textColor = colors::kNavy};
const ControlStyle kPdopScale{.kind = ControlKind::Label, .font = kSans12, .textColor = colors::kBlack};
const ControlStyle kPdopValueBox{.kind = ControlKind::Panel, .opaque = true, .bevel = Bevel::Lowered, .bevelWidth = 1};
const ControlStyle kPdopValue{.kind = ControlKind::Label, .font = kSans15, .autoSize = true};
const ControlStyle kFloodBar{.kind = ControlKind::Panel, .opaque = true, .bevel = Bevel::Raised, .bevelWidth = kFloodBarBevel};
const ControlStyle kFloodBad{.kind = ControlKind::Panel, .backColor = colors::kRed, .opaque = true};
const ControlStyle kFloodGood{.kind = ControlKind::Panel, .backColor = colors::kLime, .opaque = true};
const ControlStyle kTestLabel{.kind = ControlKind::Label, .font = {"System", 16}, .autoSize = true};

constexpr const char* kInfo = "GPSInfoViewFrame";
constexpr const char* kStrength = "SatStrengthViewFrame";
constexpr const char* kConfig = "SatConfigViewFrame";
constexpr ui::Rect kView{kViewLeft, kViewTop, 286, 225};

const ControlSpec kControls[] = {
    // Status strip.
    {.name = "Panel1", .id = IDC_Panel1, .bounds = {0, 0, 307, 37}, .style = &kStrip},
    {.name = "GPSStatusLight", .parent = "Panel1", .id = IDC_GPSStatusLight, .bounds = {14, 13, 16, 15}, .style = &kStatusLight},
    {.name = "lblGPSStatus", .parent = "Panel1", .id = IDC_lblGPSStatus, .bounds = {40, 11, 0, 0}, .style = &kStatusText, .caption = "Initializing...."},
    // Button strip.
    {.name = "Panel2", .id = IDC_Panel2, .bounds = {0, 286, 307, 39}, .style = &kStrip},
    {.name = "lblComStatus", .parent = "Panel2", .id = IDC_lblComStatus, .bounds = {10, 6, 90, 25}, .style = &kStripPanel},
    {.name = "lblMode", .parent = "Panel2", .id = IDC_lblMode, .bounds = {104, 6, 90, 25}, .style = &kStripPanel},
    {.name = "SimulatePauseButton", .parent = "Panel2", .id = IDC_SimulatePauseButton, .bounds = {234, 6, 27, 27}, .style = &kPauseButton, .visible = false},
    {.name = "OptionsViewButton", .parent = "Panel2", .id = IDC_OptionsViewButton, .bounds = {268, 6, 27, 27}, .style = &kViewButton},
    // The three views, one shown at a time.
    {.name = kInfo, .id = IDC_GPSInfoViewFrame, .bounds = kView, .style = &kViewFrame, .caption = "GPS Information"},
    {.name = kStrength, .id = IDC_SatStrengthViewFrame, .bounds = kView, .style = &kViewFrame, .caption = "GPS Satellite Signal Strength", .visible = false},
    {.name = kConfig, .id = IDC_SatConfigViewFrame, .bounds = kView, .style = &kViewFrame, .caption = "GPS Satellite Configuration", .visible = false},
    // View 0: the fix as text, caption and value side by side.
    {.name = "lblLatitudeText", .parent = kInfo, .id = IDC_lblLatitudeText, .bounds = {10, 23, 0, 0}, .style = &kInfoCaption, .caption = "Latitude:"},
    {.name = "lblLatitude", .parent = kInfo, .id = IDC_lblLatitude, .bounds = {126, 23, 151, 24}, .style = &kInfoValue, .caption = "00 00 0.0 N"},
    {.name = "lblLongitudeText", .parent = kInfo, .id = IDC_lblLongitudeText, .bounds = {10, 55, 0, 0}, .style = &kInfoCaption, .caption = "Longitude:"},
    {.name = "lblLongitude", .parent = kInfo, .id = IDC_lblLongitude, .bounds = {124, 55, 151, 24}, .style = &kInfoValue, .caption = "00 00 0.0 W"},
    {.name = "lblAltitudeText", .parent = kInfo, .id = IDC_lblAltitudeText, .bounds = {10, 89, 0, 0}, .style = &kInfoCaption, .caption = "Elevation:"},
    {.name = "lblAltitude", .parent = kInfo, .id = IDC_lblAltitude, .bounds = {124, 89, 151, 24}, .style = &kInfoValue, .caption = "0.00"},
    {.name = "lblSpeedText", .parent = kInfo, .id = IDC_lblSpeedText, .bounds = {10, 121, 0, 0}, .style = &kInfoCaption, .caption = "Speed:"},
    {.name = "lblSpeed", .parent = kInfo, .id = IDC_lblSpeed, .bounds = {124, 123, 151, 24}, .style = &kInfoValue, .caption = "0.00"},
    {.name = "lblHeadingText", .parent = kInfo, .id = IDC_lblHeadingText, .bounds = {10, 155, 0, 0}, .style = &kInfoCaption, .caption = "Heading:"},
    {.name = "lblHeading", .parent = kInfo, .id = IDC_lblHeading, .bounds = {124, 155, 151, 24}, .style = &kInfoValue, .caption = "0.00"},
    {.name = "lblTimeText", .parent = kInfo, .id = IDC_lblTimeText, .bounds = {10, 188, 0, 0}, .style = &kInfoCaption, .caption = "Time:"},
    {.name = "lblTime", .parent = kInfo, .id = IDC_lblTime, .bounds = {124, 188, 155, 24}, .style = &kInfoValue, .caption = "00:00:00"},
    // View 1: grid lines under the bars, then each bar with the satellite label below it.
    {.name = "GridLine0", .parent = kStrength, .id = IDC_GridLine0 + 0, .bounds = {17, 30, 262, 1}, .style = &kGridLine},
    {.name = "GridLine1", .parent = kStrength, .id = IDC_GridLine0 + 1, .bounds = {15, 60, 262, 1}, .style = &kGridLine},
    {.name = "GridLine2", .parent = kStrength, .id = IDC_GridLine0 + 2, .bounds = {15, 90, 262, 1}, .style = &kGridLine},
    {.name = "GridLine3", .parent = kStrength, .id = IDC_GridLine0 + 3, .bounds = {15, 120, 262, 1}, .style = &kGridLine},
    {.name = "GridLine4", .parent = kStrength, .id = IDC_GridLine0 + 4, .bounds = {13, 150, 262, 1}, .style = &kGridLine},
    {.name = "SignalBarIndeX0", .parent = kStrength, .id = IDC_SignalBarIndeX0 + 0, .bounds = {15, 150, 17, 15}, .style = &kSignalBar},
    {.name = "SignalSatIndeX0", .parent = kStrength, .id = IDC_SignalSatIndeX0 + 0, .bounds = {16, 166, 14, 16}, .style = &kSignalSat, .caption = "00"},
    {.name = "SignalBarIndeX1", .parent = kStrength, .id = IDC_SignalBarIndeX0 + 1, .bounds = {37, 150, 17, 15}, .style = &kSignalBar},
    {.name = "SignalSatIndeX1", .parent = kStrength, .id = IDC_SignalSatIndeX0 + 1, .bounds = {38, 166, 14, 16}, .style = &kSignalSat, .caption = "00"},
    {.name = "SignalBarIndeX2", .parent = kStrength, .id = IDC_SignalBarIndeX0 + 2, .bounds = {59, 150, 17, 15}, .style = &kSignalBar},
    {.name = "SignalSatIndeX2", .parent = kStrength, .id = IDC_SignalSatIndeX0 + 2, .bounds = {60, 166, 14, 16}, .style = &kSignalSat, .caption = "00"},
    {.name = "SignalBarIndeX3", .parent = kStrength, .id = IDC_SignalBarIndeX0 + 3, .bounds = {81, 150, 17, 15}, .style = &kSignalBar},
    {.name = "SignalSatIndeX3", .parent = kStrength, .id = IDC_SignalSatIndeX0 + 3, .bounds = {82, 166, 14, 16}, .style = &kSignalSat, .caption = "00"},
    {.name = "SignalBarIndeX4", .parent = kStrength, .id = IDC_SignalBarIndeX0 + 4, .bounds = {103, 150, 17, 15}, .style = &kSignalBar},
    {.name = "SignalSatIndeX4", .parent = kStrength, .id = IDC_SignalSatIndeX0 + 4, .bounds = {104, 166, 14, 16}, .style = &kSignalSat, .caption = "00"},
    {.name = "SignalBarIndeX5", .parent = kStrength, .id = IDC_SignalBarIndeX0 + 5, .bounds = {125, 150, 17, 15}, .style = &kSignalBar},
    {.name = "SignalSatIndeX5", .parent = kStrength, .id = IDC_SignalSatIndeX0 + 5, .bounds = {126, 166, 14, 16}, .style = &kSignalSat, .caption = "00"},
    {.name = "SignalBarIndeX6", .parent = kStrength, .id = IDC_SignalBarIndeX0 + 6, .bounds = {148, 150, 17, 15}, .style = &kSignalBar},
    {.name = "SignalSatIndeX6", .parent = kStrength, .id = IDC_SignalSatIndeX0 + 6, .bounds = {149, 166, 14, 16}, .style = &kSignalSat, .caption = "00"},
    {.name = "SignalBarIndeX7", .parent = kStrength, .id = IDC_SignalBarIndeX0 + 7, .bounds = {170, 150, 17, 15}, .style = &kSignalBar},
    {.name = "SignalSatIndeX7", .parent = kStrength, .id = IDC_SignalSatIndeX0 + 7, .bounds = {171, 166, 14, 16}, .style = &kSignalSat, .caption = "00"},
    {.name = "SignalBarIndeX8", .parent = kStrength, .id = IDC_SignalBarIndeX0 + 8, .bounds = {192, 150, 17, 15}, .style = &kSignalBar},
    {.name = "SignalSatIndeX8", .parent = kStrength, .id = IDC_SignalSatIndeX0 + 8, .bounds = {193, 166, 14, 16}, .style = &kSignalSat, .caption = "00"},
    {.name = "SignalBarIndeX9", .parent = kStrength, .id = IDC_SignalBarIndeX0 + 9, .bounds = {214, 150, 17, 15}, .style = &kSignalBar},
    {.name = "SignalSatIndeX9", .parent = kStrength, .id = IDC_SignalSatIndeX0 + 9, .bounds = {215, 166, 14, 16}, .style = &kSignalSat, .caption = "00"},
    {.name = "SignalBarIndeX10", .parent = kStrength, .id = IDC_SignalBarIndeX0 + 10, .bounds = {236, 150, 17, 15}, .style = &kSignalBar},
    {.name = "SignalSatIndeX10", .parent = kStrength, .id = IDC_SignalSatIndeX0 + 10, .bounds = {237, 166, 14, 16}, .style = &kSignalSat, .caption = "00"},
    {.name = "SignalBarIndeX11", .parent = kStrength, .id = IDC_SignalBarIndeX0 + 11, .bounds = {258, 150, 17, 15}, .style = &kSignalBar},
    {.name = "SignalSatIndeX11", .parent = kStrength, .id = IDC_SignalSatIndeX0 + 11, .bounds = {259, 166, 14, 16}, .style = &kSignalSat, .caption = "00"},
    {.name = "lblSatSignalStatus", .parent = kStrength, .id = IDC_lblSatSignalStatus, .bounds = {6, 186, 273, 35}, .style = &kViewStatus, .caption = "Satellite signal strengths are not available..."},
    // View 2: the sky plot centred at 100, 100, its compass letters, the satellites (placed by
    // the poll cycle), and the PDOP box with its gauge.
    {.name = "SkyCircle60", .parent = kConfig, .id = IDC_SkyCircle60, .bounds = {40, 40, 120, 120}, .style = &kSkyCircle},
    {.name = "SkyCircle40", .parent = kConfig, .id = IDC_SkyCircle40, .bounds = {60, 60, 80, 80}, .style = &kSkyCircle},
    {.name = "SkyCircle20", .parent = kConfig, .id = IDC_SkyCircle20, .bounds = {80, 80, 40, 40}, .style = &kSkyCircle},
    {.name = "SkyHorizontal", .parent = kConfig, .id = IDC_SkyHorizontal, .bounds = {20, 100, 160, 1}, .style = &kSkyHorizontal},
    {.name = "SkyVertical", .parent = kConfig, .id = IDC_SkyVertical, .bounds = {100, 20, 1, 160}, .style = &kSkyVertical},
    {.name = "lblNorth", .parent = kConfig, .id = IDC_lblNorth, .bounds = {103, 18, 0, 0}, .style = &kCompassLetter, .caption = "N"},
    {.name = "lblSouth", .parent = kConfig, .id = IDC_lblSouth, .bounds = {103, 165, 0, 0}, .style = &kCompassLetter, .caption = "S"},
    {.name = "lblEast", .parent = kConfig, .id = IDC_lblEast, .bounds = {171, 84, 0, 0}, .style = &kCompassLetter, .caption = "E"},
    {.name = "lblWest", .parent = kConfig, .id = IDC_lblWest, .bounds = {20, 84, 0, 0}, .style = &kCompassLetter, .caption = "W"},
    {.name = "ConfigSatIndeX0", .parent = kConfig, .id = IDC_ConfigSatIndeX0 + 0, .bounds = {0, 0, 16, 18}, .style = &kSkySat, .caption = "00", .visible = false},
    {.name = "ConfigSatIndeX1", .parent = kConfig, .id = IDC_ConfigSatIndeX0 + 1, .bounds = {0, 0, 16, 18}, .style = &kSkySat, .caption = "00", .visible = false},
    {.name = "ConfigSatIndeX2", .parent = kConfig, .id = IDC_ConfigSatIndeX0 + 2, .bounds = {0, 0, 16, 18}, .style = &kSkySat, .caption = "00", .visible = false},
    {.name = "ConfigSatIndeX3", .parent = kConfig, .id = IDC_ConfigSatIndeX0 + 3, .bounds = {0, 0, 16, 18}, .style = &kSkySat, .caption = "00", .visible = false},
    {.name = "ConfigSatIndeX4", .parent = kConfig, .id = IDC_ConfigSatIndeX0 + 4, .bounds = {0, 0, 16, 18}, .style = &kSkySat, .caption = "00", .visible = false},
    {.name = "ConfigSatIndeX5", .parent = kConfig, .id = IDC_ConfigSatIndeX0 + 5, .bounds = {0, 0, 16, 18}, .style = &kSkySat, .caption = "00", .visible = false},
    {.name = "ConfigSatIndeX6", .parent = kConfig, .id = IDC_ConfigSatIndeX0 + 6, .bounds = {0, 0, 16, 18}, .style = &kSkySat, .caption = "00", .visible = false},
    {.name = "ConfigSatIndeX7", .parent = kConfig, .id = IDC_ConfigSatIndeX0 + 7, .bounds = {0, 0, 16, 18}, .style = &kSkySat, .caption = "00", .visible = false},
    {.name = "ConfigSatIndeX8", .parent = kConfig, .id = IDC_ConfigSatIndeX0 + 8, .bounds = {0, 0, 16, 18}, .style = &kSkySat, .caption = "00", .visible = false},
    {.name = "ConfigSatIndeX9", .parent = kConfig, .id = IDC_ConfigSatIndeX0 + 9, .bounds = {0, 0, 16, 18}, .style = &kSkySat, .caption = "00", .visible = false},
    {.name = "ConfigSatIndeX10", .parent = kConfig, .id = IDC_ConfigSatIndeX0 + 10, .bounds = {0, 0, 16, 18}, .style = &kSkySat, .caption = "00", .visible = false},
    {.name = "ConfigSatIndeX11", .parent = kConfig, .id = IDC_ConfigSatIndeX0 + 11, .bounds = {0, 0, 16, 18}, .style = &kSkySat, .caption = "00", .visible = false},
    {.name = "lblSatConfigStatus", .parent = kConfig, .id = IDC_lblSatConfigStatus, .bounds = {6, 186, 273, 38}, .style = &kViewStatus, .caption = "The GPS satellite configuration is not currently available..."},
    {.name = "Frame3D1", .parent = kConfig, .id = IDC_Frame3D1, .bounds = {189, 18, 88, 158}, .style = &kPdopFrame, .caption = "PDOP"},
    {.name = "lblPdopPoor", .parent = "Frame3D1", .id = IDC_lblPdopPoor, .bounds = {28, 16, 47, 19}, .style = &kPdopScale, .caption = "Poor"},
    {.name = "lblPdopGood", .parent = "Frame3D1", .id = IDC_lblPdopGood, .bounds = {28, 137, 45, 16}, .style = &kPdopScale, .caption = "Good"},
    {.name = "PdopValueBox", .parent = "Frame3D1", .id = IDC_PdopValueBox, .bounds = {33, 58, 38, 40}, .style = &kPdopValueBox},
    {.name = "lblPDOP", .parent = "PdopValueBox", .id = IDC_lblPDOP, .bounds = {6, 17, 0, 0}, .style = &kPdopValue},
    {.name = "FloodBarPanel", .parent = "Frame3D1", .id = IDC_FloodBarPanel, .bounds = {9, 22, 15, 123}, .style = &kFloodBar},
    {.name = "FloodBarBadPanel", .parent = "FloodBarPanel", .id = IDC_FloodBarBadPanel, .bounds = {kFloodBarBevel, kFloodBarBevel, 11, 0}, .style = &kFloodBad},
    {.name = "FloodBarGoodPanel", .parent = "FloodBarPanel", .id = IDC_FloodBarGoodPanel, .bounds = {kFloodBarBevel, kFloodBarBevel, 11, 0}, .style = &kFloodGood},
    // Below the client area, never seen: the first line of the last macro command.
    {.name = "TestLabel", .id = IDC_TestLabel, .bounds = {4, 328, 0, 0}, .style = &kTestLabel, .caption = "TestLabel"},
};

const MenuSpec kMenus[] = {
    {.menu = "&File"},
    {.name = "FileOff", .caption = "&Off", .shortcut = Key::F2, .commandId = IDM_FileOff},
    {.name = "FileLive", .caption = "&Live GPS Data", .shortcut = Key::F3, .commandId = IDM_FileLive},
    {.name = "FileSimulated", .caption = "&Simulated GPS Data...", .shortcut = Key::F4, .commandId = IDM_FileSimulated},
    ui::kMenuSeparator,
    {.name = "FileRecord", .caption = "&Record GPS Data...", .shortcut = Key::F5, .commandId = IDM_FileRecord},
    {.name = "FileExport", .caption = "E&xport...", .commandId = IDM_FileExport},
    ui::kMenuSeparator,
    {.name = "FileExit", .caption = "&Exit", .commandId = IDM_FileExit},
    {.menu = "&Options"},
    {.name = "OptionsConnectServer", .caption = "&Connect", .shortcut = Key::F6, .commandId = IDM_OptionsConnectServer},
    ui::kMenuSeparator,
    {.name = "OptionsGPSSettings", .caption = "Set &GPS Receiver Options...", .commandId = IDM_OptionsGPSSettings},
    ui::kMenuSeparator,
    {.name = "OptionsViewGPSInfo", .caption = "View GPS &Information", .shortcut = Key::F7, .commandId = IDM_OptionsViewGPSInfo},
    {.name = "OptionsViewStrength", .caption = "View Satellite &Signal Strengths", .shortcut = Key::F8, .commandId = IDM_OptionsViewStrength},
    {.name = "OptionsViewConfig", .caption = "View Satellite Con&figuration", .shortcut = Key::F9, .commandId = IDM_OptionsViewConfig},
    ui::kMenuSeparator,
    {.name = "OptionsPreferences", .caption = "Set &Preferences...", .commandId = IDM_OptionsPreferences},
    ui::kMenuSeparator,
    {.name = "OptionsShareFix", .caption = "Share Fix on &Network", .commandId = IDM_OptionsShareFix},
    ui::kMenuSeparator,
    {.name = "OptionsWorkbench", .caption = "&Workbench...", .shortcut = Key::W, .commandId = IDM_OptionsWorkbench, .shortcutShift = ui::kCtrl},
    {.menu = "&Help"},
    {.name = "HelpContents", .caption = "&Contents", .shortcut = Key::F1, .commandId = IDM_HelpContents},
    ui::kMenuSeparator,
    {.name = "HalvornontheWebMenuItem", .caption = "&Halvorn on the Web ...", .commandId = IDM_HalvornontheWebMenuItem},
    {.name = "DownloadsMenuItem", .caption = "&Downloads ...", .commandId = IDM_DownloadsMenuItem},
    {.name = "OnlineSupportMenuItem", .caption = "&Online Support ...", .commandId = IDM_OnlineSupportMenuItem},
    {.name = "OnlineDiscussionGroupMenuItem", .caption = "Online &Discussion Group ...", .commandId = IDM_OnlineDiscussionGroupMenuItem},
    ui::kMenuSeparator,
    {.name = "HelpAbout", .caption = "&About the Pelmora", .commandId = IDM_HelpAbout},
};
// clang-format on

}  // namespace

void BuildMainLayout(ui::Form& form) {
  form.AddControls(kControls);
  form.AddMenus(kMenus);
}

ui::Control* FindSignalBar(const ui::Form& form, int index) {
  return form.FindIndexed("SignalBarIndeX", index);
}
ui::Control* FindSignalSatLabel(const ui::Form& form, int index) {
  return form.FindIndexed("SignalSatIndeX", index);
}
ui::Control* FindConfigSatLabel(const ui::Form& form, int index) {
  return form.FindIndexed("ConfigSatIndeX", index);
}

}  // namespace pelmora
