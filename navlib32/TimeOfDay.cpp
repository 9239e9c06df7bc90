// Time-of-day differences across midnight.
#include "navlib32/TimeOfDay.h"

namespace navlib {

// Out of line: the rare case, which keeps DayDifference small enough to inline everywhere.
double WrapDayDifference(double d) {
  if (d > 1.5 * kSecondsPerDay || d <= -1.5 * kSecondsPerDay) d = std::fmod(d, kSecondsPerDay);
  if (d > kSecondsPerDay / 2) d -= kSecondsPerDay;
  if (d <= -kSecondsPerDay / 2) d += kSecondsPerDay;
  return d;
}

}  // namespace navlib
