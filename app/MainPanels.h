// The main window's panels and views: the idle display, the PDOP gauge, the indexed lookups of
// the satellite controls, and which of the three views is shown. Portable.
#pragma once

#include <string>

#include "app/StringTable.h"
#include "app/format/Units.h"
#include "app/settings/StartupOptions.h"
#include "app/ui/Form.h"

namespace pelmora {

class MainPanels {
 public:
  // The options and suffix lists belong to the main form and are read at every reset.
  MainPanels(ui::Form& form, const StringTable& strings, const DisplayOptions& options,
             const UnitSuffixes& suffixes);

  // Every panel back to its idle look (texts, grey values, idle bars, hidden satellites and
  // gauge, no pause button), then one immediate repaint. The shown view stays.
  void ResetDisplay();
  // The gauge at level 1..100 (a red part of inner height / level above the green rest);
  // 0 or less hides it.
  void ShowPdopBar(int level);
  // The controls of satellite slot index (0..11); none for any other index.
  ui::Control* FindSignalBar(int index) const;
  ui::Control* FindSignalSatLabel(int index) const;
  ui::Control* FindConfigSatLabel(int index) const;

  // Shows view 0..2 (other values change nothing) and checks its menu item.
  void ShowView(int view);
  void NextView();
  int ViewIndex() const { return viewIndex_; }

  // lblGPSStatus shows the resource string stringId.
  void SetGpsStatusText(int stringId);
  // lblComStatus shows text.
  void SetPortStatusText(const std::string& text);

 private:
  ui::Form& form_;
  const StringTable& strings_;
  const DisplayOptions& options_;
  const UnitSuffixes& suffixes_;
  int viewIndex_ = 0;
};

}  // namespace pelmora
