// TMainForm: the wiring of its rooms, start-up and shutdown in their fixed order, and the
// command routing. The controls come from MainLayout; the panels are written through MainPanels.
#include "app/MainForm.h"

#include <exception>
#include <optional>
#include <utility>

#include "app/ControlIds.h"
#include "app/MainLayout.h"
#include "app/settings/GPSSettingsForm.h"
#include "app/settings/PreferencesForm.h"
#include "navres32/StringIds.h"

namespace pelmora {
namespace {

// Runs one shutdown step; a failure is swallowed so that the program still ends.
template <typename F>
void Guarded(F&& step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

// The unit names of strings 17..26, each after a space, with an empty entry for values beyond
// the list.
UnitSuffixes LoadUnitSuffixes(const StringTable& strings) {
  auto entry = [&strings](int id) { return std::string(" ").append(strings.Get(id)); };
  UnitSuffixes suffixes;
  suffixes.elevation = {entry(IDS_ElevationFeet), entry(IDS_ElevationMetres), ""};
  suffixes.speed = {entry(IDS_SpeedMph), entry(IDS_SpeedKnots), entry(IDS_SpeedMetresPerSecond),
                    entry(IDS_SpeedKmh), ""};
  suffixes.heading = {entry(IDS_HeadingMagnetic), entry(IDS_HeadingTrue), ""};
  suffixes.time = {entry(IDS_TimeLocal), entry(IDS_TimeUtc), ""};
  return suffixes;
}

}  // namespace

TMainForm::TMainForm(MainFormHost& host, Engine& engine, StringTable& strings,
                     dde::LinkTransport& linkTransport)
    : host_(host),
      engine_(engine),
      strings_(strings),
      form_("MainForm"),
      fixText_(options_.display, suffixes_, timeFormat_, engine_),
      panels_(ViewContext{form_, strings_, options_, suffixes_, fixText_}),
      linkUi_(form_, host_, strings_),
      link_(linkTransport, linkUi_),
      feed_(EpochFeedParts{engine_, options_, fixText_, panels_, link_}),
      modes_(TrackingModesParts{host_, engine_, strings_, options_, form_, panels_, feed_, link_}),
      player_(engine_, feed_, modes_),
      macros_(form_, modes_, player_, host_),
      pollCycle_(
          PollCycleParts{modes_, engine_, strings_, options_, form_, panels_, feed_, player_}),
      help_(host_),
      fixServer_(form_, host_),
      export_(host_, strings_, form_, modes_, options_) {
  BuildMainLayout(form_);
  feed_.Add(startPosition_);
  feed_.Add(workbench_);
}

void TMainForm::SetFollowers(EpochConsumer* ddeItems, net::FixServerControl* fixServer) {
  if (ddeItems != nullptr) feed_.Add(*ddeItems);
  fixServer_.Attach(fixServer);
  if (fixServer != nullptr) feed_.Add(fixServer_);
}

bool TMainForm::Command(int commandId) {
  using Handler = void (*)(TMainForm&);
  static constexpr std::pair<int, Handler> kRoutes[] = {
      {IDM_FileOff, [](TMainForm& m) { m.modes_.FileOff_Click(); }},
      {IDM_FileLive, [](TMainForm& m) { m.modes_.FileLive_Click(); }},
      {IDM_FileSimulated, [](TMainForm& m) { m.modes_.FileSimulated_Click(); }},
      {IDM_FileRecord, [](TMainForm& m) { m.modes_.FileRecord_Click(); }},
      {IDM_FileExit, [](TMainForm& m) { m.modes_.FileExit_Click(); }},
      {IDM_FileExport, [](TMainForm& m) { m.export_.FileExport_Click(); }},
      // Connect: the link opens when it is down (message 29 when the GIS does not answer) and
      // closes when it is up or stale.
      {IDM_OptionsConnectServer, [](TMainForm& m) { m.link_.Toggle(); }},
      {IDM_OptionsGPSSettings, [](TMainForm& m) { m.OptionsGPSSettings_Click(); }},
      {IDM_OptionsViewGPSInfo, [](TMainForm& m) { m.panels_.ShowView(0); }},
      {IDM_OptionsViewStrength, [](TMainForm& m) { m.panels_.ShowView(1); }},
      {IDM_OptionsViewConfig, [](TMainForm& m) { m.panels_.ShowView(2); }},
      {IDM_OptionsPreferences, [](TMainForm& m) { m.OptionsPreferences_Click(); }},
      {IDM_OptionsShareFix, [](TMainForm& m) { m.fixServer_.OptionsShareFix_Click(); }},
      {IDM_OptionsWorkbench, [](TMainForm& m) { m.host_.ShowWorkbench(); }},
      {IDM_HelpContents, [](TMainForm& m) { m.help_.HelpContents_Click(); }},
      {IDM_HalvornontheWebMenuItem, [](TMainForm& m) { m.help_.HalvornontheWebMenuItemClick(); }},
      {IDM_DownloadsMenuItem, [](TMainForm& m) { m.help_.DownloadsMenuItemClick(); }},
      {IDM_OnlineSupportMenuItem, [](TMainForm& m) { m.help_.OnlineSupportMenuItemClick(); }},
      {IDM_OnlineDiscussionGroupMenuItem,
       [](TMainForm& m) { m.help_.OnlineDiscussionGroupMenuItemClick(); }},
      {IDM_HelpAbout, [](TMainForm& m) { m.help_.HelpAbout_Click(); }},
      {IDM_NextView, [](TMainForm& m) { m.panels_.NextView(); }},
      {IDC_OptionsViewButton, [](TMainForm& m) { m.panels_.OptionsViewButton_Click(); }},
      {IDC_SimulatePauseButton, [](TMainForm& m) { m.modes_.SimulatePauseButtonClick(); }},
      {IDM_PlayerStep, [](TMainForm& m) { m.player_.Step(true); }},
      {IDM_PlayerBack, [](TMainForm& m) { m.player_.Step(false); }},
      {IDM_PlayerSeekStart,
       [](TMainForm& m) {
         m.player_.Seek({SeekTarget::Kind::Start, {}});
       }},
      {IDM_PlayerSeekEnd,
       [](TMainForm& m) {
         m.player_.Seek({SeekTarget::Kind::End, {}});
       }},
      {IDM_PlayerFaster, [](TMainForm& m) { m.macros_.SetReplaySpeed(m.player_.Faster(true)); }},
      {IDM_PlayerSlower, [](TMainForm& m) { m.macros_.SetReplaySpeed(m.player_.Faster(false)); }},
  };
  for (const auto& [id, handler] : kRoutes) {
    if (id == commandId) {
      handler(*this);
      return true;
    }
  }
  return false;
}

void TMainForm::StartFromCommandLine(const std::optional<ProgramArguments>& arguments) {
  if (!arguments) {
    host_.ShowInformation(strings_.Get(IDS_CommandLineUsage), kInformationCaption);
    return;
  }
  if (arguments->speed) player_.SetSpeed(*arguments->speed);
  if (arguments->log.empty()) return;
  modes_.ReplayLog(arguments->log);
  if (arguments->seek) player_.Seek(SeekTarget{SeekTarget::Kind::Time, *arguments->seek});
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
  modes_.Reset();
  startPosition_.Clear();
  // Every option, with the engine parameter records filled from them.
  options_ = host_.LoadOptions();
  player_.SetSpeed(StoredReplaySpeed(host_.Store()));
  host_.SetTopmost(options_.display.onTop == 1);
  suffixes_ = LoadUnitSuffixes(strings_);
  timeFormat_ = host_.UserLongTimeFormat();
  if (options_.display.minimize == 1) host_.SetMinimised();
  // Off mode with the idle display (FileRecord disabled), the information view, the link.
  modes_.FileOff_Click();
  panels_.ShowView(0);
  link_.Toggle();
  fixServer_.Load();
  host_.ShowMainWindow();
  return true;
}

void TMainForm::FormClose() {
  Guarded([&] { panels_.ResetDisplay(); });
  Guarded([&] { panels_.SetGpsStatusText(IDS_ClosingEngine); });
  modes_.BeginClose();
  Guarded([&] { host_.StopTimer(); });
  Guarded([&] {
    if (link_.LinkOpen()) link_.Close();
  });
  Guarded([&] { fixServer_.Shutdown(); });
  Guarded([&] { modes_.StopRecording(); });
  Guarded([&] {
    if (modes_.EngineOpen()) {
      // The last valid live position becomes the receiver's start position of the next run;
      // before any, the stored one stays.
      const std::optional<LatLon> position = startPosition_.Position();
      if (form_.Checked("FileLive") && position)
        host_.StoreStartPosition(position->latitude, position->longitude);
      modes_.CloseEngine();
    }
  });
  Guarded([&] { strings_.Free(); });
  host_.Terminate();
}

void TMainForm::OptionsGPSSettings_Click() {
  TGPSSettingsForm dialog(ReceiverDialogParts{options_, engine_, host_.Store(), host_, modes_});
  host_.ShowModal(dialog);
}

void TMainForm::OptionsPreferences_Click() {
  TPreferencesForm dialog(options_.display, host_.Store(), host_);
  host_.ShowModal(dialog);
}

}  // namespace pelmora
