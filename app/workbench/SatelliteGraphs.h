// The geometry of the Satellites tab's graphs, in numbers: where a satellite lies on the sky
// plot, where each signal bar stands, how high the signal scale goes. Portable: standard C++
// only; the painting is in SatelliteGraphs_win.
#pragma once

#include <span>
#include <vector>

#include "navlib32/navlib32_epoch.h"

namespace pelmora::workbench {

// A place on a north-up sky plot of radius 1 centred on 0: x to the east, y down (south), as
// screen coordinates run. The distance from the centre grows evenly with the zenith angle,
// from 0 overhead to 1 on the horizon; an elevation below the horizon lies on it.
struct SkyPoint {
  double x;
  double y;
};
SkyPoint ProjectSky(double elevationDeg, double azimuthDeg);

struct BarSlot {
  int left;   // pixels from the bars' left edge
  int width;  // at least 1
  int group;  // index into the group sizes
};

struct BarMetrics {
  int maxBarWidth;     // bars grow no wider
  int groupGap;        // pixels between groups, at most a quarter of the width among them all
  double gapFraction;  // of each bar's slot left empty between bars, 0..0.9
};

// One slot per bar across width pixels, groups after each other in the order of their sizes:
// equal slots that fill the width unless the bars reach their widest. Too many bars for the
// width get 1 pixel each and may run past it (the painter clips).
std::vector<BarSlot> LayoutBars(std::span<const int> groupSizes, int width, const BarMetrics& m);

// The top of the signal scale in dB-Hz: 60, or the next multiple of 10 above the strongest
// signal, at most 100.
int SignalScaleTop(std::span<const EpochSat> sats);

}  // namespace pelmora::workbench
