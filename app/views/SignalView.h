// The signal strength view: a bar per record slot, the satellite's number under it and the
// view's status line, idle and live. Portable.
#pragma once

#include "app/views/ViewContext.h"
#include "navlib32/navlib32_records.h"

namespace pelmora {

class SignalView {
 public:
  explicit SignalView(const ViewContext& context) : c_(context) {}

  // Idle grey bars (their captions stay), "0" under each, the idle status line.
  void Reset();
  // The slots' signals, each clamped to 0..99 and written back into the record.
  void Show(FixRecord& fix);

 private:
  ViewContext c_;
};

}  // namespace pelmora
