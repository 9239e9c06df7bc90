#include "app/format/CheckedMath.h"

#include <cmath>
#include <limits>

namespace pelmora {

std::optional<int32_t> TruncToInt32(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double t = std::trunc(value);
  // Both bounds are exact in double.
  if (t < static_cast<double>(std::numeric_limits<int32_t>::min()) ||
      t > static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::nullopt;
  return static_cast<int32_t>(t);
}

std::optional<int32_t> CheckedRemainder(int32_t dividend, int32_t divisor) {
  if (divisor == 0) return std::nullopt;
  if (divisor == -1) return 0;  // also for INT32_MIN, where % itself would overflow
  return dividend % divisor;
}

}  // namespace pelmora
