// TMainForm: start-up and shutdown in their fixed order, the tracking modes and the command
// routing. The controls come from MainLayout; the panels are written through MainPanels.
#include "app/MainForm.h"

#include <algorithm>
#include <exception>
#include <string_view>
#include <utility>

#include "app/ControlIds.h"
#include "app/MainLayout.h"
#include "app/SourceName.h"
#include "app/settings/PreferencesForm.h"
#include "navres32/StringIds.h"

namespace pelmora {
namespace {

constexpr std::string_view kPortPrefix = "COM";

// Text joined in one buffer (GCC 12 misreads literal + temporary string as an overlap).
std::string Join(std::string_view a, std::string_view b) {
  std::string out;
  out.reserve(a.size() + b.size());
  out.append(a);
  out.append(b);
  return out;
}

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
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

Source Source::Port(int32_t number) {
  return Source{Join(kPortPrefix, std::to_string(number)), true};
}

Source Source::Named(std::string name) {
  if (std::optional<std::string> port = PortOfDevicePath(name))
    return Source{std::move(*port), true};
  const bool port = name.size() >= kPortPrefix.size() &&
                    std::equal(kPortPrefix.begin(), kPortPrefix.end(), name.begin(),
                               [](char prefix, char c) { return AsciiUpper(c) == prefix; });
  return Source{std::move(name), port};
}

TMainForm::TMainForm(MainFormHost& host, Engine& engine, StringTable& strings,
                     dde::LinkTransport& linkTransport)
    : host_(host),
      engine_(engine),
      strings_(strings),
      form_("MainForm"),
      fixText_(options_.display, suffixes_, timeFormat_, engine_),
      panels_(ViewContext{form_, strings_, options_, suffixes_, fixText_}),
      link_(linkTransport, *this),
      feed_(EpochFeedParts{engine_, options_, fixText_, panels_, link_}),
      pollCycle_(PollCycleParts{*this, engine_, strings_, options_, form_, panels_, feed_}),
      help_(host_),
      fixServer_(form_, host_) {
  BuildMainLayout(form_);
  feed_.Add(startPosition_);
}

void TMainForm::SetFollowers(EpochConsumer* ddeItems, net::FixServerControl* fixServer) {
  if (ddeItems != nullptr) feed_.Add(*ddeItems);
  fixServer_.Attach(fixServer);
  if (fixServer != nullptr) feed_.Add(fixServer_);
}

bool TMainForm::Command(int commandId) {
  using Handler = void (*)(TMainForm&);
  static constexpr std::pair<int, Handler> kRoutes[] = {
      {IDM_FileOff, [](TMainForm& m) { m.FileOff_Click(); }},
      {IDM_FileLive, [](TMainForm& m) { m.FileLive_Click(); }},
      {IDM_FileSimulated, [](TMainForm& m) { m.FileSimulated_Click(); }},
      {IDM_FileRecord, [](TMainForm& m) { m.FileRecord_Click(); }},
      {IDM_FileExit, [](TMainForm& m) { m.FileExit_Click(); }},
      {IDM_OptionsConnectServer, [](TMainForm& m) { m.OptionsConnectServer_Click(); }},
      {IDM_OptionsGPSSettings, [](TMainForm& m) { m.OptionsGPSSettings_Click(); }},
      {IDM_OptionsViewGPSInfo, [](TMainForm& m) { m.panels_.ShowView(0); }},
      {IDM_OptionsViewStrength, [](TMainForm& m) { m.panels_.ShowView(1); }},
      {IDM_OptionsViewConfig, [](TMainForm& m) { m.panels_.ShowView(2); }},
      {IDM_OptionsPreferences, [](TMainForm& m) { m.OptionsPreferences_Click(); }},
      {IDM_OptionsShareFix, [](TMainForm& m) { m.fixServer_.OptionsShareFix_Click(); }},
      {IDM_HelpContents, [](TMainForm& m) { m.help_.HelpContents_Click(); }},
      {IDM_HalvornontheWebMenuItem, [](TMainForm& m) { m.help_.HalvornontheWebMenuItemClick(); }},
      {IDM_DownloadsMenuItem, [](TMainForm& m) { m.help_.DownloadsMenuItemClick(); }},
      {IDM_OnlineSupportMenuItem, [](TMainForm& m) { m.help_.OnlineSupportMenuItemClick(); }},
      {IDM_OnlineDiscussionGroupMenuItem,
       [](TMainForm& m) { m.help_.OnlineDiscussionGroupMenuItemClick(); }},
      {IDM_HelpAbout, [](TMainForm& m) { m.help_.HelpAbout_Click(); }},
      {IDM_NextView, [](TMainForm& m) { m.panels_.NextView(); }},
      {IDC_OptionsViewButton, [](TMainForm& m) { m.panels_.OptionsViewButton_Click(); }},
      {IDC_SimulatePauseButton, [](TMainForm& m) { m.SimulatePauseButtonClick(); }},
  };
  for (const auto& [id, handler] : kRoutes) {
    if (id == commandId) {
      handler(*this);
      return true;
    }
  }
  return false;
}

bool TMainForm::FormCreate() {
  // Without the resource-string library nothing further is initialised.
  if (!strings_.Load()) {
    host_.ShowInformation("The Pelmora is not installed correctly (Resource DLL cannot be loaded).",
                          kInformationCaption);
    host_.Terminate();
    return false;
  }
  help_.Load();
  closing_ = 0;
  paused_ = 0;
  macroEcho_ = 0;
  startPosition_.Clear();
  // Every option, with the engine parameter records filled from them.
  options_ = host_.LoadOptions();
  host_.SetTopmost(options_.display.onTop == 1);
  BuildUnitSuffixes();
  timeFormat_ = host_.UserLongTimeFormat();
  if (options_.display.minimize == 1) host_.SetMinimised();
  // Off mode with the idle display (FileRecord disabled), the information view, the link.
  FileOff_Click();
  panels_.ShowView(0);
  OptionsConnectServer_Click();
  fixServer_.Load();
  host_.ShowMainWindow();
  return true;
}

void TMainForm::BuildUnitSuffixes() {
  auto entry = [this](int id) { return Join(" ", strings_.Get(id)); };
  suffixes_.elevation = {entry(IDS_ElevationFeet), entry(IDS_ElevationMetres), ""};
  suffixes_.speed = {entry(IDS_SpeedMph), entry(IDS_SpeedKnots), entry(IDS_SpeedMetresPerSecond),
                     entry(IDS_SpeedKmh), ""};
  suffixes_.heading = {entry(IDS_HeadingMagnetic), entry(IDS_HeadingTrue), ""};
  suffixes_.time = {entry(IDS_TimeLocal), entry(IDS_TimeUtc), ""};
}

void TMainForm::FormClose() {
  Guarded([&] { panels_.ResetDisplay(); });
  Guarded([&] { panels_.SetGpsStatusText(IDS_ClosingEngine); });
  closing_ = 1;
  Guarded([&] { host_.StopTimer(); });
  Guarded([&] {
    if (link_.LinkOpen()) link_.Close();
  });
  Guarded([&] { fixServer_.Shutdown(); });
  Guarded([&] { StopRecording(); });
  Guarded([&] {
    if (engineOpen_ != 0) {
      // The last valid live position becomes the receiver's start position of the next run;
      // before any, the stored one stays.
      const std::optional<LatLon> position = startPosition_.Position();
      if (form_.Checked("FileLive") && position)
        host_.StoreStartPosition(position->latitude, position->longitude);
      CloseEngine();
    }
  });
  Guarded([&] { strings_.Free(); });
  host_.Terminate();
}

void TMainForm::SetModeMenu(Mode mode) {
  form_.SetChecked("FileOff", mode == Mode::Off);
  form_.SetChecked("FileLive", mode == Mode::Live);
  form_.SetChecked("FileSimulated", mode == Mode::Simulated);
  form_.SetMenuEnabled("FileRecord", mode == Mode::Live);
}

void TMainForm::StopRecording() {
  if (!form_.Checked("FileRecord")) return;
  lastStatus_ = engine_.StopLog();
  form_.SetChecked("FileRecord", false);
}

void TMainForm::FileOff_Click() {
  StopRecording();
  if (engineOpen_ != 0) {
    CloseEngine();
    paused_ = 0;
  }
  SetModeMenu(Mode::Off);
  panels_.ResetDisplay();
  SendLinkCommand("OFF");
}

void TMainForm::FileLive_Click() {
  if (OpenEngine(Source::Port(options_.comPort)) == 0) SendLinkCommand("LIVE");
}

FileDialogRequest TMainForm::LogFileDialog(bool save) const {
  FileDialogRequest request;
  request.save = save;
  request.title = strings_.Get(save ? IDS_RecordDialogTitle : IDS_ReplayDialogTitle);
  request.filter = "GPS Log (*.gps)|*.gps||";
  request.defaultExtension = "GPS";
  request.options = save ? kOverwritePrompt | kHideReadOnly | kPathMustExist
                         : kHideReadOnly | kPathMustExist | kFileMustExist;
  return request;
}

void TMainForm::FileSimulated_Click() {
  // Cancelled: nothing changes.
  if (const std::optional<std::string> path = host_.ChooseFile(LogFileDialog(false))) {
    ReplayLog(*path);
  }
}

void TMainForm::ReplayLog(const std::string& path) {
  Source source = Source::Named(path);
  const bool port = source.port;  // \\.\COMn, as the full path of COMn comes
  if (OpenEngine(std::move(source)) == 0) SendLinkCommand(port ? "LIVE" : "PLAYING");
}

void TMainForm::FileRecord_Click() {
  if (form_.Checked("FileRecord")) {
    StopRecording();
    return;
  }
  // Only Live mode records: a command that reaches a disabled item changes nothing.
  if (!form_.MenuEnabled("FileRecord")) return;
  const std::optional<std::string> path = host_.ChooseFile(LogFileDialog(true));
  if (!path) return;
  lastStatus_ = engine_.StartLog(*path);
  if (lastStatus_ == 0) {
    form_.SetChecked("FileRecord", true);
  } else {
    host_.ShowError(strings_.Get(IDS_RecordStartFailed));
  }
}

void TMainForm::FileExit_Click() {
  closing_ = 1;
  host_.CloseMainWindow();
}

// Connect: the link opens when it is down (message 29 when the GIS does not answer) and closes
// when it is up or stale.
void TMainForm::OptionsConnectServer_Click() {
  link_.Toggle();
}

// The dialogs are created here, shown modally and freed when they close; their OK writes the
// options the poll cycle reads at its next tick.
void TMainForm::OptionsGPSSettings_Click() {
  TGPSSettingsForm dialog(ReceiverDialogParts{options_, engine_, host_.Store(), host_, *this});
  host_.ShowModal(dialog);
}

void TMainForm::OptionsPreferences_Click() {
  TPreferencesForm dialog(options_.display, host_.Store(), host_);
  host_.ShowModal(dialog);
}

int32_t TMainForm::OpenEngine(Source source) {
  source_ = std::move(source);
  if (engineOpen_ != 0) {
    StopRecording();
    CloseEngine();
  }
  // Passed whole: a cut path would name a different file; the engine refuses an overlong one.
  const int32_t status = engine_.Open(options_.receiverType, source_.name, options_.commInfo,
                                      options_.receiverSettings);
  lastStatus_ = status;
  if (status == 0) {
    engineOpen_ = 1;
    ++engineOpens_;
    paused_ = 0;
    feed_.Reset();
    SetModeMenu(source_.port ? Mode::Live : Mode::Simulated);
  } else {
    host_.ShowInformation(strings_.Get(source_.port ? IDS_PortOpenFailed : IDS_LogOpenFailed),
                          kInformationCaption);
    SetModeMenu(Mode::Off);
  }
  panels_.ResetDisplay();
  if (status == 0 && source_.port) {
    panels_.SetPortStatusText(source_.name);
  } else if (status == 0) {
    form_.Get("SimulatePauseButton").SetVisible(true).SetDown(false);
    panels_.SetPortStatusText(ReplayName(source_.name));
  }
  return status;
}

int32_t TMainForm::CloseEngine() {
  // A modal dialog or box in front keeps the window disabled after the close.
  const bool wasEnabled = host_.EnableMainWindow(false);
  engineOpen_ = 0;
  panels_.SetGpsStatusText(IDS_ClosingEngine);
  lastStatus_ = engine_.Close();
  if (wasEnabled) host_.EnableMainWindow(true);
  return lastStatus_;
}

void TMainForm::SimulatePauseButtonClick() {
  ui::Control& button = form_.Get("SimulatePauseButton");
  button.SetDown(!button.Down());
  paused_ = button.Down() ? 1 : 0;
  // A PAUSE or FORWARD macro sends its own command.
  if (macroEcho_ == 0) SendLinkCommand(paused_ != 0 ? "PAUSE" : "FORWARD");
}

void TMainForm::SendLinkCommand(const std::string& command) {
  link_.SendModeCommand(command);
}

void TMainForm::SetConnectChecked(bool checked) {
  form_.SetChecked("OptionsConnectServer", checked);
}

void TMainForm::ShowLinkFailed() {
  host_.ShowInformation(strings_.Get(IDS_LinkOpenFailed), kInformationCaption);
}

void TMainForm::ShowLinkGivenUp() {
  host_.ShowError(strings_.Get(IDS_LinkGivenUp));
}

void TMainForm::SetTestLabel(const std::string& caption) {
  form_.Get("TestLabel").SetCaption(caption);
}

int32_t TMainForm::OpenSource(const std::string& source) {
  return OpenEngine(Source::Named(source));
}

void TMainForm::SetPauseButtonDown(bool down) {
  form_.Get("SimulatePauseButton").SetDown(down);
}

}  // namespace pelmora
