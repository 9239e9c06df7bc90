#include <gtest/gtest.h>

#include "app/settings/AppDirectory.h"

namespace pelmora {
namespace {

TEST(ExtractDirectory, CutsAtTheLastBackslash) {
  EXPECT_EQ(ExtractDirectory("C:\\Program Files\\Halvorn\\pelmora.exe"),
            "C:\\Program Files\\Halvorn");
  EXPECT_EQ(ExtractDirectory("C:\\pelmora.exe"), "C:");
  EXPECT_EQ(ExtractDirectory("C:\\dir\\"), "C:\\dir");
  EXPECT_EQ(ExtractDirectory("\\\\server\\share\\a.exe"), "\\\\server\\share");
  EXPECT_EQ(ExtractDirectory("\\a.exe"), "");
}

TEST(ExtractDirectory, EmptyWithoutBackslash) {
  EXPECT_EQ(ExtractDirectory("pelmora.exe"), "");
  EXPECT_EQ(ExtractDirectory(""), "");
  EXPECT_EQ(ExtractDirectory("C:/unix/style/path.exe"), "");
}

}  // namespace
}  // namespace pelmora
