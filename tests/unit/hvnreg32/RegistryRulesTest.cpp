#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "hvnreg32/RegistryRules.h"

namespace hvnreg32 {
namespace {

TEST(BuildKeyPath, JoinsTheParts) {
  char path[kKeyPathSize];
  ASSERT_EQ(BuildKeyPath(path, kCompanyRoot, "Pelmora"), kSuccess);
  EXPECT_STREQ(path, "Software\\Halvorn\\Pelmora");
  ASSERT_EQ(BuildKeyPath(path, kCompanyRoot, ""), kSuccess);
  EXPECT_STREQ(path, "Software\\Halvorn\\");
  ASSERT_EQ(BuildKeyPath(path, "Software\\Other"), kSuccess);
  EXPECT_STREQ(path, "Software\\Other");
}

TEST(BuildKeyPath, LongestFittingPathAndOneMore) {
  const std::size_t root = std::strlen(kCompanyRoot);
  // A guard region after the buffer shows that nothing is written past its end.
  struct {
    char path[kKeyPathSize];
    std::array<char, 64> guard;
  } block;
  block.guard.fill('G');
  const std::string fits(kKeyPathSize - 1 - root, 'a');
  ASSERT_EQ(BuildKeyPath(block.path, kCompanyRoot, fits.c_str()), kSuccess);
  EXPECT_EQ(std::strlen(block.path), kKeyPathSize - 1);
  const std::string tooLong = fits + "b";
  EXPECT_EQ(BuildKeyPath(block.path, kCompanyRoot, tooLong.c_str()), kPathTooLong);
  EXPECT_STREQ(block.path, "");
  const std::string huge(100000, 'h');
  EXPECT_EQ(BuildKeyPath(block.path, huge.c_str()), kPathTooLong);
  EXPECT_EQ(BuildKeyPath(block.path, kCompanyRoot, huge.c_str()), kPathTooLong);
  EXPECT_EQ(BuildKeyPath(block.path, std::string(kKeyPathSize, 'x').c_str()), kPathTooLong);
  for (char c : block.guard)
    EXPECT_EQ(c, 'G');
}

TEST(BuildKeyPath, NullPartIsAnInvalidParameter) {
  char path[kKeyPathSize] = "old";
  EXPECT_EQ(BuildKeyPath(path, nullptr), kInvalidParameter);
  EXPECT_STREQ(path, "");
  EXPECT_EQ(BuildKeyPath(path, kCompanyRoot, nullptr), kInvalidParameter);
}

struct ReadCase {
  const char* legend;
  std::string data;  // bytes the query wrote
  uint32_t size;     // the caller's buffer size
  uint32_t reported;
  uint32_t expected;
  const char* text;  // buffer text afterwards
};

TEST(FinishTextRead, ClassifiesAndTerminates) {
  using namespace std::string_literals;
  const ReadCase cases[] = {
      {"terminated text", "4800\0"s, 255, 5, kSuccess, "4800"},
      {"exact fit", "4800\0"s, 5, 5, kSuccess, "4800"},
      {"empty text", "\0"s, 255, 1, kFileNotFound, ""},
      {"zero bytes", ""s, 255, 0, kFileNotFound, ""},
      {"no terminator, room left", "4800"s, 255, 4, kMoreData, "4800"},
      {"no terminator, buffer full", "4800"s, 4, 4, kMoreData, "480"},
      {"dword 0x31", "1\0\0\0"s, 255, 4, kSuccess, "1"},
      {"dword 0x41424344", "DCBA"s, 255, 4, kMoreData, "DCBA"},
      {"multi-string", "a\0b\0\0"s, 255, 5, kSuccess, "a"},
      {"binary led by zero", "\0abc"s, 255, 4, kFileNotFound, ""},
      {"one-byte buffer", "x"s, 1, 1, kMoreData, ""},
      {"one-byte buffer, empty", "\0"s, 1, 1, kFileNotFound, ""},
      {"reported beyond size", "abcd"s, 4, 4000, kMoreData, "abc"},
  };
  for (const ReadCase& c : cases) {
    // Stale caller content after the written bytes must not count as part of the value.
    std::array<char, 300> block;
    block.fill('S');
    std::memcpy(block.data(), c.data.data(), c.data.size());
    EXPECT_EQ(FinishTextRead(block.data(), c.size, c.reported), c.expected) << c.legend;
    EXPECT_NE(std::memchr(block.data(), '\0', c.size), nullptr) << c.legend;
    EXPECT_STREQ(block.data(), c.text) << c.legend;
    for (std::size_t i = c.size; i < block.size(); ++i) {
      ASSERT_EQ(block[i], 'S') << c.legend << " wrote past the buffer at " << i;
    }
  }
}

TEST(ZeroWhenEmpty, WritesZeroOnlyIntoEmptyBuffersWithRoom) {
  char buf[4] = "";
  ZeroWhenEmpty(buf, sizeof buf);
  EXPECT_STREQ(buf, "0");
  char full[4] = "ab";
  ZeroWhenEmpty(full, sizeof full);
  EXPECT_STREQ(full, "ab");
  char one[2] = {'\0', 'G'};
  ZeroWhenEmpty(one, 1);
  EXPECT_EQ(one[0], '\0');
  EXPECT_EQ(one[1], 'G');
  ZeroWhenEmpty(nullptr, 10);
}

}  // namespace
}  // namespace hvnreg32
