// One look per satellite system for the workbench's satellite graphs: the order, RINEX letter,
// colour and sky-plot symbol that the signal bars, the sky plot and the filter's legend
// share; and the filter of shown systems with its option value. Portable: standard C++ only.
#pragma once

#include <cstdint>
#include <vector>

#include "navlib32/navlib32_epoch.h"

namespace pelmora::workbench {

// Each system its own shape, so the sky plot reads without colour too.
enum class SkySymbol {
  Circle,
  Square,
  Diamond,
  TriangleUp,
  TriangleDown,
  Hexagon,
  Pentagon,
  Cross
};

struct Constellation {
  SatSystem system;
  char letter;   // RINEX system letter, before the number on the sky plot
  uint32_t rgb;  // 0xRRGGBB
  SkySymbol symbol;
};

// The systems the filter offers, in the window's order (that of the counts); satellites of
// other systems come last, under the extra entry, and are always shown.
constexpr int kConstellationCount = 7;
inline constexpr Constellation kConstellations[kConstellationCount + 1] = {
    {SatSystem::Gps, 'G', 0x1F77B4, SkySymbol::Circle},
    {SatSystem::Glonass, 'R', 0xD62728, SkySymbol::Square},
    {SatSystem::Galileo, 'E', 0x2CA02C, SkySymbol::Diamond},
    {SatSystem::Beidou, 'C', 0xFF7F0E, SkySymbol::TriangleUp},
    {SatSystem::Qzss, 'J', 0x9467BD, SkySymbol::TriangleDown},
    {SatSystem::Sbas, 'S', 0x7F7F7F, SkySymbol::Hexagon},
    {SatSystem::Navic, 'I', 0x17BECF, SkySymbol::Pentagon},
    {SatSystem::Other, '?', 0x404040, SkySymbol::Cross},
};

// The name of a system code as the table, the counts and the filter say it: navlib's name of
// the system, "Other" for any other code.
const char* SystemName(int system);

// The index in kConstellations of a system code; kConstellationCount for any code not listed.
int ConstellationIndex(int system);

// Which systems the bars and the sky plot show. Its option value has bit i set when
// kConstellations[i] is shown; higher bits are ignored.
class ConstellationFilter {
 public:
  static constexpr int32_t kAll = (1 << kConstellationCount) - 1;

  explicit ConstellationFilter(int32_t option = kAll)
      : mask_(static_cast<uint32_t>(option) & kAll) {}
  int32_t Option() const { return static_cast<int32_t>(mask_); }

  // By index in kConstellations; the entry for other systems is always shown.
  bool Shows(int index) const;
  bool ShowsSystem(int system) const { return Shows(ConstellationIndex(system)); }
  void Set(int index, bool shown);

 private:
  uint32_t mask_;
};

// The epoch's satellites the filter shows, grouped in the order of kConstellations, by number
// within a system.
std::vector<EpochSat> ShownSatellites(const Epoch& epoch, ConstellationFilter filter);

}  // namespace pelmora::workbench
