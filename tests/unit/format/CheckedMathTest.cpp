#include "app/format/CheckedMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace pelmora {
namespace {

TEST(CheckedMathTest, TruncationGivesNothingForNonFiniteOrOutOfRangeValues) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double value;
    std::optional<int32_t> result;
  } cases[] = {
      {2.9, 2},
      {-2.9, -2},
      {-0.5, 0},
      {2147483647.9, 2147483647},
      {-2147483648.9, -2147483647 - 1},
      {2147483648.0, std::nullopt},
      {-2147483649.0, std::nullopt},
      {1e300, std::nullopt},
      {inf, std::nullopt},
      {-inf, std::nullopt},
      {std::nan(""), std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TruncToInt32(c.value), c.result) << c.value;
}

TEST(CheckedMathTest, RemainderGivesNothingForADivisorOfZero) {
  const int32_t min = std::numeric_limits<int32_t>::min();
  const struct {
    int32_t dividend, divisor;
    std::optional<int32_t> result;
  } cases[] = {
      {3598, 7, 0},         {3599, 7, 1},         {-7, 2, -1},  {7, -2, 1},
      {5, 0, std::nullopt}, {0, 0, std::nullopt}, {min, -1, 0}, {min, 1, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CheckedRemainder(c.dividend, c.divisor), c.result) << c.dividend << " " << c.divisor;
}

}  // namespace
}  // namespace pelmora
