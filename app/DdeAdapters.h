// The main window's side of the DDE interfaces: what a macro command does to the window
// (dde::MacroActions, over the tracking modes and TestLabel) and what the client link shows the
// user (dde::LinkUi: the Connect check mark and the link's messages). Portable.
#pragma once

#include <cstdint>
#include <string>

#include "app/MainFormHost.h"
#include "app/Player.h"
#include "app/StringTable.h"
#include "app/TrackingModes.h"
#include "app/dde/ClientLink.h"
#include "app/dde/MacroHandler.h"
#include "app/ui/Form.h"

namespace pelmora {

class MainMacroActions final : public dde::MacroActions {
 public:
  MainMacroActions(ui::Form& form, TrackingModes& modes, Player& player, MainFormHost& host)
      : form_(form), modes_(modes), player_(player), host_(host) {}

  void SetTestLabel(const std::string& caption) override;
  void FileOff() override { modes_.FileOff_Click(); }
  void FileLive() override { modes_.FileLive_Click(); }
  int32_t OpenSource(const std::string& source) override;
  void SetPauseButtonDown(bool down) override { modes_.SetPauseButtonDown(down); }
  void SetPaused(bool paused) override { modes_.SetPaused(paused); }
  void SetMacroEcho(bool on) override { modes_.SetMacroEcho(on); }
  void SendLinkCommand(const std::string& command) override { modes_.SendLinkCommand(command); }
  void Exit() override { modes_.FileExit_Click(); }
  // The speed applies in every mode and is remembered in the option ReplaySpeed.
  void SetReplaySpeed(ReplaySpeed speed) override;
  void SeekReplay(const SeekTarget& target) override { player_.Seek(target); }
  void StepReplay(bool forward) override { player_.Step(forward); }

 private:
  ui::Form& form_;
  TrackingModes& modes_;
  Player& player_;
  MainFormHost& host_;
};

class MainLinkUi final : public dde::LinkUi {
 public:
  MainLinkUi(ui::Form& form, MainFormHost& host, const StringTable& strings)
      : form_(form), host_(host), strings_(strings) {}

  void SetConnectChecked(bool checked) override;
  void ShowLinkFailed() override;
  void ShowLinkGivenUp() override;

 private:
  ui::Form& form_;
  MainFormHost& host_;
  const StringTable& strings_;
};

}  // namespace pelmora
