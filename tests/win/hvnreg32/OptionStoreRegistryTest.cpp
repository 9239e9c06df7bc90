// The program's option store over hvnreg32.dll and the real registry.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/settings/RegistryOptionBackend_win.h"
#include "app/settings/StartupOptions.h"
#include "hvnreg32/RegistryRules.h"
#include "hvnreg32/hvnreg32.h"
#include "tests/win/hvnreg32/RegistryTestSupport_win.h"

namespace pelmora {
namespace {

class OptionStoreRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { app_ = hvnreg32::test::UniqueName("PelmoraStoreTest"); }
  void TearDown() override {
    hvnreg32::test::DeleteTree(HKEY_CURRENT_USER, std::string(hvnreg32::kCompanyRoot) + app_);
  }
  RegistryOptionBackend backend_;
  std::string app_;
};

TEST_F(OptionStoreRegistryTest, WrittenOptionsAreReadBack) {
  const OptionStore store(backend_, app_);
  EXPECT_EQ(store.ReadOptionInt("BaudRate", 4800), 4800);
  store.WriteOption("BaudRate", " 9600");
  EXPECT_EQ(store.ReadOptionInt("BaudRate", 4800), 9600);
  store.WriteOption("BaudRate", "96OO");
  EXPECT_EQ(store.ReadOptionInt("BaudRate", 4800), 96);
  store.WriteOption("BaudRate", "");
  EXPECT_EQ(store.ReadOptionInt("BaudRate", 4800), 4800);
  store.WriteOption("GPSNMEASettingsFile", "C:\\gps\\a.nsf");
  EXPECT_EQ(store.ReadOptionText("GPSNMEASettingsFile", ""), "C:\\gps\\a.nsf");
}

TEST_F(OptionStoreRegistryTest, ValuesReadBackUpTo254Characters) {
  const OptionStore store(backend_, app_);
  store.WriteOption("Long", std::string(254, 'a'));
  EXPECT_EQ(store.ReadOptionText("Long", "d"), std::string(254, 'a'));
  store.WriteOption("Long", std::string(255, 'b'));  // stored, but too long for the read buffer
  EXPECT_EQ(store.ReadOptionText("Long", "d"), "d");
  store.WriteOption("Long", std::string(256, 'c'));  // not written at all
  EXPECT_EQ(store.ReadOptionText("Long", "d"), "d");
  char raw[300] = {};
  EXPECT_EQ(GetCurrentUserKey((std::string(hvnreg32::kCompanyRoot) + app_).c_str(), "Long", raw,
                              sizeof raw),
            hvnreg32::kSuccess);
  EXPECT_EQ(std::string(raw), std::string(255, 'b'));
}

TEST_F(OptionStoreRegistryTest, StartPositionSurvivesARestart) {
  const OptionStore store(backend_, app_);
  EXPECT_TRUE(StoreStartPosition(store, -33.87, 151.21));
  const OptionStore next(backend_, app_);
  const StartupOptions o = LoadStartupOptions(next, "C:\\Pelmora");
  EXPECT_EQ(o.receiverSettings.initLatitude, -33.0);
  EXPECT_EQ(o.receiverSettings.initLongitude, 151.0);
  EXPECT_EQ(o.commInfo.baudRate, 4800);
}

}  // namespace
}  // namespace pelmora
