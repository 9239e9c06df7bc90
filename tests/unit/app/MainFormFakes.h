// Fakes for the main window's services, shared by its tests and the poll-cycle benchmark: each
// records what it is asked into one log, so that a test can check the order of steps. The
// string table answers "S<id>" for the ids the window uses and the unit names for 17..26.
#pragma once

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/MainForm.h"
#include "app/format/FormatFixed.h"
#include "tests/unit/settings/FakeOptionBackend.h"

namespace pelmora::fakes {

using Log = std::vector<std::string>;

class FakeStrings : public StringTable {
 public:
  explicit FakeStrings(Log& log) : log_(log) {
    for (int id : {3,  4,  5,  6,  14, 15, 16, 27, 28, 29, 33, 45, 46,
                   48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60})
      texts_[id] = std::string("S").append(std::to_string(id));
    const char* units[] = {"feet", "metres",   "mph",  "knots", "m/s",
                           "km/h", "magnetic", "true", "local", "UTC"};
    for (int i = 0; i < 10; ++i)
      texts_[17 + i] = units[i];
    for (int status = 0; status < 10; ++status)
      texts_[34 + status] = std::string("Status").append(std::to_string(status));
    texts_[44] = "satellites";
  }
  bool Load() override {
    log_.push_back("LoadStrings");
    loaded_ = loadable;
    return loadable;
  }
  std::string Get(int id) const override {
    if (!loaded_) return {};
    auto it = texts_.find(id);
    return it == texts_.end() ? std::string() : it->second;
  }
  void Free() override {
    log_.push_back("FreeStrings");
    loaded_ = false;
  }
  bool loadable = true;

 private:
  Log& log_;
  bool loaded_ = false;
  std::map<int, std::string> texts_;
};

// A scripted engine: polls answer pollResults in turn (then 0), GetEpoch hands out `info`.
class FakeEngine : public Engine {
 public:
  explicit FakeEngine(Log& log) : log_(log) {}
  int32_t Open(int32_t type, const std::string& source, const CommInfo& commInfo,
               const ReceiverSettings&) override {
    log_.push_back("Open " + std::to_string(type) + " " + source);
    replaying = !times.empty() && !source.starts_with("COM");
    at = -1;
    openedWith = commInfo;
    return openResult;
  }
  int32_t Poll() override {
    ++polls;
    if (logPolls) log_.push_back("Poll");
    if (replaying && at + 1 >= static_cast<int64_t>(times.size())) return kNavPollEndOfLog;
    if (replaying && (pollResults.empty() || pollResults.front() == 0)) ++at;
    if (pollResults.empty()) return 0;
    const int32_t result = pollResults.front();
    pollResults.pop_front();
    return result;
  }
  // The epoch of `info`: a fix when infoResult is non-zero, `sats` as its satellites.
  void GetEpoch(Epoch& epoch) override {
    ++reads;
    epoch = Epoch{};
    epoch.fix = info;
    if (replaying && at >= 0) epoch.fix.utcSeconds = times[static_cast<size_t>(at)];
    if (infoResult != 0) epoch.flags |= kEpochHasFix;
    epoch.satCount = static_cast<int16_t>(std::min<std::size_t>(sats.size(), kMaxAllSats));
    std::copy_n(sats.begin(), epoch.satCount, epoch.sats);
  }
  int32_t StartLog(const std::string& path) override {
    log_.push_back("StartLog " + path);
    return startLogResult;
  }
  int32_t StopLog() override {
    log_.push_back("StopLog");
    if (failShutdown) throw std::runtime_error("stop failed");
    return 0;
  }
  int32_t Close() override {
    log_.push_back("Close");
    if (failShutdown) throw std::runtime_error("close failed");
    return 7;
  }
  // The line defaults of a type: NMEA 4800 8N1, TSIP 9600 8O1; another type fails.
  int32_t GetDefaultCommInfo(int32_t type, CommInfo& commInfo) override {
    if (type == 1) commInfo = CommInfo{4800, 0, 8, 0};
    if (type == 2) commInfo = CommInfo{9600, 1, 8, 0};
    return type == 1 || type == 2 ? 0 : 5;
  }
  // The position as the engine's formatter would give it: four decimals and the kind.
  std::string FormatLatLon(double degrees, int32_t kind, int32_t, int32_t) override {
    return FormatFixed(degrees, 0, 4) + (kind == 1 ? " lon" : " lat");
  }

  // The replay player over `times`, the receiver times of a log's epochs (empty: no player).
  int32_t GetPlayerState(PlayerState& state) override {
    if (!replaying) return kNavSeekNotReplaying;
    state = PlayerState{};
    state.epochCount = static_cast<int64_t>(times.size());
    state.currentEpoch = at;
    state.spanSeconds = times.back() - times.front();
    state.currentSeconds = at >= 0 ? times[static_cast<size_t>(at)] - times.front() : -1;
    state.indexComplete = 1;
    return 0;
  }
  int32_t SeekTime(double utcSeconds, int32_t, int32_t, int32_t) override {
    if (!replaying) return kNavSeekNotReplaying;
    const auto it = std::lower_bound(times.begin(), times.end(), utcSeconds);
    return it == times.end() ? kNavSeekNotFound : SeekEpoch(it - times.begin());
  }
  int32_t SeekEpoch(int64_t epoch) override {
    if (!replaying) return kNavSeekNotReplaying;
    if (epoch < 0 || epoch >= static_cast<int64_t>(times.size())) return kNavSeekOutOfRange;
    at = epoch;
    return 0;
  }
  int32_t SeekStart() override { return SeekEpoch(0); }
  int32_t SeekEnd() override { return SeekEpoch(static_cast<int64_t>(times.size()) - 1); }
  int32_t StepBack() override { return SeekEpoch(at - 1); }

  std::vector<double> times;
  bool replaying = false;
  int64_t at = -1;
  int32_t openResult = 0;
  CommInfo openedWith{};  // the line settings of the last Open
  int32_t startLogResult = 0;
  bool failShutdown = false;
  bool logPolls = true;
  std::deque<int32_t> pollResults;
  FixRecord info{};
  int32_t infoResult = 1;
  std::vector<EpochSat> sats;
  int polls = 0;
  int reads = 0;

 private:
  Log& log_;
};

class FakeHost : public MainFormHost {
 public:
  explicit FakeHost(Log& log) : log_(log) {}
  std::string AppDirectory() override { return "C:\\Apps\\Pelmora"; }
  StartupOptions LoadOptions() override {
    log_.push_back("LoadOptions");
    return options;
  }
  void StoreStartPosition(double lat, double lon) override {
    char text[64];
    std::snprintf(text, sizeof text, "StoreStartPosition %.2f %.2f", lat, lon);
    log_.push_back(text);
  }
  void ShowInformation(const std::string& text, const std::string& caption) override {
    log_.push_back("Message [" + caption + "] " + text);
  }
  // The box's own message loop: duringBox runs while it is open.
  void ShowError(const std::string& text) override {
    log_.push_back("Error " + text);
    if (duringBox) duringBox();
  }
  void ShowAbout(const std::string& product, const std::string& version) override {
    log_.push_back("About " + product + " / " + version);
  }
  void SetTopmost(bool on) override { log_.push_back(on ? "Topmost" : "NotTopmost"); }
  void SetMinimised() override { log_.push_back("Minimised"); }
  void ShowMainWindow() override { log_.push_back("Show"); }
  bool EnableMainWindow(bool on) override {
    log_.push_back(on ? "Enable" : "Disable");
    return std::exchange(enabled, on);
  }
  void StopTimer() override { log_.push_back("StopTimer"); }
  void ShowProgress() override {
    log_.push_back("Progress");
    if (duringProgress) duringProgress();
  }
  // Logs "<Open|Save> title|filter|extension|options" and answers `chosen`.
  std::optional<std::string> ChooseFile(const FileDialogRequest& r) override {
    log_.push_back(std::string(r.save ? "Save " : "Open ") + r.title + "|" + r.filter + "|" +
                   r.defaultExtension + "|" + std::to_string(r.options) + "|" + r.fileName);
    return chosen;
  }
  WallClockTime LocalTime() override { return now; }
  void Beep() override { log_.push_back("Beep"); }
  LongTimeFormat UserLongTimeFormat() override { return timeFormat; }
  void CloseMainWindow() override { log_.push_back("CloseMainWindow"); }
  void Terminate() override { log_.push_back("Terminate"); }
  // Logs "Dialog <caption>", then acts as the user with the script for that caption; a dialog
  // still open afterwards is closed with Escape.
  void ShowModal(ui::Dialog& dialog) override {
    log_.push_back("Dialog " + dialog.Caption());
    const bool was = std::exchange(enabled, false);
    auto script = users.find(dialog.Caption());
    if (script != users.end()) script->second(dialog);
    if (!dialog.Closed()) dialog.Dismiss();
    enabled = was;
  }
  void ShowHelp(int context) override { log_.push_back("Help " + std::to_string(context)); }
  std::string Text(int id) override { return std::string("S").append(std::to_string(id)); }
  const OptionStore& Store() override { return store; }
  void ShellOpen(const std::string& address) override { log_.push_back("ShellOpen " + address); }
  void ShowWorkbench() override { log_.push_back("ShowWorkbench"); }

  StartupOptions options;
  test::FakeOptionBackend backend;
  OptionStore store{backend, "Pelmora"};
  std::map<std::string, std::function<void(ui::Dialog&)>> users;
  std::optional<std::string> chosen;
  WallClockTime now{0, 0};
  LongTimeFormat timeFormat;
  std::function<void()> duringBox;
  std::function<void()> duringProgress;
  bool enabled = true;  // the main window accepts input

 private:
  Log& log_;
};

// The GIS conversation: connects when told to, logs what it sends.
class FakeLinkTransport : public dde::LinkTransport {
 public:
  explicit FakeLinkTransport(Log& log) : log_(log) {}
  bool Connect() override { return conversation_ = accepts; }
  bool StartPeer() override { return false; }
  bool Execute(const std::string& text) override {
    log_.push_back("Send " + text);
    return sendSucceeds;
  }
  void Close() override {
    log_.push_back("CloseClientLink");
    conversation_ = false;
  }
  bool HasConversation() const override { return conversation_; }
  bool accepts = false;
  bool sendSucceeds = true;

 private:
  Log& log_;
  bool conversation_ = false;
};

}  // namespace pelmora::fakes
