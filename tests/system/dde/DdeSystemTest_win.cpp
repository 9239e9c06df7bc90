// pelmora.exe over DDE under Wine: ddecmd drives its server as another program would, gispeer
// stands in for the GIS and logs every command the client link sends. Window texts are read
// from outside (WM_GETTEXT by control id); message boxes are found and closed as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/ControlIds.h"
#include "navres32/StringIds.h"
#include "tests/system/support/WindowProbe_win.h"
#include "tests/win/dde/DdeTestSupport_win.h"

namespace pelmora {
namespace {

using systest::BoxMessage;
using systest::FindControl;
using systest::FindProcessWindow;
using systest::TextOf;
using systest::Widen;
using test::Ddecmd;
using test::ProgramDirectory;
using test::PumpUntil;
using test::Tool;
using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

std::wstring Resource(int id) {
  static HMODULE strings = LoadLibraryExA((ProgramDirectory() + "\\navres32.dll").c_str(), nullptr,
                                          LOAD_LIBRARY_AS_DATAFILE);
  char buffer[256] = {};
  const int n = LoadStringA(strings, static_cast<UINT>(id), buffer, sizeof buffer);
  return Widen(std::string(buffer, n > 0 ? n : 0));
}

// gispeer with a log of its own; the lines it has logged.
class Peer {
 public:
  Peer()
      : log_(ProgramDirectory() + "\\gispeer-" + std::to_string(GetCurrentProcessId()) + ".log") {
    DeleteFileA(log_.c_str());
    tool_ = std::make_unique<Tool>("gispeer.exe", std::vector<std::string>{"--log", log_});
    ready_ = PumpUntil([&] { return tool_->Output().find("ready") != std::string::npos; });
  }
  ~Peer() {
    Ddecmd({"MapInfo", "gispeer", "execute", "quit"});
    tool_->Wait(5s);
    DeleteFileA(log_.c_str());
  }
  bool Ready() const { return ready_; }
  Lines All() const {
    Lines lines;
    std::istringstream in(test::ReadFileText(log_));
    for (std::string line; std::getline(in, line);)
      lines.push_back(line);
    return lines;
  }
  // The lines logged since the last call; the update commands of the poll cycle only when
  // asked for.
  Lines Since(bool withUpdates = false) {
    Lines all = All();
    Lines fresh;
    for (size_t i = std::min(seen_, all.size()); i < all.size(); ++i) {
      if (withUpdates || all[i].rfind(kUpdate, 0) != 0) fresh.push_back(all[i]);
    }
    seen_ = all.size();
    return fresh;
  }
  static constexpr const char* kUpdate = "UPDATE 2,";
  // The update commands logged since the last Since().
  size_t UpdatesSince() const {
    const Lines all = All();
    size_t n = 0;
    for (size_t i = std::min(seen_, all.size()); i < all.size(); ++i)
      n += all[i].rfind(kUpdate, 0) == 0 ? 1 : 0;
    return n;
  }
  // Waits until the line has been logged since the last Since().
  bool Await(const std::string& line, std::chrono::milliseconds timeout = 10s) {
    return PumpUntil(
        [&] {
          const Lines all = All();
          for (size_t i = seen_; i < all.size(); ++i)
            if (all[i] == line) return true;
          return false;
        },
        timeout);
  }
  void Command(const std::string& command) {
    const auto r = Ddecmd({"MapInfo", "gispeer", "execute", command});
    EXPECT_EQ(r.exit, 0u) << command << "\n" << r.out;
  }

 private:
  std::string log_;
  std::unique_ptr<Tool> tool_;
  bool ready_ = false;
  size_t seen_ = 0;
};

class Pelmora {
 public:
  Pelmora() : tool_("pelmora.exe", {}) {}
  ~Pelmora() {
    if (tool_.Running()) Ddecmd({"pelmora", "HVN", "execute", "EXIT"});
    tool_.Wait(10s);
  }
  Tool& Process() { return tool_; }
  // The main window once it is shown.
  HWND AwaitWindow() {
    PumpUntil(
        [&] {
          main_ = FindProcessWindow(tool_.Pid(), L"TMainForm", L"The Pelmora");
          return main_ != nullptr && IsWindowVisible(main_);
        },
        20s);
    return main_;
  }
  HWND AwaitBox(const wchar_t* title, std::chrono::milliseconds timeout = 10s) {
    HWND box = nullptr;
    PumpUntil([&] { return (box = FindProcessWindow(tool_.Pid(), L"#32770", title)) != nullptr; },
              timeout);
    return box;
  }
  std::wstring Text(int id) const { return TextOf(FindControl(main_, id)); }
  size_t TextLength(int id) const {
    DWORD_PTR n = 0;
    SendMessageTimeoutW(FindControl(main_, id), WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &n);
    return n;
  }
  void Command(int id) { PostMessageA(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

 private:
  Tool tool_;
  HWND main_ = nullptr;
};

std::string PlayLog(int seconds = 30) {
  const std::string path = ProgramDirectory() + "\\dde-play.gps";
  Tool sim("gpssim.exe",
           {"--protocol", "nmea", "--seconds", std::to_string(seconds), "--fast", "--out", path});
  sim.Wait();
  return path;
}

// One program linked to one peer for the whole suite; the tests run in their written order.
class PelmoraDde : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    peer_ = new Peer;
    ASSERT_TRUE(peer_->Ready());
    app_ = new Pelmora;
    ASSERT_NE(app_->AwaitWindow(), nullptr) << "the main window did not show";
    ASSERT_TRUE(peer_->Await("# connect"));
    peer_->Since();
  }
  static void TearDownTestSuite() {
    delete app_;
    delete peer_;
  }
  void SetUp() override {
    if (app_ == nullptr || !app_->Process().Running()) GTEST_SKIP() << "pelmora.exe is not running";
    peer_->Since();
  }
  static test::ToolResult Execute(const std::string& text, bool escapes = false) {
    if (escapes) return Ddecmd({"--escapes", "pelmora", "HVN", "execute", text});
    return Ddecmd({"pelmora", "HVN", "execute", text});
  }

  static Peer* peer_;
  static Pelmora* app_;
};

Peer* PelmoraDde::peer_ = nullptr;
Pelmora* PelmoraDde::app_ = nullptr;

TEST_F(PelmoraDde, ConnectsByServiceAndTopicInAnyCaseAndServesTheItems) {
  const struct {
    const char* service;
    const char* topic;
    DWORD exit;
  } connects[] = {{"pelmora", "HVN", 0},
                  {"PELMORA", "hvn", 0},
                  {"pelmora", "Hvn", 0},
                  {"pelmora", "System", 3},
                  {"pelmora", "The Pelmora", 0}};
  for (const auto& c : connects)
    EXPECT_EQ(Ddecmd({c.service, c.topic}).exit, c.exit) << c.service << "|" << c.topic;
  // The caption topic is accepted and serves nothing.
  EXPECT_EQ(Ddecmd({"pelmora", "The Pelmora", "request", "Latitude"}).exit, 4u);
  EXPECT_EQ(Ddecmd({"pelmora", "The Pelmora", "execute", "OFF"}).exit, 4u);
  // In Off mode no update step has filled the items.
  EXPECT_EQ(Ddecmd({"pelmora", "HVN", "request", "Latitude"}).out, "\\0\n");
  ASSERT_EQ(GlobalFindAtomA("Depth"), 0) << "an atom would fix the letter case of the name";
  EXPECT_EQ(Ddecmd({"pelmora", "HVN", "request", "depth"}).exit, 4u);
  Tool hot("ddecmd.exe", {"pelmora", "HVN", "advise", "Speed", "3"});
  PumpUntil([&] { return false; }, 1500ms);
  const auto poked = Ddecmd({"pelmora", "HVN", "poke", "Speed", "12.5", "request", "Speed"});
  EXPECT_EQ(poked.out, "12.5\\r\\n\\0\n");
  EXPECT_EQ(hot.Wait(), 0u);
  EXPECT_EQ(hot.Output(), "12.5\\r\\n\\0\r\n");
}

TEST_F(PelmoraDde, MacroFirstLinesSwitchModesAndEachReachesThePeerOnce) {
  const std::string play = PlayLog();
  const struct {
    std::string text;  // with --escapes when it holds a line break
    std::string label;
    std::wstring comStatus;
    Lines sent;
  } cases[] = {
      {"off", "off", Resource(IDS_IdlePortStatus), {"OFF\\0"}},
      {"OFF ", "OFF ", Resource(IDS_IdlePortStatus), {}},
      {"OFF\\r\\nLIVE", "OFF", Resource(IDS_IdlePortStatus), {"OFF\\0"}},
      {"play " + play, "play " + play, L"dde-play", {"PLAYING\\0"}},
      {"PAUSE", "PAUSE", L"dde-play", {"PAUSE\\0"}},
      {"forward", "forward", L"dde-play", {"FORWARD\\0"}},
      {"OFF", "OFF", Resource(IDS_IdlePortStatus), {"OFF\\0"}},
  };
  for (const auto& c : cases) {
    const auto r = Execute(c.text, c.text.find("\\r\\n") != std::string::npos);
    EXPECT_EQ(r.exit, 0u) << c.text << "\n" << r.out;
    EXPECT_EQ(app_->Text(IDC_TestLabel), Widen(c.label));
    EXPECT_EQ(app_->Text(IDC_lblComStatus), c.comStatus) << c.text;
    test::Pump(300ms);
    EXPECT_EQ(peer_->Since(), c.sent) << c.text;
  }
  DeleteFileA(play.c_str());
}

// Replaying, every update step sends the update command and fills the items from the same
// values: paused, the items hold what the last command carried.
TEST_F(PelmoraDde, TheItemsCarryTheFixTheUpdateCommandSends) {
  const std::string play = PlayLog();
  Tool hot("ddecmd.exe", {"pelmora", "HVN", "advise", "Latitude", "8"});
  EXPECT_EQ(Execute("PLAY " + play).exit, 0u);
  ASSERT_TRUE(PumpUntil([&] { return peer_->UpdatesSince() >= 2; }, 20s));
  EXPECT_EQ(Execute("PAUSE").exit, 0u);
  test::Pump(3s);  // an update step that had begun ends
  Lines updates = peer_->Since(true);
  updates.erase(std::remove_if(updates.begin(), updates.end(),
                               [](const std::string& l) { return l.rfind(Peer::kUpdate, 0) != 0; }),
                updates.end());
  ASSERT_FALSE(updates.empty());
  // UPDATE 2,lat,lon,gheight,eheight,speed,heading,pdop,time,depth,
  std::vector<std::string> fields;
  std::istringstream in(updates.back().substr(std::string(Peer::kUpdate).size()));
  for (std::string f; std::getline(in, f, ',');)
    fields.push_back(f);
  ASSERT_EQ(fields.size(), 10u) << updates.back();  // the last is the NUL
  EXPECT_EQ(fields[9], "\\0");
  const struct {
    const char* item;
    size_t field;
  } items[] = {{"Latitude", 0}, {"Longitude", 1}, {"GHeight", 2}, {"EHeight", 3}, {"Speed", 4},
               {"Heading", 5},  {"PDOP", 6},      {"Time", 7},    {"Depth", 8}};
  for (const auto& i : items) {
    EXPECT_EQ(Ddecmd({"pelmora", "HVN", "request", i.item}).out, fields[i.field] + "\\r\\n\\0\n")
        << i.item;
  }
  EXPECT_EQ(hot.Wait(), 0u);
  // The advise loop received the item's values as they changed, the last one included.
  const std::string watched = hot.Output();
  const std::string last = fields[0] + "\\r\\n\\0\r\n";
  EXPECT_TRUE(watched.size() >= last.size() &&
              watched.compare(watched.size() - last.size(), last.size(), last) == 0)
      << watched;
  EXPECT_EQ(Execute("OFF").exit, 0u);
  peer_->Since();
  DeleteFileA(play.c_str());
}

// The player's macros on a paused replay: each seek, step and back shows its epoch in the Time
// item at once; a time not in the log changes nothing; at SPEED 4 the replay runs ahead.
TEST_F(PelmoraDde, PlayerMacrosSeekStepAndBackShowTheirEpochAtOnce) {
  const std::string play = PlayLog(120);
  // The UTC time of the log's epoch 20, from its 21st GGA.
  std::ifstream in(play, std::ios::binary);
  const std::string nmea((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t gga = 0;
  for (int i = 0; i <= 20 && gga != std::string::npos; ++i)
    gga = nmea.find("GGA,", gga + 1);
  ASSERT_NE(gga, std::string::npos);
  const std::string at20 =
      nmea.substr(gga + 4, 2) + ":" + nmea.substr(gga + 6, 2) + ":" + nmea.substr(gga + 8, 2);
  auto time = [] { return std::stod(Ddecmd({"pelmora", "HVN", "request", "Time"}).out); };
  auto since = [](double from, double to) { return std::fmod(to - from + 86400, 86400); };

  EXPECT_EQ(Execute("PLAY " + play).exit, 0u);
  EXPECT_EQ(Execute("SPEED 4").exit, 0u);
  EXPECT_EQ(Execute("PAUSE").exit, 0u);
  EXPECT_EQ(Execute("SEEK START").exit, 0u);
  const double start = time();
  const struct {
    std::string macro;
    double at;  // seconds after the first epoch
  } steps[] = {{"SEEK " + at20, 20}, {"STEP", 21}, {"BACK", 20}, {"SEEK 25:00:00", 20}};
  for (const auto& step : steps) {
    EXPECT_EQ(Execute(step.macro).exit, 0u) << step.macro;
    EXPECT_EQ(app_->Text(IDC_TestLabel), Widen(step.macro));
    EXPECT_NEAR(since(start, time()), step.at, 0.01) << step.macro;
  }
  EXPECT_EQ(Execute("FORWARD").exit, 0u);
  // One epoch per update tick would need 16 s for this; at 4 it takes about 2.
  EXPECT_TRUE(PumpUntil([&] { return since(start, time()) >= 28; }, 10s)) << time();
  EXPECT_EQ(Execute("SPEED TICK").exit, 0u);
  EXPECT_EQ(Execute("OFF").exit, 0u);
  peer_->Since();
  DeleteFileA(play.c_str());
}

// The client waits for the message, or gives up first (time-out, exit 5) and the server lives on.
TEST_F(PelmoraDde, AFailedPlayShowsItsMessageInsideTheExecuteAndSendsNothing) {
  const struct {
    const char* text;
    int message;
    const char* timeoutMs;
  } cases[] = {{"PLAYX:\\t.gps", IDS_LogOpenFailed, "30000"},
               {"PLAY COM9", IDS_PortOpenFailed, "30000"},
               {"PLAY C:\\missing.gps", IDS_LogOpenFailed, "1000"}};
  for (const auto& c : cases) {
    Tool client("ddecmd.exe", {"--timeout", c.timeoutMs, "pelmora", "HVN", "execute", c.text});
    const HWND box = app_->AwaitBox(L"Information");
    ASSERT_NE(box, nullptr) << c.text;
    EXPECT_EQ(BoxMessage(box), Resource(c.message));
    const bool waits = std::string(c.timeoutMs) != "1000";
    if (!waits) {
      EXPECT_EQ(client.Wait(), 5u) << "the client's time-out, the message still open";
    }
    EXPECT_EQ(client.Running(), waits) << c.text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    if (waits) {
      EXPECT_EQ(client.Wait(), 0u) << c.text;
    }
    EXPECT_EQ(app_->Text(IDC_TestLabel), Widen(c.text));
    EXPECT_EQ(app_->Text(IDC_lblComStatus), Resource(IDS_IdlePortStatus));
  }
  test::Pump(300ms);
  EXPECT_EQ(peer_->Since(), Lines{}) << "PLAYING is not sent";
  EXPECT_EQ(Ddecmd({"pelmora", "HVN", "request", "Latitude"}).exit, 0u) << "the server lives on";
}

TEST_F(PelmoraDde, SixtyFourKilobyteExecuteBecomesTheLabel) {
  const std::string path = ProgramDirectory() + "\\dde-big.txt";
  {
    std::ofstream out(path, std::ios::binary);
    out << std::string(65536, 'x') << "\r\nEXIT";
  }
  EXPECT_EQ(Ddecmd({"pelmora", "HVN", "execute-file", path}).exit, 0u);
  DeleteFileA(path.c_str());
  EXPECT_EQ(app_->TextLength(IDC_TestLabel), 65536u);
  EXPECT_TRUE(app_->Process().Running()) << "only the first line counts";
}

TEST_F(PelmoraDde, ConnectWithoutAnAnsweringGisShowsMessage29) {
  app_->Command(IDM_OptionsConnectServer);  // up: closes, sending nothing
  ASSERT_TRUE(peer_->Await("# disconnect"));
  peer_->Command("refuse");
  app_->Command(IDM_OptionsConnectServer);
  const HWND box = app_->AwaitBox(L"Information");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxMessage(box), Resource(IDS_LinkOpenFailed));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  peer_->Command("accept");
  peer_->Since();
  EXPECT_EQ(Execute("OFF").exit, 0u);
  test::Pump(300ms);
  EXPECT_EQ(peer_->Since(), Lines{}) << "the link is down";
  app_->Command(IDM_OptionsConnectServer);
  EXPECT_TRUE(peer_->Await("# connect"));
}

TEST_F(PelmoraDde, ExitEndsTheProgramAndItsServiceClosingTheLinkWithoutACommand) {
  EXPECT_EQ(Execute("EXIT").exit, 0u);
  EXPECT_EQ(app_->Process().Wait(10s), 0u);
  EXPECT_TRUE(peer_->Await("# disconnect"));
  EXPECT_EQ(peer_->Since(), Lines{"# disconnect"});
  EXPECT_EQ(Ddecmd({"pelmora", "HVN"}).exit, 3u);
}

// A GIS that ends the conversation, each with a program of its own: Wine's DDEML keeps a
// conversation that the server ended and refuses a new one to the same service and topic in
// that program, so a reconnect there shows message 29 where Windows connects.
class PelmoraPeerGone : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer_.Ready());
    ASSERT_NE(app_.AwaitWindow(), nullptr);
    ASSERT_TRUE(peer_.Await("# connect"));
    peer_.Since();
  }
  // The peer ends the conversation.
  void EndConversation() {
    peer_.Command("disconnect");
    ASSERT_TRUE(peer_.Await("# disconnect"));
    peer_.Since();
  }
  // A click on Connect that tries to connect: the peer logs a connect, or message 29 shows (and
  // is dismissed).
  bool ClickConnectTries() {
    app_.Command(IDM_OptionsConnectServer);
    HWND box = nullptr;
    const bool tried = PumpUntil([&] {
      box = FindProcessWindow(app_.Process().Pid(), L"#32770", L"Information");
      return box != nullptr || peer_.Await("# connect", 0ms);
    });
    if (box != nullptr) {
      EXPECT_EQ(BoxMessage(box), Resource(IDS_LinkOpenFailed));
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return tried;
  }
  static test::ToolResult Execute(const std::string& text) {
    return Ddecmd({"pelmora", "HVN", "execute", text});
  }

  Peer peer_;
  Pelmora app_;
};

TEST_F(PelmoraPeerGone, TheLinkGoesStaleAndTheFirstClickOnConnectOnlyTakesItDown) {
  EndConversation();
  EXPECT_EQ(Execute("OFF").exit, 0u);
  app_.Command(IDM_OptionsConnectServer);
  test::Pump(1s);
  EXPECT_EQ(FindProcessWindow(app_.Process().Pid(), L"#32770", L"Information"), nullptr);
  EXPECT_EQ(peer_.Since(true), Lines{}) << "a stale link sends nothing and does not reconnect";
  EXPECT_TRUE(ClickConnectTries());
}

// Replaying with a valid fix on every update step (every 2 s) while the GIS has gone: fifteen
// updates fail silently, the sixteenth shows message 48, once, and the link is then down (not
// stale: one click on Connect tries to connect).
TEST_F(PelmoraPeerGone, SixteenFailedUpdatesShowMessage48OnceAndTakeTheLinkDown) {
  const std::string play = PlayLog(90);
  EXPECT_EQ(Execute("PLAY " + play).exit, 0u);
  ASSERT_TRUE(PumpUntil([&] { return peer_.UpdatesSince() >= 1; }, 20s));
  EndConversation();
  const HWND box = app_.AwaitBox(L"Error", 60s);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxMessage(box), Resource(IDS_LinkGivenUp));
  test::Pump(5s);  // update steps that fall due while the message is open
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  test::Pump(5s);
  EXPECT_EQ(FindProcessWindow(app_.Process().Pid(), L"#32770", L"Error"), nullptr);
  EXPECT_EQ(peer_.Since(true), Lines{}) << "nothing is sent once given up";
  EXPECT_EQ(Execute("OFF").exit, 0u);
  EXPECT_TRUE(ClickConnectTries());
  DeleteFileA(play.c_str());
}

// Started while no GIS answers: message 29 before the window shows, and nothing later reaches a
// GIS that starts afterwards until Connect is clicked.
TEST(PelmoraWithoutGis, ShowsMessage29AtStartAndStaysDown) {
  Pelmora app;
  const HWND box = app.AwaitBox(L"Information");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxMessage(box), Resource(IDS_LinkOpenFailed));
  EXPECT_FALSE(IsWindowVisible(FindProcessWindow(app.Process().Pid(), L"TMainForm", nullptr)));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_NE(app.AwaitWindow(), nullptr);
  Peer peer;
  ASSERT_TRUE(peer.Ready());
  EXPECT_EQ(Ddecmd({"pelmora", "HVN", "execute", "OFF"}).exit, 0u);
  test::Pump(300ms);
  EXPECT_EQ(peer.Since(), Lines{});
}

}  // namespace
}  // namespace pelmora
