// Fakes for the settings dialogs: a host that acts as the user of the modal dialogs it is
// asked to show and logs help, file dialogs and error boxes; a main window that reopens its
// source; an engine that only knows the line defaults of the two receiver types.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/engine/Engine.h"
#include "app/settings/GPSSettingsForm.h"
#include "app/settings/SettingsDialogHost.h"

namespace pelmora::test {

class FakeDialogHost : public SettingsDialogHost {
 public:
  // Logs "Dialog <caption>" and runs the script for that caption; a dialog still open
  // afterwards is closed with Escape.
  void ShowModal(ui::Dialog& dialog) override {
    log.push_back("Dialog " + dialog.Caption());
    auto script = users.find(dialog.Caption());
    if (script != users.end()) script->second(dialog);
    if (!dialog.Closed()) dialog.Dismiss();
  }
  void ShowHelp(int context) override { log.push_back("Help " + std::to_string(context)); }
  std::optional<std::string> ChooseFile(const FileDialogRequest& request) override {
    log.push_back("ChooseFile");
    lastRequest = request;
    return chosen;
  }
  void ShowError(const std::string& text) override { log.push_back("Error " + text); }
  std::string Text(int id) override { return "S" + std::to_string(id); }

  std::vector<std::string> log;
  std::map<std::string, std::function<void(ui::Dialog&)>> users;
  std::optional<std::string> chosen;
  FileDialogRequest lastRequest;
};

class FakeSource : public ReceiverSource {
 public:
  bool EngineOpen() const override { return open; }
  int32_t ReopenEngine() override {
    ++reopens;
    return reopenResult;
  }
  void SetLastStatus(int32_t status) override { lastStatus = status; }

  bool open = false;
  int reopens = 0;
  int32_t reopenResult = 0;
  int32_t lastStatus = -99;
};

// GetDefaultCommInfo: NMEA 4800 8N1, TSIP 9600 8O1, or defaultsResult when it is set.
class DefaultsEngine : public Engine {
 public:
  int32_t Open(int32_t, const std::string&, const CommInfo&, const ReceiverSettings&) override {
    return 0;
  }
  int32_t Poll() override { return 0; }
  void GetEpoch(Epoch& epoch) override { epoch = Epoch{}; }
  int32_t StartLog(const std::string&) override { return 0; }
  int32_t StopLog() override { return 0; }
  int32_t Close() override { return 0; }
  int32_t GetDefaultCommInfo(int32_t type, CommInfo& commInfo) override {
    asked.push_back(type);
    if (defaultsResult != 0) return defaultsResult;
    commInfo = type == 2 ? CommInfo{9600, 1, 8, 0} : CommInfo{4800, 0, 8, 0};
    return 0;
  }
  std::string FormatLatLon(double, int32_t, int32_t, int32_t) override { return {}; }

  int32_t defaultsResult = 0;
  std::vector<int32_t> asked;
};

}  // namespace pelmora::test
