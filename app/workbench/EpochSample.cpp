// Reading an engine epoch into a workbench sample.
#include "app/workbench/EpochSample.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pelmora::workbench {

double EpochClock::Time(const pelmora::FixRecord& fix) {
  if ((fix.validFlags & pelmora::kValidTime) == 0 || !std::isfinite(fix.utcSeconds))
    return std::numeric_limits<double>::quiet_NaN();
  const double seconds = fix.utcSeconds;
  if (started_) {
    if (seconds < last_ - 43200.0) day_ += 1.0;
    if (seconds > last_ + 43200.0) day_ -= 1.0;
  }
  started_ = true;
  last_ = seconds;
  return day_ * 86400.0 + seconds;
}

EpochSample SampleOf(const pelmora::Epoch& epoch, double time) {
  const pelmora::FixRecord& fix = epoch.fix;
  EpochSample s;
  s.time = time;
  s.sequence = epoch.sequence;
  s.logOffset = epoch.logOffset;
  s.hasFix = (epoch.flags & pelmora::kEpochHasFix) != 0;
  if ((fix.validFlags & pelmora::kValidFixMode) != 0) s.fixMode = fix.fixMode;
  if (s.hasFix) {
    s.fixDimension = (s.fixMode == 3 || s.fixMode == 5) ? 3 : 2;
    double height = 0.0;
    if ((fix.validFlags & pelmora::kValidEllipsoidHeight) != 0) {
      height = fix.ellipsoidHeight;
    } else if ((fix.validFlags & pelmora::kValidGeoidHeight) != 0) {
      height = fix.geoidHeight;
    }
    s.position = {fix.latitude, fix.longitude, height};
  }
  if ((fix.validFlags & pelmora::kValidGeometry) != 0 && fix.pdop > 0.0f) s.pdop = fix.pdop;
  double signal = 0.0;
  int signals = 0;
  const int count = epoch.satCount < 0 ? 0 : std::min<int>(epoch.satCount, pelmora::kMaxAllSats);
  for (int i = 0; i < count; ++i) {
    const pelmora::EpochSat& sat = epoch.sats[i];
    ++s.satsInView;
    if (sat.used == 0) continue;
    ++s.satsUsed;
    if (sat.snr > 0) {
      signal += sat.snr;
      ++signals;
    }
  }
  s.meanSignalUsed = signals > 0 ? signal / signals : std::numeric_limits<double>::quiet_NaN();
  return s;
}

}  // namespace pelmora::workbench
