// The main window's macro actions and link messages.
#include "app/DdeAdapters.h"

#include "navres32/StringIds.h"

namespace pelmora {

void MainMacroActions::SetTestLabel(const std::string& caption) {
  form_.Get("TestLabel").SetCaption(caption);
}

void MainMacroActions::SetReplaySpeed(ReplaySpeed speed) {
  player_.SetSpeed(speed);
  StoreReplaySpeed(host_.Store(), speed);
}

int32_t MainMacroActions::OpenSource(const std::string& source) {
  return modes_.OpenEngine(Source::Named(source));
}

void MainLinkUi::SetConnectChecked(bool checked) {
  form_.SetChecked("OptionsConnectServer", checked);
}

void MainLinkUi::ShowLinkFailed() {
  host_.ShowInformation(strings_.Get(IDS_LinkOpenFailed), kInformationCaption);
}

void MainLinkUi::ShowLinkGivenUp() {
  host_.ShowError(strings_.Get(IDS_LinkGivenUp));
}

}  // namespace pelmora
