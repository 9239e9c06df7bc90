// The Satellites tab's graphs painted with GDI: signal bars grouped by system and a north-up
// sky plot with trails, each a free function of the device context, the area, the DPI scale
// (1.0 at 96 DPI) and its data, so the page's graph controls and a benchmark paint the same.
// Colours and symbols come from kConstellations.
#pragma once

#include <windows.h>

#include <span>

#include "app/workbench/Constellations.h"
#include "app/workbench/SkyTrails.h"

namespace pelmora::workbench {

// One bar per satellite in the order given (ShownSatellites), its number below it, the groups'
// symbols and names below those, a dB-Hz scale at the left. Used satellites' bars are filled
// in their system's colour, the others pale with an outline.
void PaintSignalBars(HDC dc, const RECT& area, double scale, std::span<const EpochSat> sats);

// Horizon and elevation rings at 30 and 60 degrees, the compass points, each track of trails
// whose system the filter shows, ending at the satellite's place now, and a symbol with the
// system letter and number per satellite of sats (filled when used).
void PaintSkyPlot(HDC dc, const RECT& area, double scale, std::span<const EpochSat> sats,
                  const SkyTrails& trails, ConstellationFilter filter);

// A system's symbol, filled, in the middle of area: the filter's legend.
void PaintConstellationKey(HDC dc, const RECT& area, double scale, int index);

}  // namespace pelmora::workbench
