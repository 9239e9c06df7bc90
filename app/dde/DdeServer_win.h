// The DDE server on DDEML: the service registered under the program's name, and the answers to
// every server transaction, decided by ServerModel. Items, topics and services reach the model
// as text; the model never sees a handle.
#pragma once

#include <windows.h>

#include <ddeml.h>

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "app/dde/DdeHandles_win.h"
#include "app/dde/ServerModel.h"

namespace pelmora::dde {

class DdeServer : public ServerHost {
 public:
  DdeServer(DWORD instance, const std::string& serviceName);
  ~DdeServer() override { End(); }
  DdeServer(const DdeServer&) = delete;
  DdeServer& operator=(const DdeServer&) = delete;

  // DNS_REGISTER of the service; false when DDEML refuses it.
  bool Register();
  // Disconnects every conversation, unregisters the service and frees its handles (once).
  void End();

  // Adds HVN with the main window's operations behind its macro handler (nullptr removes it);
  // shown runs after every execute that reached the handler, for the window to show the result.
  void SetMacroActions(MacroActions* actions, std::function<void()> shown = {}) {
    model_.SetMacroActions(actions);
    macroShown_ = std::move(shown);
  }
  // The nine items take an update step's quantities; their advise loops are served.
  void PublishFix(const FixQuantities& fix) { model_.PublishFix(fix); }
  const ServerModel& Model() const { return model_; }

  // The answer to one server transaction of the DDEML callback.
  HDDEDATA Answer(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data);

  // ServerHost.
  bool IsWindowCaption(std::string_view topic) override;
  void PostAdvise(std::string_view item) override;

 private:
  bool AcceptsConnect(HSZ topic, HSZ service);
  void DropVanishedClients();
  HDDEDATA WildConnect(HSZ topic, HSZ service);
  HDDEDATA ItemData(HCONV conv, HSZ item);
  std::string Text(HSZ hsz) const { return QueryDdeString(instance_, hsz); }

  DWORD instance_;
  DdeString service_;
  DdeString topic_;  // "HVN", for the advises
  ServerModel model_{*this};
  std::function<void()> macroShown_;
  bool registered_ = false;
};

}  // namespace pelmora::dde
