#include "app/ui/Cp1252.h"

#include <gtest/gtest.h>

namespace pelmora::ui {
namespace {

TEST(Cp1252, DecodesAsciiLatin1AndTheHighTable) {
  struct Case {
    std::string in;
    std::u16string out;
  } cases[] = {
      {"abc 123", u"abc 123"},
      {"0\xB0 0' 0.0\" N", u"0\u00B0 0' 0.0\" N"},
      {"\x80", u"\u20AC"},
      {"\x9F", u"\u0178"},
      {"\x92\x93\x94", u"\u2019\u201C\u201D"},
      {"\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D"},  // unassigned bytes
      {"\xE9\xFF", u"\u00E9\u00FF"},
      {"", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Cp1252ToUtf16(c.in), c.out) << c.in;
    EXPECT_EQ(Utf16ToCp1252(c.out), c.in) << c.in;
  }
}

TEST(Cp1252, EveryByteRoundTrips) {
  std::string all;
  for (int b = 1; b < 256; ++b)
    all.push_back(static_cast<char>(b));
  EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(all)), all);
}

TEST(Cp1252, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf16ToCp1252(u"a\u4E2Db\u0100"), "a?b?");
}

}  // namespace
}  // namespace pelmora::ui
