#include "app/dde/ClientLink.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace pelmora::dde {
namespace {

using Log = std::vector<std::string>;

class FakeTransport : public LinkTransport {
 public:
  explicit FakeTransport(Log& log) : log_(log) {}
  bool Connect() override {
    log_.push_back("Connect");
    const bool ok = !connects.empty() && connects.front();
    if (!connects.empty()) connects.pop_front();
    conversation = ok;
    return ok;
  }
  bool StartPeer() override {
    log_.push_back("StartPeer");
    return peerStarts;
  }
  bool Execute(const std::string& text) override {
    log_.push_back("Execute " + text);
    return executeWorks;
  }
  void Close() override {
    log_.push_back("Close");
    conversation = false;
  }
  bool HasConversation() const override { return conversation; }

  std::deque<bool> connects;  // results of the next connect attempts; false when empty
  bool peerStarts = false;
  bool executeWorks = true;
  bool conversation = false;

 private:
  Log& log_;
};

class FakeUi : public LinkUi {
 public:
  explicit FakeUi(Log& log) : log_(log) {}
  void SetConnectChecked(bool checked) override {
    this->checked = checked;
    log_.push_back(checked ? "Check" : "Uncheck");
  }
  void ShowLinkFailed() override { log_.push_back("Message 29"); }
  void ShowLinkGivenUp() override {
    log_.push_back("Message 48");
    if (whileGivingUp) whileGivingUp();
  }
  bool checked = false;
  std::function<void()> whileGivingUp;

 private:
  Log& log_;
};

class ClientLinkTest : public ::testing::Test {
 protected:
  // Up, with the log cleared.
  void Connect() {
    transport_.connects = {true};
    link_.Toggle();
    ASSERT_EQ(link_.State(), LinkState::Up);
    log_.clear();
  }
  Log log_;
  FakeTransport transport_{log_};
  FakeUi ui_{log_};
  ClientLink link_{transport_, ui_};
  FixQuantities fix_;
};

TEST_F(ClientLinkTest, Toggle_ConnectsStartingTheGisOnceWhenItDoesNotAnswer) {
  const struct {
    const char* legend;
    std::deque<bool> connects;
    bool peerStarts;
    Log log;
    LinkState state;
  } cases[] = {
      {"running", {true}, false, {"Close", "Connect", "Check"}, LinkState::Up},
      {"started",
       {false, true},
       true,
       {"Close", "Connect", "StartPeer", "Connect", "Check"},
       LinkState::Up},
      {"cannot start",
       {false, true},
       false,
       {"Close", "Connect", "StartPeer", "Close", "Uncheck", "Message 29"},
       LinkState::Down},
      {"started, no answer",
       {false, false},
       true,
       {"Close", "Connect", "StartPeer", "Connect", "Close", "Uncheck", "Message 29"},
       LinkState::Down},
  };
  for (const auto& c : cases) {
    Log log;
    FakeTransport transport(log);
    FakeUi ui(log);
    ClientLink link(transport, ui);
    transport.connects = c.connects;
    transport.peerStarts = c.peerStarts;
    link.Toggle();
    EXPECT_EQ(log, c.log) << c.legend;
    EXPECT_EQ(link.State(), c.state) << c.legend;
    EXPECT_EQ(ui.checked, c.state == LinkState::Up) << c.legend;
  }
}

TEST_F(ClientLinkTest, Toggle_WhileUpClosesWithoutACommandAndAgainReconnects) {
  Connect();
  link_.Toggle();
  EXPECT_EQ(log_, (Log{"Close", "Uncheck"}));
  EXPECT_EQ(link_.State(), LinkState::Down);
  transport_.connects = {true};
  link_.Toggle();
  EXPECT_EQ(link_.State(), LinkState::Up);
}

TEST_F(ClientLinkTest, StaleLinkKeepsItsCheckLosesCommandsAndNeedsTwoTogglesToReconnect) {
  Connect();
  transport_.conversation = false;  // the GIS ended the conversation
  EXPECT_EQ(link_.State(), LinkState::Stale);
  EXPECT_TRUE(link_.LinkOpen());
  link_.SendModeCommand("OFF");
  EXPECT_TRUE(log_.empty()) << "nothing reaches DDEML without a conversation";
  link_.Toggle();
  EXPECT_EQ(link_.State(), LinkState::Down);
  EXPECT_FALSE(ui_.checked);
  transport_.connects = {true};
  link_.Toggle();
  EXPECT_EQ(link_.State(), LinkState::Up);
}

TEST_F(ClientLinkTest, ModeCommandsGoOnlyWhileTheFlagIsSetAndFailuresAreNotCounted) {
  link_.SendModeCommand("OFF");
  EXPECT_TRUE(log_.empty());
  Connect();
  transport_.executeWorks = false;
  link_.SendModeCommand("LIVE");
  EXPECT_EQ(log_, Log{"Execute LIVE"});
  EXPECT_EQ(link_.FailedSends(), 0);
}

TEST_F(ClientLinkTest, SixteenthConsecutiveFailedUpdateShowsMessage48OnceAndGivesUp) {
  Connect();
  transport_.executeWorks = false;
  for (int i = 0; i < 15; ++i)
    link_.SendUpdate(fix_);
  EXPECT_EQ(link_.FailedSends(), 15);
  transport_.executeWorks = true;
  link_.SendUpdate(fix_);
  EXPECT_EQ(link_.FailedSends(), 0) << "a success starts the count afresh";

  transport_.executeWorks = false;
  for (int i = 0; i < 15; ++i)
    link_.SendUpdate(fix_);
  log_.clear();
  int sendsWhileOpen = 0;
  ui_.whileGivingUp = [&] {
    // Update steps falling due inside the message box's loop send nothing.
    const size_t before = log_.size();
    link_.SendUpdate(fix_);
    link_.SendUpdate(fix_);
    sendsWhileOpen = static_cast<int>(log_.size() - before);
  };
  link_.SendUpdate(fix_);
  EXPECT_EQ(sendsWhileOpen, 0);
  ASSERT_GE(log_.size(), 4u);
  EXPECT_EQ(log_[1], "Message 48");
  EXPECT_EQ((Log{log_.end() - 2, log_.end()}), (Log{"Close", "Uncheck"}));
  EXPECT_EQ(link_.State(), LinkState::Down);
  EXPECT_EQ(link_.FailedSends(), 16) << "kept until the next connect";
  log_.clear();
  link_.SendUpdate(fix_);
  EXPECT_TRUE(log_.empty());
  transport_.connects = {true};
  link_.Toggle();
  EXPECT_EQ(link_.FailedSends(), 0);
}

TEST_F(ClientLinkTest, StaleUpdatesCountTowardsGivingUp) {
  Connect();
  transport_.conversation = false;
  for (int i = 0; i < 16; ++i)
    link_.SendUpdate(fix_);
  EXPECT_EQ(std::count(log_.begin(), log_.end(), "Message 48"), 1);
  EXPECT_EQ(link_.State(), LinkState::Down);
}

TEST_F(ClientLinkTest, UpdateTextIsTheComposedCommand) {
  Connect();
  fix_.latitudeDegrees = 45.5;
  link_.SendUpdate(fix_);
  EXPECT_EQ(log_, Log{"Execute " + ComposeUpdateCommand(fix_)});
}

TEST_F(ClientLinkTest, CloseEndsTheConversationWithoutACommand) {
  Connect();
  link_.Close();
  EXPECT_EQ(log_, Log{"Close"});
  EXPECT_FALSE(link_.LinkOpen());
}

}  // namespace
}  // namespace pelmora::dde
