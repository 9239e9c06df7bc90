#include "app/dde/DdeText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelmora::dde {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

TEST(DdeText, SplitLines_BreaksAtCrLfOrCrLfAndStopsAtTheFirstNul) {
  const struct {
    std::string text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"\0OFF"s, {}},
      {"OFF", {"OFF"}},
      {"OFF\r\nLIVE", {"OFF", "LIVE"}},
      {"OFF\r\n", {"OFF"}},
      {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
      {"a\n\rb", {"a", "", "b"}},  // LF CR is two breaks
      {"a\r\r\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {"12.5\0\r\nignored"s, {"12.5"}},
      {" PLAY x ", {" PLAY x "}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitLines(c.text), c.lines) << testing::PrintToString(c.text);
    std::string first;
    EXPECT_EQ(FirstLine(c.text, &first), !c.lines.empty());
    if (!c.lines.empty()) {
      EXPECT_EQ(first, c.lines.front());
    }
  }
}

TEST(DdeText, SplitLines_TakesDataWithoutNulToItsEnd) {
  const std::string big(65536, 'x');
  const Lines lines = SplitLines(big);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].size(), big.size());
}

TEST(DdeText, EncodeItemValue_EndsEveryLineWithCrLfAndCountsOneNul) {
  EXPECT_EQ(EncodeItemValue({}), "\0"s);
  EXPECT_EQ(EncodeItemValue({"abc"}), "abc\r\n\0"s);
  EXPECT_EQ(EncodeItemValue({"abc"}).size(), 6u);
  EXPECT_EQ(EncodeItemValue({"", "x"}), "\r\nx\r\n\0"s);
  // What a poke stores is served back with the same lines.
  EXPECT_EQ(EncodeItemValue(SplitLines("1\r2\n3")), "1\r\n2\r\n3\r\n\0"s);
}

TEST(DdeText, EqualsAsciiNoCase_FoldsOnlyTheAsciiLetters) {
  EXPECT_TRUE(EqualsAsciiNoCase("hVn", "HVN"));
  EXPECT_TRUE(EqualsAsciiNoCase("", ""));
  EXPECT_FALSE(EqualsAsciiNoCase("HVN ", "HVN"));
  EXPECT_FALSE(EqualsAsciiNoCase("@", "`"));  // 0x40 and 0x60 differ by the case bit
  EXPECT_FALSE(EqualsAsciiNoCase("[", "{"));
  EXPECT_FALSE(EqualsAsciiNoCase("\xE9", "\xC9"));  // e acute in Windows-1252
}

}  // namespace
}  // namespace pelmora::dde
