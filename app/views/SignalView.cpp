// The signal strength view.
#include "app/views/SignalView.h"

#include <algorithm>
#include <string>

#include "app/MainLayout.h"
#include "navres32/StringIds.h"

namespace pelmora {
namespace {

// Signal levels are shown in 0..99; a bar of level s is s + 15 high on the baseline.
constexpr int16_t kMaxSnr = 99;

}  // namespace

void SignalView::Reset() {
  for (int i = 0; i < kMaxSats; ++i) {
    if (ui::Control* bar = FindSignalBar(c_.form, i)) {
      bar->SetBackColor(ui::colors::kIdleGrey)
          .SetHeight(kBarIdleHeight)
          .SetTop(kBarBaseline - kBarIdleHeight);
    }
    if (ui::Control* label = FindSignalSatLabel(c_.form, i)) label->SetCaption("0");
  }
  c_.form.Get("lblSatSignalStatus").SetCaption(c_.strings.Get(IDS_NoSignalView));
}

void SignalView::Show(FixRecord& fix) {
  for (int i = 0; i < kMaxSats; ++i) {
    SatInfo& sat = fix.sats[i];
    sat.snr = std::clamp<int16_t>(sat.snr, 0, kMaxSnr);  // written back into the record
    ui::Control* bar = FindSignalBar(c_.form, i);
    if (bar == nullptr) continue;
    bar->SetBackColor(sat.used == 1 ? ui::colors::kLime : ui::colors::kGrey)
        .SetHeight(sat.snr + kBarIdleHeight)
        .SetTop(kBarBaseline - kBarIdleHeight - sat.snr);
    ui::Control* label = FindSignalSatLabel(c_.form, i);
    if (sat.snr != 0) {
      bar->SetCaption(std::to_string(sat.snr));
      if (label != nullptr) label->SetCaption(std::to_string(sat.prn)).SetVisible(true);
    } else if (label != nullptr) {
      label->SetVisible(false);  // the bar keeps its caption
    }
  }
  c_.form.Get("lblSatSignalStatus")
      .SetCaption(c_.strings.Get(IDS_SignalStatusPrefix) + " " + c_.form.Get("lblTime").Caption());
  c_.form.Repaint();
}

}  // namespace pelmora
