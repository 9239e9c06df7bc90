// TMainForm: controls at their design geometry, start-up and shutdown in their fixed order,
// the idle display, the PDOP gauge and the view switching.
#include "app/MainForm.h"

#include <exception>
#include <string_view>
#include <utility>

#include "app/ControlIds.h"

namespace pelmora {

using ui::Alignment;
using ui::Bevel;
using ui::Control;
using ui::ControlKind;
using ui::Font;
using ui::Key;
using ui::Rect;
using ui::ShapeKind;
namespace colors = ui::colors;

const std::array<const char*, kViewCount> kViewFrames = {"GPSInfoViewFrame", "SatStrengthViewFrame",
                                                         "SatConfigViewFrame"};
const std::array<const char*, kViewCount> kViewMenuItems = {
    "OptionsViewGPSInfo", "OptionsViewStrength", "OptionsViewConfig"};

namespace {

// Resource string ids (navres32).
constexpr int kStrIdleGpsStatus = 3;
constexpr int kStrIdlePortStatus = 4;
constexpr int kStrNoSignalView = 5;
constexpr int kStrNoConfigView = 6;
constexpr int kStrClosingEngine = 16;
constexpr int kStrFirstElevationUnit = 17;
constexpr int kStrFirstSpeedUnit = 19;
constexpr int kStrFirstHeadingRef = 23;
constexpr int kStrFirstTimeRef = 25;

constexpr char kDegree = '\xB0';  // degree sign in Windows-1252
constexpr int kViewLeft = 10;
constexpr int kViewTop = 45;
constexpr int kBarBaseline = 165;
constexpr int kBarIdleHeight = 15;
constexpr std::array<int, kMaxSats> kBarLeft = {15,  37,  59,  81,  103, 125,
                                                148, 170, 192, 214, 236, 258};

// Text joined in one buffer (GCC 12 misreads literal + temporary string as an overlap).
std::string Join(std::string_view a, std::string_view b) {
  std::string out;
  out.reserve(a.size() + b.size());
  out.append(a);
  out.append(b);
  return out;
}

std::string Indexed(std::string_view prefix, int index) {
  return Join(prefix, std::to_string(index));
}

Font MakeFont(const char* face, int heightPx, bool bold = false, bool italic = false) {
  return Font{face, heightPx, bold, italic};
}

// Runs one shutdown step; a failure is swallowed so that the program still ends.
template <typename F>
void Guarded(F&& step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

}  // namespace

TMainForm::TMainForm(MainFormHost& host, Engine& engine, StringTable& strings)
    : host_(host), engine_(engine), strings_(strings), form_("MainForm") {
  BuildControls();
  BuildMenus();
}

void TMainForm::BuildControls() {
  auto& f = form_;

  // Status strip.
  Control& panel1 = f.Add("Panel1", ControlKind::Panel)
                        .SetId(IDC_Panel1)
                        .SetBounds({0, 0, 307, 37})
                        .SetBevel(Bevel::Raised, 2);
  f.Add("GPSStatusLight", ControlKind::Shape, &panel1)
      .SetId(IDC_GPSStatusLight)
      .SetBounds({14, 13, 16, 15})
      .SetShape(ShapeKind::Circle)
      .SetFilled(true)
      .SetBackColor(colors::kGrey);
  f.Add("lblGPSStatus", ControlKind::Label, &panel1)
      .SetId(IDC_lblGPSStatus)
      .SetBounds({40, 11, 0, 0})
      .SetAutoSize(true)
      .SetFont(MakeFont("MS Sans Serif", 15))
      .SetCaption("Initializing....");

  // Button strip.
  Control& panel2 = f.Add("Panel2", ControlKind::Panel)
                        .SetId(IDC_Panel2)
                        .SetBounds({0, 286, 307, 39})
                        .SetBevel(Bevel::Raised, 2);
  const Font stripFont = MakeFont("MS Sans Serif", 13);
  f.Add("lblComStatus", ControlKind::Panel, &panel2)
      .SetId(IDC_lblComStatus)
      .SetBounds({10, 6, 90, 25})
      .SetBevel(Bevel::Lowered, 1)
      .SetAlignment(Alignment::Center)
      .SetFont(stripFont)
      .SetTextColor(colors::kBlack);
  f.Add("lblMode", ControlKind::Panel, &panel2)
      .SetId(IDC_lblMode)
      .SetBounds({104, 6, 90, 25})
      .SetBevel(Bevel::Lowered, 1)
      .SetAlignment(Alignment::Center)
      .SetFont(stripFont)
      .SetTextColor(colors::kBlack);
  f.Add("SimulatePauseButton", ControlKind::Button, &panel2)
      .SetId(IDC_SimulatePauseButton)
      .SetBounds({234, 6, 27, 27})
      .SetToggle(true)
      .SetPicture(ui::Picture::Pause)
      .SetVisible(false);
  f.Add("OptionsViewButton", ControlKind::Button, &panel2)
      .SetId(IDC_OptionsViewButton)
      .SetBounds({268, 6, 27, 27})
      .SetPicture(ui::Picture::NextView);

  // The three views.
  const Font frameFont = MakeFont("MS Sans Serif", 15, true, true);
  const std::array<const char*, kViewCount> captions = {
      "GPS Information", "GPS Satellite Signal Strength", "GPS Satellite Configuration"};
  const std::array<int, kViewCount> frameIds = {IDC_GPSInfoViewFrame, IDC_SatStrengthViewFrame,
                                                IDC_SatConfigViewFrame};
  std::array<Control*, kViewCount> frames{};
  for (int i = 0; i < kViewCount; ++i) {
    frames[i] = &f.Add(kViewFrames[i], ControlKind::GroupBox)
                     .SetId(frameIds[i])
                     .SetBounds({kViewLeft, kViewTop, 286, 225})
                     .SetCaption(captions[i])
                     .SetFont(frameFont)
                     .SetTextColor(colors::kNavy)
                     .SetVisible(i == 0);
  }

  // View 0: six caption/value pairs.
  struct InfoRow {
    const char* caption;
    const char* captionText;
    int captionLeft, captionTop, captionId;
    const char* value;
    Rect valueBounds;
    const char* designText;
    int valueId;
  };
  const std::array<InfoRow, 6> rows = {{
      {"lblLatitudeText",
       "Latitude:",
       10,
       23,
       IDC_lblLatitudeText,
       "lblLatitude",
       {126, 23, 151, 24},
       "00 00 0.0 N",
       IDC_lblLatitude},
      {"lblLongitudeText",
       "Longitude:",
       10,
       55,
       IDC_lblLongitudeText,
       "lblLongitude",
       {124, 55, 151, 24},
       "00 00 0.0 W",
       IDC_lblLongitude},
      {"lblAltitudeText",
       "Elevation:",
       10,
       89,
       IDC_lblAltitudeText,
       "lblAltitude",
       {124, 89, 151, 24},
       "0.00",
       IDC_lblAltitude},
      {"lblSpeedText",
       "Speed:",
       10,
       121,
       IDC_lblSpeedText,
       "lblSpeed",
       {124, 123, 151, 24},
       "0.00",
       IDC_lblSpeed},
      {"lblHeadingText",
       "Heading:",
       10,
       155,
       IDC_lblHeadingText,
       "lblHeading",
       {124, 155, 151, 24},
       "0.00",
       IDC_lblHeading},
      {"lblTimeText",
       "Time:",
       10,
       188,
       IDC_lblTimeText,
       "lblTime",
       {124, 188, 155, 24},
       "00:00:00",
       IDC_lblTime},
  }};
  for (const InfoRow& row : rows) {
    f.Add(row.caption, ControlKind::Label, frames[0])
        .SetId(row.captionId)
        .SetBounds({row.captionLeft, row.captionTop, 0, 0})
        .SetAutoSize(true)
        .SetFont(MakeFont("Arial", 18))
        .SetTextColor(colors::kNavy)
        .SetCaption(row.captionText);
    f.Add(row.value, ControlKind::Label, frames[0])
        .SetId(row.valueId)
        .SetBounds(row.valueBounds)
        .SetFont(MakeFont("Arial", 18, false, true))
        .SetTextColor(colors::kGrey)
        .SetCaption(row.designText);
  }

  // View 1: grid lines under the bars, then bars and their satellite labels.
  const std::array<std::pair<int, int>, 5> gridLines = {
      {{17, 30}, {15, 60}, {15, 90}, {15, 120}, {13, 150}}};
  for (size_t i = 0; i < gridLines.size(); ++i) {
    f.Add(Indexed("GridLine", static_cast<int>(i)), ControlKind::Shape, frames[1])
        .SetId(IDC_GridLine0 + static_cast<int>(i))
        .SetBounds({gridLines[i].first, gridLines[i].second, 262, 1})
        .SetShape(ShapeKind::HorizontalLine)
        .SetPenColor(colors::kGrey);
  }
  for (int i = 0; i < kMaxSats; ++i) {
    f.Add(Indexed("SignalBarIndeX", static_cast<int>(i)), ControlKind::Panel, frames[1])
        .SetId(IDC_SignalBarIndeX0 + i)
        .SetBounds({kBarLeft[i], kBarBaseline - kBarIdleHeight, 17, kBarIdleHeight})
        .SetBevel(Bevel::Raised, 2)
        .SetAlignment(Alignment::Center)
        .SetFont(MakeFont("MS Sans Serif", 11))
        .SetTextColor(colors::kBlack)
        .SetOpaque(true);
    f.Add(Indexed("SignalSatIndeX", static_cast<int>(i)), ControlKind::Label, frames[1])
        .SetId(IDC_SignalSatIndeX0 + i)
        .SetBounds({kBarLeft[i] + 1, kBarBaseline + 1, 14, 16})
        .SetFont(MakeFont("MS Sans Serif", 15))
        .SetCaption("00");
  }
  f.Add("lblSatSignalStatus", ControlKind::Label, frames[1])
      .SetId(IDC_lblSatSignalStatus)
      .SetBounds({6, 186, 273, 35})
      .SetAlignment(Alignment::Center)
      .SetWordWrap(true)
      .SetFont(MakeFont("MS Sans Serif", 15))
      .SetTextColor(colors::kNavy)
      .SetCaption("Satellite signal strengths are not available...");

  // View 2: the sky plot, centred at 100, 100.
  struct SkyShape {
    const char* name;
    int id;
    Rect bounds;
    ShapeKind shape;
    ui::Color pen;
  };
  const std::array<SkyShape, 5> shapes = {{
      {"SkyCircle60", IDC_SkyCircle60, {40, 40, 120, 120}, ShapeKind::Circle, colors::kGrey},
      {"SkyCircle40", IDC_SkyCircle40, {60, 60, 80, 80}, ShapeKind::Circle, colors::kGrey},
      {"SkyCircle20", IDC_SkyCircle20, {80, 80, 40, 40}, ShapeKind::Circle, colors::kGrey},
      {"SkyHorizontal",
       IDC_SkyHorizontal,
       {20, 100, 160, 1},
       ShapeKind::HorizontalLine,
       colors::kBlack},
      {"SkyVertical", IDC_SkyVertical, {100, 20, 1, 160}, ShapeKind::VerticalLine, colors::kBlack},
  }};
  for (const SkyShape& s : shapes) {
    f.Add(s.name, ControlKind::Shape, frames[2])
        .SetId(s.id)
        .SetBounds(s.bounds)
        .SetShape(s.shape)
        .SetPenColor(s.pen);
  }
  struct Letter {
    const char* name;
    const char* text;
    int left, top, id;
  };
  const std::array<Letter, 4> letters = {{{"lblNorth", "N", 103, 18, IDC_lblNorth},
                                          {"lblSouth", "S", 103, 165, IDC_lblSouth},
                                          {"lblEast", "E", 171, 84, IDC_lblEast},
                                          {"lblWest", "W", 20, 84, IDC_lblWest}}};
  for (const Letter& l : letters) {
    f.Add(l.name, ControlKind::Label, frames[2])
        .SetId(l.id)
        .SetBounds({l.left, l.top, 0, 0})
        .SetAutoSize(true)
        .SetFont(MakeFont("MS Serif", 15, false, true))
        .SetTextColor(colors::kRed)
        .SetCaption(l.text);
  }
  for (int i = 0; i < kMaxSats; ++i) {
    f.Add(Indexed("ConfigSatIndeX", static_cast<int>(i)), ControlKind::Label, frames[2])
        .SetId(IDC_ConfigSatIndeX0 + i)
        .SetBounds({0, 0, 16, 18})
        .SetOpaque(true)
        .SetBackColor(colors::kGrey)
        .SetTextColor(colors::kWhite)
        .SetAlignment(Alignment::Center)
        .SetFont(MakeFont("Arial", 15, true))
        .SetCaption("00")
        .SetVisible(false);
  }
  f.Add("lblSatConfigStatus", ControlKind::Label, frames[2])
      .SetId(IDC_lblSatConfigStatus)
      .SetBounds({6, 186, 273, 38})
      .SetAlignment(Alignment::Center)
      .SetWordWrap(true)
      .SetFont(MakeFont("MS Sans Serif", 15))
      .SetTextColor(colors::kNavy)
      .SetCaption("The GPS satellite configuration is not currently available...");

  // The PDOP box.
  Control& pdop = f.Add("Frame3D1", ControlKind::GroupBox, frames[2])
                      .SetId(IDC_Frame3D1)
                      .SetBounds({189, 18, 88, 158})
                      .SetCaption("PDOP")
                      .SetFont(MakeFont("MS Sans Serif", 10, true, true))
                      .SetTextColor(colors::kNavy);
  f.Add("lblPdopPoor", ControlKind::Label, &pdop)
      .SetId(IDC_lblPdopPoor)
      .SetBounds({28, 16, 47, 19})
      .SetFont(MakeFont("MS Sans Serif", 12))
      .SetTextColor(colors::kBlack)
      .SetCaption("Poor");
  f.Add("lblPdopGood", ControlKind::Label, &pdop)
      .SetId(IDC_lblPdopGood)
      .SetBounds({28, 137, 45, 16})
      .SetFont(MakeFont("MS Sans Serif", 12))
      .SetTextColor(colors::kBlack)
      .SetCaption("Good");
  Control& valueBox = f.Add("PdopValueBox", ControlKind::Panel, &pdop)
                          .SetId(IDC_PdopValueBox)
                          .SetBounds({33, 58, 38, 40})
                          .SetBevel(Bevel::Lowered, 1)
                          .SetOpaque(true);
  f.Add("lblPDOP", ControlKind::Label, &valueBox)
      .SetId(IDC_lblPDOP)
      .SetBounds({6, 17, 0, 0})
      .SetAutoSize(true)
      .SetFont(MakeFont("MS Sans Serif", 15));
  Control& gauge = f.Add("FloodBarPanel", ControlKind::Panel, &pdop)
                       .SetId(IDC_FloodBarPanel)
                       .SetBounds({9, 22, 15, 123})
                       .SetBevel(Bevel::Raised, kFloodBarBevel)
                       .SetOpaque(true);
  f.Add("FloodBarBadPanel", ControlKind::Panel, &gauge)
      .SetId(IDC_FloodBarBadPanel)
      .SetBounds({kFloodBarBevel, kFloodBarBevel, 11, 0})
      .SetBackColor(colors::kRed)
      .SetOpaque(true);
  f.Add("FloodBarGoodPanel", ControlKind::Panel, &gauge)
      .SetId(IDC_FloodBarGoodPanel)
      .SetBounds({kFloodBarBevel, kFloodBarBevel, 11, 0})
      .SetBackColor(colors::kLime)
      .SetOpaque(true);

  // Below the client area, never seen.
  f.Add("TestLabel", ControlKind::Label)
      .SetId(IDC_TestLabel)
      .SetBounds({4, 328, 0, 0})
      .SetAutoSize(true)
      .SetFont(MakeFont("System", 16))
      .SetCaption("TestLabel");
}

void TMainForm::BuildMenus() {
  auto& f = form_;
  f.AddMenu("&File");
  f.AddMenuItem("FileOff", "&Off", Key::F2, IDM_FileOff);
  f.AddMenuItem("FileLive", "&Live GPS Data", Key::F3, IDM_FileLive);
  f.AddMenuItem("FileSimulated", "&Simulated GPS Data...", Key::F4, IDM_FileSimulated);
  f.AddMenuSeparator();
  f.AddMenuItem("FileRecord", "&Record GPS Data...", Key::F5, IDM_FileRecord);
  f.AddMenuSeparator();
  f.AddMenuItem("FileExit", "&Exit", Key::None, IDM_FileExit);

  f.AddMenu("&Options");
  f.AddMenuItem("OptionsConnectServer", "&Connect", Key::F6, IDM_OptionsConnectServer);
  f.AddMenuSeparator();
  f.AddMenuItem("OptionsGPSSettings", "Set &GPS Receiver Options...", Key::None,
                IDM_OptionsGPSSettings);
  f.AddMenuSeparator();
  f.AddMenuItem("OptionsViewGPSInfo", "View GPS &Information", Key::F7, IDM_OptionsViewGPSInfo);
  f.AddMenuItem("OptionsViewStrength", "View Satellite &Signal Strengths", Key::F8,
                IDM_OptionsViewStrength);
  f.AddMenuItem("OptionsViewConfig", "View Satellite Con&figuration", Key::F9,
                IDM_OptionsViewConfig);
  f.AddMenuSeparator();
  f.AddMenuItem("OptionsPreferences", "Set &Preferences...", Key::None, IDM_OptionsPreferences);

  f.AddMenu("&Help");
  f.AddMenuItem("HelpContents", "&Contents", Key::F1, IDM_HelpContents);
  f.AddMenuSeparator();
  f.AddMenuItem("HalvornontheWebMenuItem", "&Halvorn on the Web ...", Key::None,
                IDM_HalvornontheWebMenuItem);
  f.AddMenuItem("DownloadsMenuItem", "&Downloads ...", Key::None, IDM_DownloadsMenuItem);
  f.AddMenuItem("OnlineSupportMenuItem", "&Online Support ...", Key::None,
                IDM_OnlineSupportMenuItem);
  f.AddMenuItem("OnlineDiscussionGroupMenuItem", "Online &Discussion Group ...", Key::None,
                IDM_OnlineDiscussionGroupMenuItem);
  f.AddMenuSeparator();
  f.AddMenuItem("HelpAbout", "&About the Pelmora", Key::None, IDM_HelpAbout);
}

bool TMainForm::Command(int commandId) {
  switch (commandId) {
    case IDM_FileOff:
      FileOff_Click();
      return true;
    case IDM_FileLive:
      FileLive_Click();
      return true;
    case IDM_FileSimulated:
      FileSimulated_Click();
      return true;
    case IDM_FileRecord:
      FileRecord_Click();
      return true;
    case IDM_FileExit:
      FileExit_Click();
      return true;
    case IDM_OptionsConnectServer:
      OptionsConnectServer_Click();
      return true;
    case IDM_OptionsGPSSettings:
      OptionsGPSSettings_Click();
      return true;
    case IDM_OptionsViewGPSInfo:
      OptionsViewGPSInfo_Click();
      return true;
    case IDM_OptionsViewStrength:
      OptionsViewStrength_Click();
      return true;
    case IDM_OptionsViewConfig:
      OptionsViewConfig_Click();
      return true;
    case IDM_OptionsPreferences:
      OptionsPreferences_Click();
      return true;
    case IDM_HelpContents:
      HelpContents_Click();
      return true;
    case IDM_HalvornontheWebMenuItem:
      HalvornontheWebMenuItemClick();
      return true;
    case IDM_DownloadsMenuItem:
      DownloadsMenuItemClick();
      return true;
    case IDM_OnlineSupportMenuItem:
      OnlineSupportMenuItemClick();
      return true;
    case IDM_OnlineDiscussionGroupMenuItem:
      OnlineDiscussionGroupMenuItemClick();
      return true;
    case IDM_HelpAbout:
      HelpAbout_Click();
      return true;
    case IDM_NextView:
      Form_KeyDown(Key::F12);
      return true;
    case IDC_OptionsViewButton:
      OptionsViewButton_Click();
      return true;
    case IDC_SimulatePauseButton:
      SimulatePauseButtonClick();
      return true;
    default:
      return false;
  }
}

bool TMainForm::FormCreate() {
  // 1. The resource-string library; without it nothing further is initialised.
  if (!strings_.Load()) {
    host_.ShowInformation("The Pelmora is not installed correctly (Resource DLL cannot be loaded).",
                          "Information");
    host_.Terminate();
    return false;
  }
  // 2, 3.
  versionText_ = "Version 3.2 MapInfo Edition";
  helpFilePath_ = Join(host_.AppDirectory(), "\\pelmora.hlp");
  // 4.
  closing_ = 0;
  linkOpen_ = 0;
  paused_ = 0;
  macroEcho_ = 0;
  failedSends_ = 0;
  viewIndex_ = 0;
  // 5, 7. Options and the engine parameter records.
  ApplyStartupOptions(host_.LoadOptions());
  // 6.
  host_.SetTopmost(display_.onTop == 1);
  // 8.
  BuildUnitSuffixes();
  // 9.
  if (display_.minimize == 1) host_.SetMinimised();
  // 10.
  FileOff_Click();
  form_.SetMenuEnabled("FileRecord", false);
  // 11.
  OptionsViewGPSInfo_Click();
  // 12.
  OptionsConnectServer_Click();
  // 13.
  host_.ShowMainWindow();
  return true;
}

void TMainForm::ApplyStartupOptions(const StartupOptions& options) {
  receiverType_ = options.receiverType;
  portNumber_ = options.comPort;
  commInfo_ = options.commInfo;
  receiverSettings_ = options.receiverSettings;
  display_ = options.display;
}

void TMainForm::BuildUnitSuffixes() {
  auto entry = [this](int id) { return Join(" ", strings_.Get(id)); };
  suffixes_.elevation = {entry(kStrFirstElevationUnit), entry(kStrFirstElevationUnit + 1), ""};
  suffixes_.speed = {entry(kStrFirstSpeedUnit), entry(kStrFirstSpeedUnit + 1),
                     entry(kStrFirstSpeedUnit + 2), entry(kStrFirstSpeedUnit + 3), ""};
  suffixes_.heading = {entry(kStrFirstHeadingRef), entry(kStrFirstHeadingRef + 1), ""};
  suffixes_.time = {entry(kStrFirstTimeRef), entry(kStrFirstTimeRef + 1), ""};
}

void TMainForm::FormClose() {
  Guarded([&] { ResetDisplay(); });
  Guarded([&] { SetGpsStatusText(kStrClosingEngine); });
  closing_ = 1;
  Guarded([&] { host_.StopTimer(); });
  Guarded([&] {
    if (linkOpen_ != 0) {
      host_.CloseClientLink();
      linkOpen_ = 0;
    }
  });
  Guarded([&] {
    if (form_.Checked("FileRecord")) {
      lastStatus_ = engine_.StopLog();
      form_.SetChecked("FileRecord", false);
    }
  });
  Guarded([&] {
    if (engineOpen_ != 0) {
      if (form_.Checked("FileLive")) StoreStartPosition();
      CloseEngine();
    }
  });
  Guarded([&] { strings_.Free(); });
  host_.Terminate();
}

void TMainForm::StoreStartPosition() {
  host_.StoreStartPosition(fix_.latitude, fix_.longitude);
}

void TMainForm::SendLinkCommand(const std::string& command) {
  if (linkOpen_ != 0) host_.SendLinkCommand(command);
}

void TMainForm::SetGpsStatusText(int stringId) {
  form_.Get("lblGPSStatus").SetCaption(strings_.Get(stringId));
}

void TMainForm::FileOff_Click() {
  if (form_.Checked("FileRecord")) {
    lastStatus_ = engine_.StopLog();
    form_.SetChecked("FileRecord", false);
  }
  if (engineOpen_ != 0) {
    CloseEngine();
    paused_ = 0;
  }
  form_.SetChecked("FileOff", true);
  form_.SetChecked("FileLive", false);
  form_.SetChecked("FileSimulated", false);
  form_.SetMenuEnabled("FileRecord", false);
  ResetDisplay();
  SendLinkCommand("OFF");
}

void TMainForm::FileLive_Click() {
  sourceName_ = Indexed("COM", portNumber_);
  if (OpenEngine() == 0) {
    form_.SetChecked("FileOff", false);
    form_.SetChecked("FileLive", true);
    form_.SetChecked("FileSimulated", false);
    SendLinkCommand("LIVE");
  }
}

// Log replay and recording need the file dialogs of the tracking-mode layer.
void TMainForm::FileSimulated_Click() {}
void TMainForm::FileRecord_Click() {}

void TMainForm::FileExit_Click() {
  closing_ = 1;
  host_.CloseMainWindow();
}

// The client link, the settings dialogs, help and web links come with their own layers.
void TMainForm::OptionsConnectServer_Click() {}
void TMainForm::OptionsGPSSettings_Click() {}
void TMainForm::OptionsPreferences_Click() {}
void TMainForm::HelpContents_Click() {}
void TMainForm::HalvornontheWebMenuItemClick() {}
void TMainForm::DownloadsMenuItemClick() {}
void TMainForm::OnlineSupportMenuItemClick() {}
void TMainForm::OnlineDiscussionGroupMenuItemClick() {}
// The poll cycle comes with its own layer.
void TMainForm::Timer1_Timer() {}

int32_t TMainForm::OpenEngine() {
  if (engineOpen_ != 0) {
    if (form_.Checked("FileRecord")) {
      lastStatus_ = engine_.StopLog();
      form_.SetChecked("FileRecord", false);
    }
    CloseEngine();
  }
  // Passed whole: a cut path would name a different file; the engine refuses an overlong one.
  const std::string& source = sourceName_;
  const int32_t status = engine_.Open(receiverType_, source, commInfo_, receiverSettings_);
  lastStatus_ = status;
  bool serial = source.size() >= 3;
  for (size_t i = 0; serial && i < 3; ++i) {
    serial = (source[i] & ~0x20) == "COM"[i];
  }
  if (status != 0) {
    host_.ShowInformation(strings_.Get(serial ? 14 : 15), "Information");
    form_.SetChecked("FileOff", true);
    form_.SetChecked("FileLive", false);
    form_.SetChecked("FileSimulated", false);
    form_.SetMenuEnabled("FileRecord", false);
  } else {
    engineOpen_ = 1;
    form_.SetChecked("FileOff", false);
    paused_ = 0;
    fix_ = FixRecord{};
    form_.SetChecked("FileLive", serial);
    form_.SetChecked("FileSimulated", !serial);
    form_.SetMenuEnabled("FileRecord", serial);
  }
  ResetDisplay();
  if (form_.Checked("FileSimulated")) {
    form_.Get("SimulatePauseButton").SetVisible(true).SetDown(false);
    paused_ = 0;
    // Replay name: between the last "\" before the first "." and that ".".
    std::string name;
    const size_t dot = source.find('.');
    if (dot != std::string::npos) {
      const size_t slash = source.rfind('\\', dot);
      const size_t start = slash == std::string::npos ? 0 : slash + 1;
      name = source.substr(start, dot - start);
    }
    for (char& c : name) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    form_.Get("lblComStatus").SetCaption(name);
  }
  if (form_.Checked("FileLive") && status == 0) {
    form_.Get("lblComStatus").SetCaption(source);
  }
  return status;
}

int32_t TMainForm::CloseEngine() {
  host_.EnableMainWindow(false);
  engineOpen_ = 0;
  SetGpsStatusText(kStrClosingEngine);
  lastStatus_ = engine_.Close();
  host_.EnableMainWindow(true);
  return lastStatus_;
}

void TMainForm::HelpAbout_Click() {
  host_.ShowAbout("The Pelmora", versionText_);
}

void TMainForm::SimulatePauseButtonClick() {
  Control& button = form_.Get("SimulatePauseButton");
  button.SetDown(!button.Down());
  paused_ = button.Down() ? 1 : 0;
  if (linkOpen_ != 0 && macroEcho_ == 0) SendLinkCommand(paused_ != 0 ? "PAUSE" : "FORWARD");
}

void TMainForm::ResetDisplay() {
  const ui::Color grey = colors::kIdleGrey;
  // 1, 2.
  SetGpsStatusText(kStrIdleGpsStatus);
  form_.Get("GPSStatusLight").SetBackColor(grey);
  form_.Get("lblComStatus").SetCaption(strings_.Get(kStrIdlePortStatus));
  form_.Get("lblMode").SetCaption("");
  // 3. 0° 0' 0.0" N and E.
  const std::string zeroPosition = std::string("0") + kDegree + " 0' 0.0\" ";
  form_.Get("lblLatitude").SetTextColor(grey).SetCaption(zeroPosition + "N");
  form_.Get("lblLongitude").SetTextColor(grey).SetCaption(zeroPosition + "E");
  // 4.
  form_.Get("lblAltitude")
      .SetTextColor(grey)
      .SetCaption(Join("0.00", UnitSuffixes::At(suffixes_.elevation, display_.elevUnits)));
  form_.Get("lblSpeed")
      .SetTextColor(grey)
      .SetCaption(Join("0.0", UnitSuffixes::At(suffixes_.speed, display_.speedUnits)));
  form_.Get("lblHeading")
      .SetTextColor(grey)
      .SetCaption(std::string("0.0") + kDegree +
                  UnitSuffixes::At(suffixes_.heading, display_.trackTrue));
  form_.Get("lblTime").SetTextColor(grey).SetCaption(
      Join("00:00:00 am", UnitSuffixes::At(suffixes_.time, display_.timeUtc)));
  // 5 to 7.
  for (int i = 0; i < kMaxSats; ++i) {
    if (Control* bar = FindSignalBar(i)) {
      bar->SetBackColor(grey).SetHeight(kBarIdleHeight).SetTop(kBarBaseline - kBarIdleHeight);
    }
    if (Control* label = FindSignalSatLabel(i)) label->SetCaption("0");
    if (Control* label = FindConfigSatLabel(i)) label->SetVisible(false);
  }
  // 8 to 10.
  form_.Get("lblSatSignalStatus").SetCaption(strings_.Get(kStrNoSignalView));
  form_.Get("lblSatConfigStatus").SetCaption(strings_.Get(kStrNoConfigView));
  form_.Get("lblPDOP").SetCaption("");
  ShowPdopBar(0);
  form_.Get("SimulatePauseButton").SetVisible(false);
  // 11.
  form_.Repaint();
}

void TMainForm::ShowPdopBar(int level) {
  Control& bad = form_.Get("FloodBarBadPanel");
  Control& good = form_.Get("FloodBarGoodPanel");
  if (level <= 0) {
    bad.SetVisible(false);
    good.SetVisible(false);
    return;
  }
  const Control& gauge = form_.Get("FloodBarPanel");
  const int inner = gauge.Bounds().height - 2 * gauge.BevelWidth();
  // A division by the level, not a proportion of it: the gauge's long-standing reading.
  const int red = inner / level;
  const int green = inner - red;
  const int top = gauge.BevelWidth();
  bad.SetVisible(true).SetTop(top).SetHeight(red);
  good.SetVisible(true).SetTop(top + red).SetHeight(green);
}

Control* TMainForm::FindSignalBar(int index) const {
  return form_.FindIndexed("SignalBarIndeX", index);
}
Control* TMainForm::FindSignalSatLabel(int index) const {
  return form_.FindIndexed("SignalSatIndeX", index);
}
Control* TMainForm::FindConfigSatLabel(int index) const {
  return form_.FindIndexed("ConfigSatIndeX", index);
}

void TMainForm::ShowView(int view) {
  if (view < 0 || view >= kViewCount) return;
  for (int i = 0; i < kViewCount; ++i) {
    Control& frame = form_.Get(kViewFrames[i]);
    if (i == view) {
      frame.SetVisible(true).SetBounds(
          {kViewLeft, kViewTop, frame.Bounds().width, frame.Bounds().height});
    } else {
      frame.SetVisible(false);
    }
    form_.SetChecked(kViewMenuItems[i], i == view);
  }
  viewIndex_ = view;
}

void TMainForm::NextView() {
  ShowView((viewIndex_ + 1) % kViewCount);
}

void TMainForm::OptionsViewButton_Click() {
  NextView();
  form_.Get("OptionsViewButton").SetDown(false);
}

bool TMainForm::Form_KeyDown(Key key, unsigned /*shift: Shift, Ctrl and Alt make no difference*/) {
  if (key != Key::F12) return false;
  NextView();
  return true;
}

}  // namespace pelmora
