#include "app/format/FormatFixed.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace pelmora {
namespace {

struct FixedCase {
  double value;
  int width;
  int decimals;
  const char* text;
};

TEST(FormatFixedTest, RoundsHalvesAwayFromZeroAndPadsOnTheLeft) {
  const double inf = std::numeric_limits<double>::infinity();
  const FixedCase cases[] = {
      {2.5, 3, 1, "2.5"},
      {20, 3, 1, "20.0"},
      {5, 6, 1, "   5.0"},
      {-5, 6, 1, "  -5.0"},
      {0.125, 0, 2, "0.13"},
      {-0.125, 0, 2, "-0.13"},
      {-12.3456, 0, 2, "-12.35"},
      {45.5, 0, 12, "45.500000000000"},
      {-71.25, 0, 12, "-71.250000000000"},
      {10 * 3.280839895, 0, 6, "32.808399"},
      {3.6, 0, 2, "3.60"},
      {43200, 0, 2, "43200.00"},
      {9.96, 0, 1, "10.0"},      // carry into a new integer digit
      {999.95, 0, 1, "1000.0"},  // 999.950000000000045 at 18 digits
      {0.04, 0, 1, "0.0"},
      {-0.04, 0, 1, "0.0"},  // rounds to zero: no sign
      {0.0004, 0, 2, "0.00"},
      {7.5, 0, 0, "8"},
      {-7.5, 0, 0, "-8"},
      {2.675, 0, 2, "2.67"},  // the double below 2.675 is what is rounded
      {1e20, 0, 2, "100000000000000000000.00"},
      {123.456, 0, -3, "123"},  // negative decimals count as none
      {std::nan(""), 5, 1, "  NAN"},
      {inf, 0, 1, "INF"},
      {-inf, 0, 1, "-INF"},
  };
  for (const FixedCase& c : cases) {
    EXPECT_EQ(FormatFixed(c.value, c.width, c.decimals), c.text)
        << c.value << " width " << c.width << " decimals " << c.decimals;
  }
}

TEST(FormatFixedTest, DecimalPointIsAFullStopWhateverTheLocale) {
  const char* commaLocales[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252",
                                "de-DE"};
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  const char* found = nullptr;
  for (const char* name : commaLocales) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr) {
      found = name;
      break;
    }
  }
  if (found == nullptr) GTEST_SKIP() << "no locale with a decimal comma on this system";
  const std::string text = FormatFixed(-12.3456, 0, 2);
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(text, "-12.35") << "under " << found;
}

}  // namespace
}  // namespace pelmora
