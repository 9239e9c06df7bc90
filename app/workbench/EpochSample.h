// One epoch as the workbench's statistics and history see it, read from the engine's Epoch.
// Portable: standard C++ only.
#pragma once

#include <cstdint>

#include "app/workbench/Geodesy.h"
#include "navlib32/navlib32_epoch.h"

namespace pelmora::workbench {

struct EpochSample {
  double time = 0.0;  // seconds (EpochClock); NaN when the epoch has no valid time
  bool hasFix = false;
  Geodetic position;  // with hasFix
  // 0 none, 2 or 3 (DGPS fixes count by their dimension); 2 for a fix whose mode is not given.
  int fixDimension = 0;
  int fixMode = -1;   // the record's fix mode 0..5, -1 when not given
  double pdop = 0.0;  // 0 when not given
  int satsUsed = 0;
  int satsInView = 0;
  double meanSignalUsed = 0.0;  // dB-Hz over used satellites with a signal; NaN when none
  uint64_t sequence = 0;
  int64_t logOffset = -1;
};

// Turns the receiver's time of day into seconds that run on across midnights: a step back of
// more than twelve hours is the next day, a step forward of more than twelve hours the day before.
class EpochClock {
 public:
  double Time(const pelmora::FixRecord& fix);
  void Reset() { *this = {}; }

 private:
  bool started_ = false;
  double last_ = 0.0;
  double day_ = 0.0;
};

// The sample of an epoch at time (EpochClock). The height is the ellipsoidal one, else the
// height above mean sea level when only that is given, else 0.
EpochSample SampleOf(const pelmora::Epoch& epoch, double time);

}  // namespace pelmora::workbench
