// The main window's panels and views: the status strip with the information view (FixView), the
// signal strength view and the sky plot with the PDOP gauge, which of the three views is shown
// (the view menu items, the view button and F12 switch it), and the idle display of all of them.
// Portable.
#pragma once

#include <string>

#include "app/ui/Form.h"
#include "app/views/FixView.h"
#include "app/views/SignalView.h"
#include "app/views/SkyView.h"
#include "app/views/ViewContext.h"
#include "navlib32/navlib32_records.h"

namespace pelmora {

class MainPanels {
 public:
  explicit MainPanels(const ViewContext& context);

  // Every panel back to its idle look (texts, grey values, idle bars, hidden satellites and
  // gauge, no pause button), then one immediate repaint. The shown view stays.
  void ResetDisplay();
  // The fix of an update step in every view: the texts, the signal bars when the signals are
  // valid, the sky plot and PDOP when the geometry is. Writes the display clamps back into fix;
  // false on an arithmetic fault, which ends the step where it happens.
  bool Show(FixRecord& fix, bool hasFix);
  void ShowPdopBar(int level) { sky_.ShowPdopBar(level); }
  // The controls of satellite slot index (0..11); none for any other index.
  ui::Control* FindSignalBar(int index) const;
  ui::Control* FindSignalSatLabel(int index) const;
  ui::Control* FindConfigSatLabel(int index) const;

  // Shows view 0..2 (other values change nothing) and checks its menu item.
  void ShowView(int view);
  void NextView();
  int ViewIndex() const { return viewIndex_; }
  // The view button: the next view; the button never stays down.
  void OptionsViewButton_Click();
  // True when the key was handled: F12, whatever the modifiers (ui::ShiftState bits).
  bool Form_KeyDown(ui::Key key, unsigned shift = ui::kShiftNone);

  // lblGPSStatus shows the resource string stringId.
  void SetGpsStatusText(int stringId);
  // lblComStatus shows text.
  void SetPortStatusText(const std::string& text);

 private:
  ViewContext c_;
  FixView fix_;
  SignalView signal_;
  SkyView sky_;
  int viewIndex_ = 0;
};

}  // namespace pelmora
