// The satellite configuration view: sky plot and PDOP gauge.
#include "app/views/SkyView.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "app/MainLayout.h"
#include "app/format/CheckedMath.h"
#include "app/format/FormatFixed.h"
#include "navres32/StringIds.h"

namespace pelmora {
namespace {

// Sky plot: the zenith at (100, 100), the horizon 80 pixels away.
constexpr int kSkyCentre = 100;
constexpr double kSkyHorizonRadius = 80.0;
constexpr double kRadiansPerDegree = 0.017453292519943334;
constexpr int16_t kMaxAzimuth = 359;
// PDOP is shown up to 20; the gauge's level is PDOP / 20 * 100.
constexpr float kMaxPdop = 20.0f;

}  // namespace

void SkyView::Reset() {
  for (int i = 0; i < kMaxSats; ++i)
    if (ui::Control* label = FindConfigSatLabel(c_.form, i)) label->SetVisible(false);
  c_.form.Get("lblSatConfigStatus").SetCaption(c_.strings.Get(IDS_NoConfigView));
  c_.form.Get("lblPDOP").SetCaption("");
  ShowPdopBar(0);
}

bool SkyView::Show(FixRecord& fix) {
  return ShowSatellites(fix) && ShowPdop(fix.pdop);
}

bool SkyView::ShowSatellites(const FixRecord& fix) {
  for (int i = 0; i < kMaxSats; ++i) {
    ui::Control* label = FindConfigSatLabel(c_.form, i);
    if (label == nullptr) continue;
    const SatInfo& sat = fix.sats[i];
    const bool shown = sat.prn != 0;
    if (shown) {
      // North up, east right: 80 pixels from the centre at the horizon, 0 at the zenith.
      const double elevation = std::max<int16_t>(sat.elevation, 0);
      const double r = (90.0 - elevation) / 90.0 * kSkyHorizonRadius;
      const double a = std::clamp<int16_t>(sat.azimuth, 0, kMaxAzimuth) * kRadiansPerDegree;
      const std::optional<int32_t> down = TruncToInt32(r * std::cos(a));
      const std::optional<int32_t> right = TruncToInt32(r * std::sin(a));
      if (!down || !right) return false;
      const bool used = sat.used == 1;
      ui::Rect bounds = label->Bounds();
      bounds.left = kSkyCentre + *right;
      bounds.top = kSkyCentre - *down;
      label->SetCaption(std::to_string(sat.prn))
          .SetBackColor(used ? ui::colors::kLime : ui::colors::kWhite)
          .SetTextColor(used ? ui::colors::kBlack : ui::colors::kGrey)
          .SetBounds(bounds);
    }
    label->SetVisible(shown);
  }
  c_.form.Get("lblSatConfigStatus")
      .SetCaption(c_.strings.Get(IDS_ConfigStatusPrefix) + " " + c_.form.Get("lblTime").Caption());
  c_.form.Repaint();
  return true;
}

bool SkyView::ShowPdop(float& pdop) {
  ui::Control& label = c_.form.Get("lblPDOP");
  if (!(pdop > 0)) {  // zero, negative or not a number
    ShowPdopBar(0);
    label.SetCaption("");
    return true;
  }
  if (pdop > kMaxPdop) pdop = kMaxPdop;  // written back into the record
  const std::optional<int32_t> level = TruncToInt32(static_cast<double>(pdop) / kMaxPdop * 100);
  if (!level) return false;
  ShowPdopBar(*level);
  label.SetCaption(FormatFixed(pdop, 3, 1));
  return true;
}

void SkyView::ShowPdopBar(int level) {
  ui::Control& bad = c_.form.Get("FloodBarBadPanel");
  ui::Control& good = c_.form.Get("FloodBarGoodPanel");
  if (level <= 0) {
    bad.SetVisible(false);
    good.SetVisible(false);
    return;
  }
  const ui::Control& gauge = c_.form.Get("FloodBarPanel");
  const int inner = gauge.Bounds().height - 2 * gauge.BevelWidth();
  // A division by the level, not a proportion of it: the gauge's long-standing reading.
  const int red = inner / level;
  const int green = inner - red;
  const int top = gauge.BevelWidth();
  bad.SetVisible(true).SetTop(top).SetHeight(red);
  good.SetVisible(true).SetTop(top + red).SetHeight(green);
}

}  // namespace pelmora
