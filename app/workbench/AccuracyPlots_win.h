// The Accuracy tab's graphs, painted by free functions of a device context so that the page and
// a benchmark paint them alike: the east/north scatter of the kept deviations about the reference
// (equal scale, grid, metre scale, CEP50 and CEP95 circles), and the strip of the up deviation
// over the session's time. Both take one pass over the kept samples, decimated per pixel.
#pragma once

#include <windows.h>

#include "app/workbench/AccuracyStats.h"

namespace pelmora::workbench {

// scale: the DPI scale (1.0 at 96 DPI); summary: stats.Summary() as it stands.
void PaintScatter(HDC dc, const RECT& area, double scale, const AccuracyStats& stats,
                  const AccuracySummary& summary);
void PaintHeightStrip(HDC dc, const RECT& area, double scale, const AccuracyStats& stats,
                      const AccuracySummary& summary);

}  // namespace pelmora::workbench
