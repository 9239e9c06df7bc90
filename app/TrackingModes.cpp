// The tracking modes: the File menu, the engine's open and close, the pause button.
#include "app/TrackingModes.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "app/SourceName.h"
#include "navres32/StringIds.h"

namespace pelmora {
namespace {

constexpr std::string_view kPortPrefix = "COM";

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

Source Source::Port(int32_t number) {
  std::string name(kPortPrefix);
  name += std::to_string(number);
  return Source{std::move(name), true};
}

Source Source::Named(std::string name) {
  if (std::optional<std::string> port = PortOfDevicePath(name))
    return Source{std::move(*port), true};
  const bool port = name.size() >= kPortPrefix.size() &&
                    std::equal(kPortPrefix.begin(), kPortPrefix.end(), name.begin(),
                               [](char prefix, char c) { return AsciiUpper(c) == prefix; });
  return Source{std::move(name), port};
}

void TrackingModes::Reset() {
  closing_ = 0;
  paused_ = 0;
  macroEcho_ = 0;
}

void TrackingModes::SetModeMenu(Mode mode) {
  p_.form.SetChecked("FileOff", mode == Mode::Off);
  p_.form.SetChecked("FileLive", mode == Mode::Live);
  p_.form.SetChecked("FileSimulated", mode == Mode::Simulated);
  p_.form.SetMenuEnabled("FileRecord", mode == Mode::Live);
}

void TrackingModes::StopRecording() {
  if (!p_.form.Checked("FileRecord")) return;
  lastStatus_ = p_.engine.StopLog();
  p_.form.SetChecked("FileRecord", false);
}

void TrackingModes::FileOff_Click() {
  StopRecording();
  if (engineOpen_ != 0) {
    CloseEngine();
    paused_ = 0;
  }
  SetModeMenu(Mode::Off);
  p_.panels.ResetDisplay();
  SendLinkCommand("OFF");
}

void TrackingModes::FileLive_Click() {
  if (OpenEngine(Source::Port(p_.options.comPort)) == 0) SendLinkCommand("LIVE");
}

FileDialogRequest TrackingModes::LogFileDialog(bool save) const {
  FileDialogRequest request;
  request.save = save;
  request.title = p_.strings.Get(save ? IDS_RecordDialogTitle : IDS_ReplayDialogTitle);
  request.filter = "GPS Log (*.gps)|*.gps||";
  request.defaultExtension = "GPS";
  request.options = save ? kOverwritePrompt | kHideReadOnly | kPathMustExist
                         : kHideReadOnly | kPathMustExist | kFileMustExist;
  return request;
}

void TrackingModes::FileSimulated_Click() {
  // Cancelled: nothing changes.
  if (const std::optional<std::string> path = p_.host.ChooseFile(LogFileDialog(false))) {
    ReplayLog(*path);
  }
}

void TrackingModes::ReplayLog(const std::string& path) {
  Source source = Source::Named(path);
  const bool port = source.port;  // \\.\COMn, as the full path of COMn comes
  if (OpenEngine(std::move(source)) == 0) SendLinkCommand(port ? "LIVE" : "PLAYING");
}

void TrackingModes::FileRecord_Click() {
  if (p_.form.Checked("FileRecord")) {
    StopRecording();
    return;
  }
  // Only Live mode records: a command that reaches a disabled item changes nothing.
  if (!p_.form.MenuEnabled("FileRecord")) return;
  const std::optional<std::string> path = p_.host.ChooseFile(LogFileDialog(true));
  if (!path) return;
  lastStatus_ = p_.engine.StartLog(*path);
  if (lastStatus_ == 0) {
    p_.form.SetChecked("FileRecord", true);
  } else {
    p_.host.ShowError(p_.strings.Get(IDS_RecordStartFailed));
  }
}

void TrackingModes::FileExit_Click() {
  closing_ = 1;
  p_.host.CloseMainWindow();
}

int32_t TrackingModes::OpenEngine(Source source) {
  source_ = std::move(source);
  if (engineOpen_ != 0) {
    StopRecording();
    CloseEngine();
  }
  // Passed whole: a cut path would name a different file; the engine refuses an overlong one.
  const int32_t status = p_.engine.Open(p_.options.receiverType, source_.name, p_.options.commInfo,
                                        p_.options.receiverSettings);
  lastStatus_ = status;
  if (status == 0) {
    engineOpen_ = 1;
    ++engineOpens_;
    paused_ = 0;
    p_.feed.Reset();
    SetModeMenu(source_.port ? Mode::Live : Mode::Simulated);
  } else {
    p_.host.ShowInformation(p_.strings.Get(source_.port ? IDS_PortOpenFailed : IDS_LogOpenFailed),
                            kInformationCaption);
    SetModeMenu(Mode::Off);
  }
  p_.panels.ResetDisplay();
  if (status == 0 && source_.port) {
    p_.panels.SetPortStatusText(source_.name);
  } else if (status == 0) {
    p_.form.Get("SimulatePauseButton").SetVisible(true).SetDown(false);
    p_.panels.SetPortStatusText(ReplayName(source_.name));
  }
  return status;
}

int32_t TrackingModes::CloseEngine() {
  // A modal dialog or box in front keeps the window disabled after the close.
  const bool wasEnabled = p_.host.EnableMainWindow(false);
  engineOpen_ = 0;
  p_.panels.SetGpsStatusText(IDS_ClosingEngine);
  lastStatus_ = p_.engine.Close();
  if (wasEnabled) p_.host.EnableMainWindow(true);
  return lastStatus_;
}

void TrackingModes::SimulatePauseButtonClick() {
  ui::Control& button = p_.form.Get("SimulatePauseButton");
  button.SetDown(!button.Down());
  paused_ = button.Down() ? 1 : 0;
  // A PAUSE or FORWARD macro sends its own command.
  if (macroEcho_ == 0) SendLinkCommand(paused_ != 0 ? "PAUSE" : "FORWARD");
}

void TrackingModes::SetPauseButtonDown(bool down) {
  p_.form.Get("SimulatePauseButton").SetDown(down);
}

void TrackingModes::SendLinkCommand(const std::string& command) {
  p_.link.SendModeCommand(command);
}

}  // namespace pelmora
