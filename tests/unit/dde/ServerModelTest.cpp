#include "app/dde/ServerModel.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/dde/DdeText.h"
#include "tests/unit/dde/RecordingMacroActions.h"

namespace pelmora::dde {
namespace {

using namespace std::string_literals;

class FakeHost : public ServerHost {
 public:
  bool IsWindowCaption(std::string_view topic) override {
    for (const std::string& caption : captions)
      if (EqualsAsciiNoCase(caption, topic)) return true;
    return false;
  }
  void PostAdvise(std::string_view item) override { advised.emplace_back(item); }
  std::vector<std::string> captions = {"The Pelmora"};
  std::vector<std::string> advised;
};

class ServerModelTest : public ::testing::Test {
 protected:
  ServerModelTest() { model_.SetMacroActions(&actions_); }
  FakeHost host_;
  RecordingMacroActions actions_;
  ServerModel model_{host_};
  static constexpr ConversationId kHvn = 0x1001;
  static constexpr ConversationId kCaption = 0x1002;
};

TEST_F(ServerModelTest, AcceptsTopic_HvnOrAnOpenWindowsCaptionInAnyCase) {
  for (const char* topic : {"HVN", "hvn", "Hvn", "The Pelmora", "THE PELMORA"})
    EXPECT_TRUE(model_.AcceptsTopic(topic)) << topic;
  for (const char* topic : {"System", "HVN ", "", "The Pelmora - Options"})
    EXPECT_FALSE(model_.AcceptsTopic(topic)) << topic;
  host_.captions.clear();
  EXPECT_FALSE(model_.AcceptsTopic("The Pelmora")) << "the window has closed";
  model_.SetMacroActions(nullptr);
  EXPECT_FALSE(model_.AcceptsTopic("HVN")) << "no HVN before the main window exists";
}

TEST_F(ServerModelTest, ItemsAreFoundByExactNameOnHvnAndByAdviseLinkInAnyCase) {
  model_.ConnectConfirm(kHvn, "hvn");
  model_.ConnectConfirm(kCaption, "the pelmora");
  EXPECT_EQ(model_.Request(kHvn, "Latitude"), "\0"s) << "an item starts empty";
  EXPECT_EQ(model_.Request(kHvn, "latitude"), std::nullopt);
  EXPECT_EQ(model_.Request(kHvn, "Altitude"), std::nullopt);
  EXPECT_FALSE(model_.AdviseStart(kHvn, "LATITUDE"));
  ASSERT_TRUE(model_.AdviseStart(kHvn, "Latitude"));
  EXPECT_EQ(model_.Request(kHvn, "latitude"), "\0"s) << "first rule: the advise link";
  model_.AdviseStop(kHvn, "LATITUDE");
  EXPECT_EQ(model_.AdviseLinkCount(), 0u);
  EXPECT_EQ(model_.Request(kHvn, "latitude"), std::nullopt);

  // A caption conversation is accepted but served nothing.
  EXPECT_EQ(model_.Request(kCaption, "Latitude"), std::nullopt);
  EXPECT_FALSE(model_.AdviseStart(kCaption, "Latitude"));
  EXPECT_FALSE(model_.Poke(kCaption, "Speed", "1"));
  EXPECT_FALSE(model_.Execute(kCaption, "OFF"));
  EXPECT_TRUE(actions_.log.empty());
  // Nor is a conversation the model never confirmed.
  EXPECT_EQ(model_.Request(0x9999, "Latitude"), std::nullopt);
  EXPECT_FALSE(model_.Execute(0x9999, "OFF"));
}

TEST_F(ServerModelTest, PokeReplacesTheLinesAndPostsAnAdviseWhenTheItemIsWatched) {
  model_.ConnectConfirm(kHvn, "HVN");
  model_.ConnectConfirm(kHvn + 7, "HVN");
  ASSERT_TRUE(model_.Poke(kHvn, "Speed", "1"));
  EXPECT_TRUE(host_.advised.empty()) << "no advise loop on Speed";
  ASSERT_TRUE(model_.AdviseStart(kHvn + 7, "Speed"));
  EXPECT_FALSE(model_.Poke(kHvn, "speed", "12.5"));
  EXPECT_TRUE(host_.advised.empty());
  ASSERT_TRUE(model_.Poke(kHvn, "Speed", "12.5"));
  EXPECT_EQ(model_.Request(kHvn, "Speed"), "12.5\r\n\0"s);
  EXPECT_EQ(host_.advised, std::vector<std::string>{"Speed"});
  ASSERT_TRUE(model_.Poke(kHvn, "Speed", "1\r\n2\0tail"s));
  EXPECT_EQ(model_.Request(kHvn, "Speed"), "1\r\n2\r\n\0"s);
  EXPECT_EQ(model_.Request(kHvn, "Heading"), "\0"s) << "other items untouched";
}

TEST_F(ServerModelTest, ExecuteOnHvnHandsTheTextToTheMacroHandlerAndIsAlwaysProcessed) {
  model_.ConnectConfirm(kHvn, "HVN");
  EXPECT_TRUE(model_.Execute(kHvn, "nonsense\r\nmore"));
  EXPECT_TRUE(model_.Execute(kHvn, ""));
  EXPECT_EQ(actions_.Labels(), std::vector<std::string>{"nonsense"});
}

TEST_F(ServerModelTest, DisconnectDropsTheRecordAndItsLinks) {
  for (ConversationId id = 1; id <= 500; ++id) {
    model_.ConnectConfirm(id, "HVN");
    for (std::string_view item : kItemNames)
      ASSERT_TRUE(model_.AdviseStart(id, item));
    ASSERT_TRUE(model_.AdviseStart(id, "Speed")) << "a repeated start keeps one link";
  }
  EXPECT_EQ(model_.AdviseLinkCount(), 500u * kItemNames.size());
  for (ConversationId id = 1; id <= 500; ++id)
    model_.Disconnect(id);
  EXPECT_TRUE(model_.Conversations().empty());
  EXPECT_EQ(model_.AdviseLinkCount(), 0u);
  model_.Disconnect(1);  // twice: nothing happens
  EXPECT_FALSE(model_.Execute(1, "OFF"));
}

TEST_F(ServerModelTest, PublishFixReplacesEveryItemWithItsQuantityAndPostsTheWatchedOnes) {
  model_.ConnectConfirm(kHvn, "HVN");
  ASSERT_TRUE(model_.Poke(kHvn, "Speed", "12.5"));
  for (std::string_view item : kItemNames)
    ASSERT_TRUE(model_.AdviseStart(kHvn, item));
  host_.advised.clear();
  FixQuantities fix;
  fix.latitudeDegrees = 45.5;
  fix.longitudeDegrees = -71.25;
  fix.geoidHeight = 100;
  fix.ellipsoidHeight = 70;
  fix.speed = 3.6;
  fix.trueHeadingDegrees = 90;
  fix.pdop = 2.5;
  fix.timeOfDaySeconds = 43200;
  fix.depth = 0;
  model_.PublishFix(fix);
  const std::pair<const char*, std::string> expected[] = {
      {"Latitude", "45.500000000000"},
      {"Longitude", "-71.250000000000"},
      {"GHeight", "100.000000"},
      {"EHeight", "70.000000"},
      {"Speed", "3.60"},
      {"Heading", "90.00"},
      {"Time", "43200.00"},
      {"PDOP", "2.50"},
      {"Depth", "0.000000"},
  };
  for (const auto& [item, text] : expected)
    EXPECT_EQ(model_.Request(kHvn, item), text + "\r\n\0"s);
  EXPECT_EQ(std::set<std::string>(host_.advised.begin(), host_.advised.end()),
            std::set<std::string>(kItemNames.begin(), kItemNames.end()));
  EXPECT_EQ(host_.advised.size(), kItemNames.size());
  model_.Disconnect(kHvn);
  host_.advised.clear();
  model_.PublishFix(fix);
  EXPECT_TRUE(host_.advised.empty());
}

}  // namespace
}  // namespace pelmora::dde
