// The panels and views over the controls of MainLayout.
#include "app/MainPanels.h"

#include "app/MainLayout.h"
#include "navres32/StringIds.h"

namespace pelmora {

MainPanels::MainPanels(const ViewContext& context)
    : c_(context), fix_(context), signal_(context), sky_(context) {}

void MainPanels::ResetDisplay() {
  fix_.Reset();
  signal_.Reset();
  sky_.Reset();
  c_.form.Get("SimulatePauseButton").SetVisible(false);
  c_.form.Repaint();
}

bool MainPanels::Show(FixRecord& fix, bool hasFix) {
  fix_.Show(fix, hasFix);
  if ((fix.validFlags & kValidSignal) != 0) signal_.Show(fix);
  return (fix.validFlags & kValidGeometry) == 0 || sky_.Show(fix);
}

ui::Control* MainPanels::FindSignalBar(int index) const {
  return pelmora::FindSignalBar(c_.form, index);
}
ui::Control* MainPanels::FindSignalSatLabel(int index) const {
  return pelmora::FindSignalSatLabel(c_.form, index);
}
ui::Control* MainPanels::FindConfigSatLabel(int index) const {
  return pelmora::FindConfigSatLabel(c_.form, index);
}

void MainPanels::ShowView(int view) {
  if (view < 0 || view >= kViewCount) return;
  for (int i = 0; i < kViewCount; ++i) {
    ui::Control& frame = c_.form.Get(kViewFrames[i]);
    if (i == view) {
      frame.SetVisible(true).SetBounds(
          {kViewLeft, kViewTop, frame.Bounds().width, frame.Bounds().height});
    } else {
      frame.SetVisible(false);
    }
    c_.form.SetChecked(kViewMenuItems[i], i == view);
  }
  viewIndex_ = view;
}

void MainPanels::NextView() {
  ShowView((viewIndex_ + 1) % kViewCount);
}

void MainPanels::OptionsViewButton_Click() {
  NextView();
  c_.form.Get("OptionsViewButton").SetDown(false);
}

bool MainPanels::Form_KeyDown(ui::Key key,
                              unsigned /*shift: Shift, Ctrl and Alt make no difference*/) {
  if (key != ui::Key::F12) return false;
  NextView();
  return true;
}

void MainPanels::SetGpsStatusText(int stringId) {
  c_.form.Get("lblGPSStatus").SetCaption(c_.strings.Get(stringId));
}

void MainPanels::SetPortStatusText(const std::string& text) {
  c_.form.Get("lblComStatus").SetCaption(text);
}

}  // namespace pelmora
