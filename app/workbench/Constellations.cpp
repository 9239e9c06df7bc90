// The systems' table lookups and the filter.
#include "app/workbench/Constellations.h"

#include <algorithm>

#include "navlib32/GnssSystem.h"

namespace pelmora::workbench {

const char* SystemName(int system) {
  const char* name = navlib::GnssSystemName(system);
  return name != nullptr ? name : "Other";
}

int ConstellationIndex(int system) {
  for (int i = 0; i < kConstellationCount; ++i)
    if (static_cast<int>(kConstellations[i].system) == system) return i;
  return kConstellationCount;
}

bool ConstellationFilter::Shows(int index) const {
  if (index < 0 || index >= kConstellationCount) return true;
  return (mask_ >> index & 1u) != 0;
}

void ConstellationFilter::Set(int index, bool shown) {
  if (index < 0 || index >= kConstellationCount) return;
  const uint32_t bit = 1u << index;
  mask_ = shown ? mask_ | bit : mask_ & ~bit;
}

std::vector<EpochSat> ShownSatellites(const Epoch& epoch, ConstellationFilter filter) {
  const int count = std::clamp<int>(epoch.satCount, 0, kMaxAllSats);
  std::vector<EpochSat> shown;
  shown.reserve(count);
  for (int i = 0; i < count; ++i)
    if (filter.ShowsSystem(epoch.sats[i].system)) shown.push_back(epoch.sats[i]);
  std::stable_sort(shown.begin(), shown.end(), [](const EpochSat& a, const EpochSat& b) {
    const int ga = ConstellationIndex(a.system), gb = ConstellationIndex(b.system);
    return ga != gb ? ga < gb : a.svid < b.svid;
  });
  return shown;
}

}  // namespace pelmora::workbench
