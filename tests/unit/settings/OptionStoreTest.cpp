#include <gtest/gtest.h>

#include <string>

#include "app/settings/OptionStore.h"
#include "tests/unit/settings/FakeOptionBackend.h"

namespace pelmora {
namespace {

using test::FakeOptionBackend;

class OptionStoreTest : public ::testing::Test {
 protected:
  FakeOptionBackend backend_;
  OptionStore store_{backend_, "Pelmora"};
};

TEST_F(OptionStoreTest, ReadOptionText_ReturnsStoredTextWithTheStoreApp) {
  backend_.values[{"Pelmora", "GPSNMEASettingsFile"}] = "C:\\gps\\setup.nsf";
  EXPECT_EQ(store_.ReadOptionText("GPSNMEASettingsFile", "x"), "C:\\gps\\setup.nsf");
  ASSERT_EQ(backend_.reads.size(), 1u);
  EXPECT_EQ(backend_.reads[0].first, "Pelmora");
  EXPECT_EQ(backend_.reads[0].second, "GPSNMEASettingsFile");
  EXPECT_EQ(backend_.lastReadSize, 255u);
}

TEST_F(OptionStoreTest, ReadOptionText_GivesDefaultOnAnyFailureCode) {
  backend_.values[{"Pelmora", "Key"}] = "stored";
  for (uint32_t code : {2u, 5u, 234u, 0x20000001u, 0u, 0xFFFFFFFFu}) {
    backend_.failAllWith = code;
    EXPECT_EQ(store_.ReadOptionText("Key", "dflt"), "dflt") << code;
    EXPECT_EQ(store_.ReadOptionInt("Key", -7), -7) << code;
  }
}

TEST_F(OptionStoreTest, ReadsGiveDefaultForMissingEmptyAndTooLongValues) {
  backend_.values[{"Pelmora", "Empty"}] = "";
  backend_.values[{"Pelmora", "Long"}] = std::string(255, '1');
  backend_.values[{"Pelmora", "Fits"}] = std::string(254, 'a');
  EXPECT_EQ(store_.ReadOptionText("Missing", "d"), "d");
  EXPECT_EQ(store_.ReadOptionText("Empty", "d"), "d");
  EXPECT_EQ(store_.ReadOptionInt("Empty", 4800), 4800);
  EXPECT_EQ(store_.ReadOptionText("Long", "d"), "d");
  EXPECT_EQ(store_.ReadOptionText("Fits", "d"), std::string(254, 'a'));
}

TEST_F(OptionStoreTest, ReadOptionInt_ConvertsEvenInvalidStoredText) {
  backend_.values[{"Pelmora", "BaudRate"}] = " 9600";
  EXPECT_EQ(store_.ReadOptionInt("BaudRate", 4800), 9600);
  backend_.values[{"Pelmora", "BaudRate"}] = "96OO";
  EXPECT_EQ(store_.ReadOptionInt("BaudRate", 4800), 96);
  backend_.values[{"Pelmora", "BaudRate"}] = "abc";
  EXPECT_EQ(store_.ReadOptionInt("BaudRate", 4800), 0);
}

// A back end that fills the whole buffer it is given and claims success.
class UnterminatedBackend : public OptionBackend {
 public:
  uint32_t GetHVNAppOption(const char*, const char*, char* buf, uint32_t size) override {
    for (uint32_t i = 0; i < size; ++i)
      buf[i] = '7';
    return kRegSuccess;
  }
  uint32_t SetHVNAppOption(const char*, const char*, const char*) override { return kRegSuccess; }
};

TEST(OptionStoreUnterminated, ReadStopsAtTheBufferEnd) {
  UnterminatedBackend backend;
  OptionStore store(backend, "Pelmora");
  EXPECT_EQ(store.ReadOptionText("K", ""), std::string(255, '7'));
  EXPECT_EQ(store.ReadOptionInt("K", 0), 777777777);
}

TEST_F(OptionStoreTest, WriteOption_StoresTextAndIgnoresFailure) {
  store_.WriteOption("BaudRate", "9600");
  EXPECT_EQ((backend_.values[{"Pelmora", "BaudRate"}]), "9600");
  backend_.failAllWith = 5;
  store_.WriteOption("BaudRate", "1200");
  EXPECT_EQ((backend_.values[{"Pelmora", "BaudRate"}]), "9600");
  EXPECT_EQ(backend_.writes.size(), 2u);
}

TEST_F(OptionStoreTest, OverlongNamesAndValuesNeverReachTheBackend) {
  const std::string longName(256, 'k');
  store_.WriteOption(longName, "1");
  store_.WriteOption("Key", std::string(256, 'v'));
  store_.WriteOption("Key", std::string(255, 'v'));
  ASSERT_EQ(backend_.writes.size(), 1u);
  EXPECT_EQ(backend_.writes[0].second.size(), 255u);
  EXPECT_EQ(store_.ReadOptionText(longName, "d"), "d");
  EXPECT_EQ(store_.ReadOptionInt(longName, 3), 3);
  EXPECT_TRUE(backend_.reads.empty());
}

TEST(OptionStoreApp, EmptyAppNameIsPassedThrough) {
  FakeOptionBackend backend;
  backend.values[{"", "latest_version"}] = "u";
  OptionStore store(backend, "");
  EXPECT_EQ(store.ReadOptionText("latest_version", ""), "u");
}

}  // namespace
}  // namespace pelmora
