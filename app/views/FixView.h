// The fix as text: the status strip (status light, receiver status, fix mode, port) and the
// information view (position, elevation, speed, heading, time), idle and live. Portable.
#pragma once

#include "app/views/ViewContext.h"
#include "navlib32/navlib32_records.h"

namespace pelmora {

class FixView {
 public:
  explicit FixView(const ViewContext& context) : c_(context) {}

  // The idle texts, zeros in grey in the units of the options, a grey light, no fix mode.
  void Reset();
  // The fix of an update step; hasFix lights the status light green (else red).
  void Show(const FixRecord& fix, bool hasFix);

 private:
  void ShowStatus(const FixRecord& fix);
  void ShowFixMode(const FixRecord& fix);
  void ShowPosition(const FixRecord& fix);
  void ShowElevation(const FixRecord& fix);
  void ShowTime(const FixRecord& fix);

  ViewContext c_;
};

}  // namespace pelmora
