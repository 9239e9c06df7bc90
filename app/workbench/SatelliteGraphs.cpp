// The satellite graphs' geometry.
#include "app/workbench/SatelliteGraphs.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pelmora::workbench {

SkyPoint ProjectSky(double elevationDeg, double azimuthDeg) {
  if (!std::isfinite(elevationDeg) || !std::isfinite(azimuthDeg)) return {0.0, 0.0};
  const double r = (90.0 - std::clamp(elevationDeg, 0.0, 90.0)) / 90.0;
  const double a = azimuthDeg * std::numbers::pi / 180.0;
  return {r * std::sin(a), -r * std::cos(a)};
}

std::vector<BarSlot> LayoutBars(std::span<const int> groupSizes, int width, const BarMetrics& m) {
  int bars = 0, groups = 0;
  for (int n : groupSizes) {
    bars += std::max(n, 0);
    groups += n > 0 ? 1 : 0;
  }
  std::vector<BarSlot> slots;
  if (bars == 0) return slots;
  width = std::max(width, 1);
  const double gapFraction = std::clamp(m.gapFraction, 0.0, 0.9);
  const int groupGap = groups > 1 ? std::clamp(m.groupGap, 0, width / 4 / (groups - 1)) : 0;
  const double widest = std::max(m.maxBarWidth, 1) / (1.0 - gapFraction);
  const double slot =
      std::clamp(static_cast<double>(width - groupGap * (groups - 1)) / bars, 1.0, widest);
  const int barWidth = std::max(1, static_cast<int>(std::lround(slot * (1.0 - gapFraction))));
  slots.reserve(bars);
  double x = 0.0;
  for (std::size_t g = 0; g < groupSizes.size(); ++g) {
    if (groupSizes[g] <= 0) continue;
    if (x > 0.0) x += groupGap;
    for (int i = 0; i < groupSizes[g]; ++i, x += slot)
      slots.push_back({static_cast<int>(std::lround(x + (slot - barWidth) / 2.0)), barWidth,
                       static_cast<int>(g)});
  }
  return slots;
}

int SignalScaleTop(std::span<const EpochSat> sats) {
  int strongest = 0;
  for (const EpochSat& s : sats)
    strongest = std::max<int>(strongest, s.snr);
  return strongest <= 60 ? 60 : std::min(100, (strongest + 9) / 10 * 10);
}

}  // namespace pelmora::workbench
