// The DDEML glue of the DDE server in a test host: this process serves "ddetest" with the
// program's DdeSession on its main thread, a fake main window behind the macro handler, and
// ddecmd as the client. Connect rules, item lookups and values, pokes and advise loops, the
// execute forms.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/dde/DdeSession_win.h"
#include "tests/unit/dde/RecordingMacroActions.h"
#include "tests/win/dde/DdeTestSupport_win.h"

namespace pelmora::dde {
namespace {

using test::Ddecmd;
using test::PumpUntil;
using test::Tool;
using Log = std::vector<std::string>;
using namespace std::chrono_literals;

constexpr char kService[] = "ddetest";
constexpr wchar_t kCaption[] = L"Glue Test Window";

class DdeServerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    UINT error = 0;
    session_ = DdeSession::Start(kService, &error).release();
    ASSERT_NE(session_, nullptr) << std::hex << error;
    session_->Server().SetMacroActions(&window_);
    window_hwnd_ = CreateWindowExW(0, L"STATIC", kCaption, WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100,
                                   50, nullptr, nullptr, nullptr, nullptr);
  }
  static void TearDownTestSuite() {
    DestroyWindow(window_hwnd_);
    delete session_;
    session_ = nullptr;
  }
  void SetUp() override { window_.log.clear(); }

  static DdeSession* session_;
  static RecordingMacroActions window_;
  static HWND window_hwnd_;
};

DdeSession* DdeServerTest::session_ = nullptr;
RecordingMacroActions DdeServerTest::window_;
HWND DdeServerTest::window_hwnd_ = nullptr;

TEST_F(DdeServerTest, ConnectAcceptsTheServiceAnyCaseWithHvnOrACaptionTopic) {
  const struct {
    const char* service;
    const char* topic;
    DWORD exit;
  } cases[] = {
      {"ddetest", "HVN", 0},    {"ddetest", "hvn", 0},
      {"DDETEST", "Hvn", 0},    {"*", "HVN", 0},
      {"ddetest", "System", 3}, {"ddetest", "*", 3},
      {"other", "HVN", 3},      {"ddetest", "glue test window", 0},
      {"ddetest", "HVN ", 3},
  };
  for (const auto& c : cases) {
    const auto r = Ddecmd({c.service, c.topic});
    EXPECT_EQ(r.exit, c.exit) << c.service << "|" << c.topic << "\n" << r.out;
  }
  EXPECT_TRUE(PumpUntil([] { return session_->Server().Model().Conversations().empty(); }));
}

TEST_F(DdeServerTest, ACaptionConversationIsServedNothing) {
  const std::string topic = "Glue Test Window";
  EXPECT_EQ(Ddecmd({kService, topic, "request", "Latitude"}).exit, 4u);
  EXPECT_EQ(Ddecmd({kService, topic, "advise", "Latitude", "0"}).exit, 4u);
  EXPECT_EQ(Ddecmd({kService, topic, "poke", "Speed", "1"}).exit, 4u);
  EXPECT_EQ(Ddecmd({kService, topic, "execute", "OFF"}).exit, 4u);
  EXPECT_TRUE(window_.log.empty());
}

TEST_F(DdeServerTest, ItemsAreCaseSensitiveTextOnlyAndStartAsOneNul) {
  auto r = Ddecmd({kService, "HVN", "request", "Latitude", "request", "Depth"});
  EXPECT_EQ(r.exit, 0u) << r.out;
  EXPECT_EQ(r.out, "\\0\n\\0\n");
  // Item names travel as global atoms, which keep the case of whoever made them first: the
  // names below are used by no other test, so their atoms do not exist yet.
  ASSERT_EQ(GlobalFindAtomA("GHeight"), 0);
  ASSERT_EQ(GlobalFindAtomA("EHeight"), 0);
  EXPECT_EQ(Ddecmd({kService, "HVN", "request", "gheight"}).exit, 4u);
  EXPECT_EQ(Ddecmd({kService, "HVN", "advise", "EHEIGHT", "0"}).exit, 4u);
  EXPECT_EQ(Ddecmd({kService, "HVN", "poke", "eHeight", "1"}).exit, 4u);
  EXPECT_EQ(Ddecmd({kService, "HVN", "request", "Altitude"}).exit, 4u);
  EXPECT_EQ(Ddecmd({"--format", "13", kService, "HVN", "request", "Latitude"}).exit, 4u);
  EXPECT_EQ(Ddecmd({"--format", "13", kService, "HVN", "poke", "Speed", "1"}).exit, 4u);
}

TEST_F(DdeServerTest, APokeIsRequestedBackAndReachesHotAndWarmAdviseLoops) {
  Tool hot("ddecmd.exe", {kService, "HVN", "advise", "Speed", "3"});
  Tool warm("ddecmd.exe", {kService, "HVN", "warm", "Speed", "3"});
  ASSERT_TRUE(PumpUntil([] { return session_->Server().Model().AdviseLinkCount() == 2; }));
  const auto poked = Ddecmd({kService, "HVN", "poke", "Speed", "12.5", "request", "Speed"});
  EXPECT_EQ(poked.exit, 0u);
  EXPECT_EQ(poked.out, "12.5\\r\\n\\0\n");
  EXPECT_EQ(hot.Wait(), 0u);
  EXPECT_EQ(warm.Wait(), 0u);
  EXPECT_EQ(hot.Output(), "12.5\\r\\n\\0\r\n");
  EXPECT_EQ(warm.Output(), "(changed)\r\n");
  // The poked text in lines, served with CR LF each; data without a NUL ends at its size.
  const auto r = Ddecmd({"--escapes", "--raw", kService, "HVN", "poke", "Heading", "a\\rb\\nc",
                         "request", "Heading"});
  EXPECT_EQ(r.out, "a\\r\\nb\\r\\nc\\r\\n\\0\n");
}

TEST_F(DdeServerTest, TheLiveFixFillsEveryItemAndServesTheAdviseLoops) {
  Tool hot("ddecmd.exe", {kService, "HVN", "advise", "Latitude", "3"});
  ASSERT_TRUE(PumpUntil([] { return session_->Server().Model().AdviseLinkCount() == 1; }));
  FixQuantities fix;
  fix.latitudeDegrees = 45.5;
  fix.pdop = 2.5;
  session_->Server().PublishFix(fix);
  const auto r = Ddecmd({kService, "HVN", "request", "Latitude", "request", "PDOP"});
  EXPECT_EQ(r.out, "45.500000000000\\r\\n\\0\n2.50\\r\\n\\0\n");
  EXPECT_EQ(hot.Wait(), 0u);
  EXPECT_EQ(hot.Output(), "45.500000000000\\r\\n\\0\r\n");
}

TEST_F(DdeServerTest, ExecutesGoToTheMacroHandlerAndAreAcknowledgedWhateverTheyHold) {
  const struct {
    std::vector<std::string> args;
    Log log;
  } cases[] = {
      {{"execute", "off"}, {"Label off", "FileOff"}},
      {{"execute", "OFF "}, {"Label OFF "}},
      {{"--escapes", "execute", "OFF\\r\\nLIVE"}, {"Label OFF", "FileOff"}},
      {{"execute", "PLAY C:\\t.gps"},
       {"Label PLAY C:\\t.gps", "Open C:\\t.gps", "Send PLAYING", "Running"}},
      {{"execute", "PLAYX:\\t.gps"},
       {"Label PLAYX:\\t.gps", "Open :\\t.gps", "Send PLAYING", "Running"}},
      {{"execute", "PAUSE"}, {"Label PAUSE", "Down", "Paused", "Send PAUSE (echo)"}},
      {{"execute", "EXIT"}, {"Label EXIT", "Exit"}},
      {{"execute", ""}, {}},
      {{"--raw", "execute", "LIVE"}, {"Label LIVE", "FileLive"}},
  };
  for (const auto& c : cases) {
    window_.log.clear();
    std::vector<std::string> args;
    auto it = c.args.begin();
    for (; it != c.args.end() && it->rfind("--", 0) == 0; ++it)
      args.push_back(*it);
    args.insert(args.end(), {kService, "HVN"});
    args.insert(args.end(), it, c.args.end());
    const auto r = Ddecmd(args);
    EXPECT_EQ(r.exit, 0u) << c.args.back() << "\n" << r.out;
    EXPECT_EQ(window_.log, c.log) << c.args.back();
  }
}

TEST_F(DdeServerTest, A64KilobyteExecuteIsOneLabel) {
  const std::string path = test::ProgramDirectory() + "\\big-execute.txt";
  {
    std::ofstream out(path, std::ios::binary);
    out << std::string(65536, 'x') << "\r\nOFF";
  }
  const auto r = Ddecmd({kService, "HVN", "execute-file", path});
  DeleteFileA(path.c_str());
  EXPECT_EQ(r.exit, 0u) << r.out;
  ASSERT_EQ(window_.log.size(), 1u);
  EXPECT_EQ(window_.log[0], std::string("Label ").append(65536, 'x'));
}

}  // namespace
}  // namespace pelmora::dde
