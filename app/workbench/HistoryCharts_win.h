// The History tab's strip charts painted with GDI: satellites used and in view, PDOP, fix mode,
// mean signal of the used satellites and horizontal deviation stacked over one time axis, each
// with its own y scale, drawn decimated per pixel column, the outages shaded across them.
#pragma once

#include <windows.h>

#include "app/workbench/History.h"

namespace pelmora::workbench {

// Paints the last windowSeconds of the history into area at the DPI scale (1.0 at 96 DPI);
// selectedOutage (an index of history.outages(), -1 none) is shaded darker.
void PaintHistoryCharts(HDC dc, const RECT& area, double scale, const History& history,
                        int windowSeconds, int selectedOutage);

}  // namespace pelmora::workbench
