// The satellite configuration view: the sky plot of the record's satellites, the PDOP text and
// gauge and the view's status line, idle and live. Portable.
#pragma once

#include "app/views/ViewContext.h"
#include "navlib32/navlib32_records.h"

namespace pelmora {

class SkyView {
 public:
  explicit SkyView(const ViewContext& context) : c_(context) {}

  // No satellite shown, no PDOP, no gauge, the idle status line.
  void Reset();
  // The satellites at their places and the PDOP (clamped to 20 and written back into the
  // record). False on an arithmetic fault, which ends the update step where it happens.
  bool Show(FixRecord& fix);
  // The gauge at level 1..100 (a red part of inner height / level above the green rest);
  // 0 or less hides it.
  void ShowPdopBar(int level);

 private:
  bool ShowSatellites(const FixRecord& fix);
  bool ShowPdop(float& pdop);

  ViewContext c_;
};

}  // namespace pelmora
