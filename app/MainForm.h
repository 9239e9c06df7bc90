// TMainForm: the main window as a model of controls. It builds and wires its rooms, starts up and
// shuts down in their fixed order and routes the menu, accelerator and button commands. Its
// rooms: the layout (MainLayout), the panels and views (MainPanels), the tracking modes
// (TrackingModes), the poll cycle (PollCycle), the epoch feed (EpochFeed), the client link
// (dde::ClientLink), the Help menu (HelpMenu), the fix server's entry (FixServerMenu) and File >
// Export... (ExportMenu); the DDE
// server's macro commands reach the modes through MainMacroActions. Portable: the window system,
// the engine and the texts are behind MainFormHost, Engine and StringTable.
#pragma once

#include "app/CommandLine.h"
#include "app/DdeAdapters.h"
#include "app/EpochFeed.h"
#include "app/ExportMenu.h"
#include "app/FixServerMenu.h"
#include "app/HelpMenu.h"
#include "app/MainFormHost.h"
#include "app/MainPanels.h"
#include "app/Player.h"
#include "app/PollCycle.h"
#include "app/StartPosition.h"
#include "app/StringTable.h"
#include "app/TrackingModes.h"
#include "app/dde/ClientLink.h"
#include "app/dde/MacroHandler.h"
#include "app/engine/Engine.h"
#include "app/format/FixText.h"
#include "app/format/TimeOfDay.h"
#include "app/format/Units.h"
#include "app/settings/StartupOptions.h"
#include "app/ui/Form.h"
#include "app/workbench/WorkbenchModel.h"
#include "navlib32/navlib32_records.h"

namespace pelmora {

namespace net {
class FixServerControl;
}

class TMainForm {
 public:
  TMainForm(MainFormHost& host, Engine& engine, StringTable& strings,
            dde::LinkTransport& linkTransport);

  ui::Form& Form() { return form_; }
  MainPanels& Panels() { return panels_; }
  dde::ClientLink& Link() { return link_; }
  // The tracking modes: the File menu, the pause button and the engine's state.
  TrackingModes& Modes() { return modes_; }
  HelpMenu& Help() { return help_; }
  // The main window as the DDE server's macro commands reach it (HVNExecuteMacro).
  dde::MacroActions& Macros() { return macros_; }
  // The epoch feed, which hands every epoch to the views, the GIS link and the followers.
  EpochFeed& Feed() { return feed_; }
  // The replay's speed, pacing and seeks.
  pelmora::Player& Player() { return player_; }
  // The workbench window's model, following every epoch after the start position.
  workbench::WorkbenchModel& Workbench() { return workbench_; }

  // Start-up; false when the program must end (the resource library is missing).
  bool FormCreate();
  void FormClose();
  // After FormCreate: the command line's replay, its speed and its first seek; a refused line
  // (nothing) is named in a box with the usage and the program stays Off.
  void StartFromCommandLine(const std::optional<ProgramArguments>& arguments);
  // What follows the fix beside the window, wired here in the feed's order after the views and
  // the GIS link: the DDE server's items, then the fix server. Either may be null (no fix server:
  // its menu entry does nothing). Set before FormCreate, which starts the fix server when
  // FixServer is stored as 1; FormClose closes its clients.
  void SetFollowers(EpochConsumer* ddeItems, net::FixServerControl* fixServer);
  // Runs the handler of a menu, accelerator or button command id; false for an unknown id.
  bool Command(int commandId);
  void Timer1_Timer() { pollCycle_.Timer1_Timer(); }

  // State, read by tests and by the later layers.
  const StartupOptions& Options() const { return options_; }
  const UnitSuffixes& Suffixes() const { return suffixes_; }
  // The record the last update step showed.
  const FixRecord& Fix() const { return feed_.Shown().fix; }

 private:
  // The dialogs are created here, shown modally and freed when they close; their OK writes the
  // options the poll cycle reads at its next tick.
  void OptionsGPSSettings_Click();
  void OptionsPreferences_Click();

  MainFormHost& host_;
  Engine& engine_;
  StringTable& strings_;
  ui::Form form_;
  StartupOptions options_;
  UnitSuffixes suffixes_;
  LongTimeFormat timeFormat_;
  FixText fixText_;
  MainPanels panels_;
  MainLinkUi linkUi_;
  dde::ClientLink link_;
  EpochFeed feed_;
  TrackingModes modes_;
  pelmora::Player player_;
  MainMacroActions macros_;
  PollCycle pollCycle_;
  HelpMenu help_;
  FixServerMenu fixServer_;
  ExportMenu export_;
  StartPositionMemory startPosition_{form_};
  workbench::WorkbenchModel workbench_;
};

}  // namespace pelmora
