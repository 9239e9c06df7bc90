#include <gtest/gtest.h>

#include <string>

#include "app/settings/OptionStore.h"

namespace pelmora {
namespace {

struct ConversionCase {
  const char* text;
  int32_t expected;
};

class OptionConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(OptionConversion, ConvertsText) {
  EXPECT_EQ(ConvertOptionInt(GetParam().text), GetParam().expected)
      << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Valid, OptionConversion,
    ::testing::Values(
        ConversionCase{"12", 12}, ConversionCase{"+12", 12}, ConversionCase{" 12", 12},
        ConversionCase{"   9600", 9600}, ConversionCase{"-12", -12}, ConversionCase{"0", 0},
        ConversionCase{"007", 7}, ConversionCase{"$1F", 31}, ConversionCase{"$1f", 31},
        ConversionCase{"0x1F", 31}, ConversionCase{"0X1f", 31}, ConversionCase{"x1f", 31},
        ConversionCase{"X1F", 31}, ConversionCase{"-$10", -16}, ConversionCase{"-0x10", -16},
        ConversionCase{"2147483647", 2147483647}, ConversionCase{"-2147483648", INT32_MIN},
        ConversionCase{"$7FFFFFFF", 2147483647}, ConversionCase{"$FFFFFFFF", -1},
        ConversionCase{"$80000000", INT32_MIN}));

// A text that stops being valid gives the magnitude read so far, without its sign.
INSTANTIATE_TEST_SUITE_P(StopsBeingValid, OptionConversion,
                         ::testing::Values(ConversionCase{"12ab", 12}, ConversionCase{"-3.5", 3},
                                           ConversionCase{"96OO", 96}, ConversionCase{"-12x", 12},
                                           ConversionCase{"12 ", 12}, ConversionCase{"$1FG", 31},
                                           ConversionCase{"-$1FG", 31},
                                           ConversionCase{"0x1F.", 31}));

INSTANTIATE_TEST_SUITE_P(NoDigits, OptionConversion,
                         ::testing::Values(ConversionCase{"abc", 0}, ConversionCase{"", 0},
                                           ConversionCase{"   ", 0}, ConversionCase{"-", 0},
                                           ConversionCase{"+", 0}, ConversionCase{"$", 0},
                                           ConversionCase{"0x", 0}, ConversionCase{"x", 0},
                                           ConversionCase{"- 12", 0}, ConversionCase{"\t12", 0},
                                           ConversionCase{"+-1", 0}, ConversionCase{"$$1", 0}));

// A digit that would leave the 32-bit range ends the number like any bad character.
INSTANTIATE_TEST_SUITE_P(Overflow, OptionConversion,
                         ::testing::Values(ConversionCase{"2147483648", 214748364},
                                           ConversionCase{"-2147483649", 214748364},
                                           ConversionCase{"99999999999999999999", 999999999},
                                           ConversionCase{"$100000000", 0x10000000},
                                           ConversionCase{"0xFFFFFFFFFF", -1},
                                           ConversionCase{"-2147483648x", INT32_MIN}));

TEST(OptionConversionLong, VeryLongDigitRunStopsAtTheRangeLimit) {
  EXPECT_EQ(ConvertOptionInt(std::string(10000, '7')), 777777777);
  EXPECT_EQ(ConvertOptionInt(std::string(10000, '0') + "42"), 42);
}

}  // namespace
}  // namespace pelmora
