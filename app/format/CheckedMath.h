// Integer arithmetic that can fault, checked: the poll cycle gets nothing instead of undefined
// behaviour (a non-finite or out-of-range float-to-int conversion, a division by zero) and ends
// its tick quietly. Portable.
#pragma once

#include <cstdint>
#include <optional>

namespace pelmora {

// value truncated toward zero, when value is finite and the result fits int32_t.
std::optional<int32_t> TruncToInt32(double value);

// The remainder of dividend / divisor, signed like the dividend (as integer % is); nothing for
// a divisor of 0. INT32_MIN % -1, which overflows in C++, gives its true remainder 0.
std::optional<int32_t> CheckedRemainder(int32_t dividend, int32_t divisor);

}  // namespace pelmora
