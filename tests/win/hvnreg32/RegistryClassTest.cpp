// CRegistry as hvnreg32.dll exports it (no static library holds the class, so these calls go
// into the DLL): a round trip, and the held-key lifecycle, where each operation replaces the key
// it holds and destruction closes it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "hvnreg32/RegistryRules.h"
#include "hvnreg32/Registry_win.h"
#include "tests/win/hvnreg32/RegistryTestSupport_win.h"

namespace hvnreg32 {
namespace {

using test::DeleteTree;
using test::UniqueName;

bool HandleIsOpen(HKEY key) {
  return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

class RegistryClassTest : public ::testing::Test {
 protected:
  void SetUp() override { app_ = UniqueName("PelmoraClassTest"); }
  void TearDown() override {
    DeleteTree(HKEY_CURRENT_USER, std::string(kCompanyRoot) + app_);
    DeleteTree(HKEY_LOCAL_MACHINE, std::string(kCompanyRoot) + app_);
  }
  std::string app_;
};

TEST_F(RegistryClassTest, AnOptionWrittenThroughTheClassReadsBack) {
  CRegistry registry;
  char buf[16] = "stale";
  EXPECT_EQ(registry.GetHVNAppOption(app_.c_str(), "Beep", buf, sizeof buf), kFileNotFound);
  EXPECT_EQ(registry.SetHVNAppOption(app_.c_str(), "Beep", "1"), kSuccess);
  EXPECT_EQ(registry.GetHVNAppOption(app_.c_str(), "Beep", buf, sizeof buf), kSuccess);
  EXPECT_STREQ(buf, "1");
  EXPECT_TRUE(test::KeyExists(HKEY_CURRENT_USER, std::string(kCompanyRoot) + app_));
}

TEST_F(RegistryClassTest, HoldsTheLastOpenedKeyUntilTheNextOperation) {
  // The first use of HKEY_CLASSES_ROOT opens a handle of its own; make it before the test's keys
  // so that it cannot take over the number of the handle checked below.
  test::KeyExists(HKEY_CLASSES_ROOT, ".txt");
  CRegistry registry;
  EXPECT_EQ(registry.HeldKey(), nullptr);
  char buf[32];
  registry.GetHVNAppOption(app_.c_str(), "Missing", buf, sizeof buf);
  const HKEY first = registry.HeldKey();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(HandleIsOpen(first));  // kept open after a failed value read

  EXPECT_EQ(registry.ClassesRootKeyExists(UniqueName("PelmoraNoSuchClass").c_str()), 0);
  EXPECT_EQ(registry.HeldKey(), nullptr);
  EXPECT_FALSE(HandleIsOpen(first));
}

TEST_F(RegistryClassTest, DestructionClosesTheHeldKey) {
  HKEY held = nullptr;
  {
    CRegistry registry;
    EXPECT_EQ(registry.SetHVNAppOption(app_.c_str(), "K", "v"), kSuccess);
    held = registry.HeldKey();
    ASSERT_NE(held, nullptr);
    EXPECT_TRUE(HandleIsOpen(held));
  }
  EXPECT_FALSE(HandleIsOpen(held));
}

TEST_F(RegistryClassTest, FailedPathBuildReleasesThePreviousKey) {
  CRegistry registry;
  EXPECT_EQ(registry.SetHVNAppOption(app_.c_str(), "K", "v"), kSuccess);
  const HKEY held = registry.HeldKey();
  const std::string longApp(300, 'a');
  char buf[8];
  EXPECT_EQ(registry.GetHVNAppOption(longApp.c_str(), "K", buf, sizeof buf), kPathTooLong);
  EXPECT_EQ(registry.HeldKey(), nullptr);
  EXPECT_FALSE(HandleIsOpen(held));
}

TEST_F(RegistryClassTest, SecondDatPathOverloadReadsThePerApplicationMachineKey) {
  CRegistry registry;
  char buf[64] = "stale";
  EXPECT_EQ(registry.GetDorvaneDatPath(app_.c_str(), buf, sizeof buf), ERROR_FILE_NOT_FOUND);
  EXPECT_STREQ(buf, "");
  HKEY key = nullptr;
  const std::string path = std::string(kCompanyRoot) + app_;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  const char data[] = "D:\\Dorvane\\data";
  ASSERT_EQ(RegSetValueExA(key, "DataBasePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                           sizeof data),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(registry.GetDorvaneDatPath(app_.c_str(), buf, sizeof buf), kSuccess);
  EXPECT_STREQ(buf, data);
}

}  // namespace
}  // namespace hvnreg32
