// The display operations over the controls of MainLayout.
#include "app/MainPanels.h"

#include "app/MainLayout.h"
#include "navlib32/navlib32_records.h"
#include "navres32/StringIds.h"

namespace pelmora {
namespace {

constexpr char kDegree = '\xB0';  // degree sign in Windows-1252

}  // namespace

MainPanels::MainPanels(ui::Form& form, const StringTable& strings, const DisplayOptions& options,
                       const UnitSuffixes& suffixes)
    : form_(form), strings_(strings), options_(options), suffixes_(suffixes) {}

void MainPanels::ResetDisplay() {
  const ui::Color grey = ui::colors::kIdleGrey;
  // Status strip: the idle texts, a grey light, no fix mode.
  SetGpsStatusText(IDS_IdleGpsStatus);
  form_.Get("GPSStatusLight").SetBackColor(grey);
  SetPortStatusText(strings_.Get(IDS_IdlePortStatus));
  form_.Get("lblMode").SetCaption("");
  // The fix as zeros in grey, with the units of the options: 0° 0' 0.0" N and E.
  const std::string zeroPosition = std::string("0") + kDegree + " 0' 0.0\" ";
  form_.Get("lblLatitude").SetTextColor(grey).SetCaption(zeroPosition + "N");
  form_.Get("lblLongitude").SetTextColor(grey).SetCaption(zeroPosition + "E");
  form_.Get("lblAltitude")
      .SetTextColor(grey)
      .SetCaption("0.00" + UnitSuffixes::At(suffixes_.elevation, options_.elevUnits));
  form_.Get("lblSpeed")
      .SetTextColor(grey)
      .SetCaption("0.0" + UnitSuffixes::At(suffixes_.speed, options_.speedUnits));
  form_.Get("lblHeading")
      .SetTextColor(grey)
      .SetCaption(std::string("0.0") + kDegree +
                  UnitSuffixes::At(suffixes_.heading, options_.trackTrue));
  form_.Get("lblTime").SetTextColor(grey).SetCaption(
      "00:00:00 am" + UnitSuffixes::At(suffixes_.time, options_.timeUtc));
  // Satellites: idle grey bars (captions stay), zero under each bar, nothing in the sky plot.
  for (int i = 0; i < kMaxSats; ++i) {
    if (ui::Control* bar = FindSignalBar(i)) {
      bar->SetBackColor(grey).SetHeight(kBarIdleHeight).SetTop(kBarBaseline - kBarIdleHeight);
    }
    if (ui::Control* label = FindSignalSatLabel(i)) label->SetCaption("0");
    if (ui::Control* label = FindConfigSatLabel(i)) label->SetVisible(false);
  }
  // The views' status lines, an empty PDOP, no gauge and no pause button.
  form_.Get("lblSatSignalStatus").SetCaption(strings_.Get(IDS_NoSignalView));
  form_.Get("lblSatConfigStatus").SetCaption(strings_.Get(IDS_NoConfigView));
  form_.Get("lblPDOP").SetCaption("");
  ShowPdopBar(0);
  form_.Get("SimulatePauseButton").SetVisible(false);
  form_.Repaint();
}

void MainPanels::ShowPdopBar(int level) {
  ui::Control& bad = form_.Get("FloodBarBadPanel");
  ui::Control& good = form_.Get("FloodBarGoodPanel");
  if (level <= 0) {
    bad.SetVisible(false);
    good.SetVisible(false);
    return;
  }
  const ui::Control& gauge = form_.Get("FloodBarPanel");
  const int inner = gauge.Bounds().height - 2 * gauge.BevelWidth();
  // A division by the level, not a proportion of it: the gauge's long-standing reading.
  const int red = inner / level;
  const int green = inner - red;
  const int top = gauge.BevelWidth();
  bad.SetVisible(true).SetTop(top).SetHeight(red);
  good.SetVisible(true).SetTop(top + red).SetHeight(green);
}

ui::Control* MainPanels::FindSignalBar(int index) const {
  return form_.FindIndexed("SignalBarIndeX", index);
}
ui::Control* MainPanels::FindSignalSatLabel(int index) const {
  return form_.FindIndexed("SignalSatIndeX", index);
}
ui::Control* MainPanels::FindConfigSatLabel(int index) const {
  return form_.FindIndexed("ConfigSatIndeX", index);
}

void MainPanels::ShowView(int view) {
  if (view < 0 || view >= kViewCount) return;
  for (int i = 0; i < kViewCount; ++i) {
    ui::Control& frame = form_.Get(kViewFrames[i]);
    if (i == view) {
      frame.SetVisible(true).SetBounds(
          {kViewLeft, kViewTop, frame.Bounds().width, frame.Bounds().height});
    } else {
      frame.SetVisible(false);
    }
    form_.SetChecked(kViewMenuItems[i], i == view);
  }
  viewIndex_ = view;
}

void MainPanels::NextView() {
  ShowView((viewIndex_ + 1) % kViewCount);
}

void MainPanels::SetGpsStatusText(int stringId) {
  form_.Get("lblGPSStatus").SetCaption(strings_.Get(stringId));
}

void MainPanels::SetPortStatusText(const std::string& text) {
  form_.Get("lblComStatus").SetCaption(text);
}

}  // namespace pelmora
