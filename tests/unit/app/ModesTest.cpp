// The tracking modes by their transition table: File menu handlers with their file dialogs, the
// pause button, failed opens, the command-line replay, and the start position stored at close.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "app/FileDialog.h"
#include "tests/unit/app/MainFormFixture.h"

namespace pelmora {
namespace {

using fakes::Log;

// What the mode table shows: the check marks, FileRecord, the pause button, lblComStatus.
struct ModeRow {
  bool off, live, simulated;
  bool recordEnabled, recordChecked;
  bool pauseShown, pauseDown;  // down counts while shown
  std::string comStatus;
  bool engineOpen;
  bool operator==(const ModeRow&) const = default;
};

std::ostream& operator<<(std::ostream& os, const ModeRow& r) {
  return os << "off " << r.off << " live " << r.live << " simulated " << r.simulated
            << " record enabled " << r.recordEnabled << " checked " << r.recordChecked
            << " pause shown " << r.pauseShown << " down " << r.pauseDown << " com '" << r.comStatus
            << "' engine " << r.engineOpen;
}

const ModeRow kOff{true, false, false, false, false, false, false, "S4", false};
const ModeRow kLive{false, true, false, true, false, false, false, "COM1", true};
const ModeRow kRecording{false, true, false, true, true, false, false, "COM1", true};
const ModeRow kSimulated{false, false, true, false, false, true, false, "track1", true};
const ModeRow kPaused{false, false, true, false, false, true, true, "track1", true};

constexpr char kTrack[] = "C:\\Logs\\Track1.gps";
constexpr char kRecordPath[] = "C:\\Logs\\rec.gps";
// The dialogs as the fake host logs them: title, filter, default extension, options.
const std::string kReplayDialog = "Open S27|GPS Log (*.gps)|*.gps|||GPS|" +
                                  std::to_string(kHideReadOnly | kPathMustExist | kFileMustExist) +
                                  "|";
const std::string kRecordDialog =
    "Save S28|GPS Log (*.gps)|*.gps|||GPS|" +
    std::to_string(kOverwritePrompt | kHideReadOnly | kPathMustExist) + "|";

class ModesTest : public fakes::MainFormFixture {
 protected:
  enum class From { Off, Live, Recording, Simulated, Paused };

  void Enter(From from) {
    engine_.openResult = 0;
    engine_.startLogResult = 0;
    Create();
    if (from == From::Live || from == From::Recording) form_.Modes().FileLive_Click();
    if (from == From::Recording) {
      host_.chosen = kRecordPath;
      form_.Modes().FileRecord_Click();
    }
    if (from == From::Simulated || from == From::Paused) {
      host_.chosen = kTrack;
      form_.Modes().FileSimulated_Click();
    }
    if (from == From::Paused) form_.Modes().SimulatePauseButtonClick();
    log_.clear();
  }
  ModeRow Observed() {
    ui::Form& f = form_.Form();
    const ui::Control& pause = C("SimulatePauseButton");
    return {f.Checked("FileOff"),
            f.Checked("FileLive"),
            f.Checked("FileSimulated"),
            f.MenuEnabled("FileRecord"),
            f.Checked("FileRecord"),
            pause.Visible(),
            pause.Visible() && pause.Down(),
            C("lblComStatus").Caption(),
            form_.Modes().EngineOpen()};
  }
};

TEST_F(ModesTest, TransitionsFollowTheModeTable) {
  struct Case {
    const char* legend;
    From from;
    std::function<void()> event;
    ModeRow to;
    Log log;
  };
  auto choose = [this](std::optional<std::string> file) { host_.chosen = std::move(file); };
  const Case cases[] = {
      {"off: F2", From::Off, [&] { form_.Modes().FileOff_Click(); }, kOff, {"Send OFF"}},
      {"live: F2",
       From::Live,
       [&] { form_.Modes().FileOff_Click(); },
       kOff,
       {"Disable", "Close", "Enable", "Send OFF"}},
      {"recording: F2 stops the log first",
       From::Recording,
       [&] { form_.Modes().FileOff_Click(); },
       kOff,
       {"StopLog", "Disable", "Close", "Enable", "Send OFF"}},
      {"paused: F2 clears the paused flag",
       From::Paused,
       [&] { form_.Modes().FileOff_Click(); },
       kOff,
       {"Disable", "Close", "Enable", "Send OFF"}},
      {"off: F3",
       From::Off,
       [&] { form_.Modes().FileLive_Click(); },
       kLive,
       {"Open 1 COM1", "Send LIVE"}},
      {"recording: F3 reopens without recording",
       From::Recording,
       [&] { form_.Modes().FileLive_Click(); },
       kLive,
       {"StopLog", "Disable", "Close", "Enable", "Open 1 COM1", "Send LIVE"}},
      {"off: F3 fails",
       From::Off,
       [&] {
         engine_.openResult = -2;
         form_.Modes().FileLive_Click();
       },
       kOff,
       {"Open 1 COM1", "Message [Information] S14"}},
      {"off: F4, a log chosen",
       From::Off,
       [&] {
         choose(kTrack);
         form_.Modes().FileSimulated_Click();
       },
       kSimulated,
       {kReplayDialog, "Open 1 C:\\Logs\\Track1.gps", "Send PLAYING"}},
      {"paused: F4 replays running",
       From::Paused,
       [&] {
         choose(kTrack);
         form_.Modes().FileSimulated_Click();
       },
       kSimulated,
       {kReplayDialog, "Disable", "Close", "Enable", "Open 1 C:\\Logs\\Track1.gps",
        "Send PLAYING"}},
      {"live: F4 cancelled changes nothing",
       From::Live,
       [&] {
         choose(std::nullopt);
         form_.Modes().FileSimulated_Click();
       },
       kLive,
       {kReplayDialog}},
      {"off: F4 fails",
       From::Off,
       [&] {
         choose(kTrack);
         engine_.openResult = -4;
         form_.Modes().FileSimulated_Click();
       },
       kOff,
       {kReplayDialog, "Open 1 C:\\Logs\\Track1.gps", "Message [Information] S15"}},
      {"live: F5, a name chosen",
       From::Live,
       [&] {
         choose(kRecordPath);
         form_.Modes().FileRecord_Click();
       },
       kRecording,
       {kRecordDialog, "StartLog C:\\Logs\\rec.gps"}},
      {"live: F5 cancelled",
       From::Live,
       [&] {
         choose(std::nullopt);
         form_.Modes().FileRecord_Click();
       },
       kLive,
       {kRecordDialog}},
      {"live: F5 refused by the engine says so",
       From::Live,
       [&] {
         choose(kRecordPath);
         engine_.startLogResult = 2;
         form_.Modes().FileRecord_Click();
       },
       kLive,
       {kRecordDialog, "StartLog C:\\Logs\\rec.gps", "Error S51"}},
      {"recording: F5 stops",
       From::Recording,
       [&] { form_.Modes().FileRecord_Click(); },
       kLive,
       {"StopLog"}},
      {"simulated: F5 is not offered",
       From::Simulated,
       [&] { form_.Modes().FileRecord_Click(); },
       kSimulated,
       {}},
      {"off: F5 is not offered", From::Off, [&] { form_.Modes().FileRecord_Click(); }, kOff, {}},
      {"simulated: pause",
       From::Simulated,
       [&] { form_.Modes().SimulatePauseButtonClick(); },
       kPaused,
       {"Send PAUSE"}},
      {"paused: resume",
       From::Paused,
       [&] { form_.Modes().SimulatePauseButtonClick(); },
       kSimulated,
       {"Send FORWARD"}},
      {"a log named like a port, refused by the engine",
       From::Off,
       [&] {
         engine_.openResult = -2;
         dde::HVNExecuteMacro("PLAY compass.gps", form_.Macros());
       },
       kOff,
       {"Open 1 compass.gps", "Message [Information] S14"}},
      {"the command line replays a log",
       From::Off,
       [&] { form_.Modes().ReplayLog(kTrack); },
       kSimulated,
       {"Open 1 C:\\Logs\\Track1.gps", "Send PLAYING"}},
      {"the command line names a missing log",
       From::Off,
       [&] {
         engine_.openResult = -4;
         form_.Modes().ReplayLog("C:\\Logs\\missing.gps");
       },
       kOff,
       {"Open 1 C:\\Logs\\missing.gps", "Message [Information] S15"}},
  };
  LinkUp();
  for (const Case& c : cases) {
    Enter(c.from);
    c.event();
    EXPECT_EQ(Observed(), c.to) << c.legend;
    EXPECT_EQ(log_, c.log) << c.legend;
    EXPECT_EQ(form_.Modes().Paused(), c.to == kPaused) << c.legend;
  }
}

TEST_F(ModesTest, CommonDialogFilterSeparatesWithNulsAndEndsWithTwo) {
  using namespace std::string_literals;
  const std::pair<std::string, std::string> cases[] = {
      {"GPS Log (*.gps)|*.gps||", "GPS Log (*.gps)\0*.gps\0\0"s},
      {"A|*.a|B|*.b", "A\0*.a\0B\0*.b\0\0"s},
      {"", "\0\0"s},
  };
  for (const auto& [filter, expected] : cases)
    EXPECT_EQ(CommonDialogFilter(filter), expected) << filter;
}

TEST_F(ModesTest, ClosingStoresThePositionTheCycleReadOnlyWhenLive) {
  struct Case {
    const char* legend;
    From from;
    bool tick;
    const char* stored;  // nullptr: nothing stored
  } cases[] = {
      {"live after a fix", From::Live, true, "StoreStartPosition -33.87 151.21"},
      {"recording after a fix", From::Recording, true, "StoreStartPosition -33.87 151.21"},
      {"live before any fix: the stored position stays", From::Live, false, nullptr},
      {"simulated after a fix", From::Simulated, true, nullptr},
      {"off", From::Off, false, nullptr},
  };
  for (const Case& c : cases) {
    engine_.info = FixRecord{};
    engine_.info.validFlags = kValidPosition;
    engine_.info.latitude = -33.87;
    engine_.info.longitude = 151.21;
    Enter(c.from);
    if (c.tick) TickAt(0, 2);
    log_.clear();
    form_.FormClose();
    const bool stored = c.stored != nullptr && Logged(c.stored);
    EXPECT_EQ(stored, c.stored != nullptr) << c.legend;
    EXPECT_EQ(std::count_if(log_.begin(), log_.end(),
                            [](const std::string& e) { return e.rfind("StoreStart", 0) == 0; }),
              c.stored != nullptr ? 1 : 0)
        << c.legend;
    if (c.from == From::Recording) {
      EXPECT_LT(std::find(log_.begin(), log_.end(), "StopLog"),
                std::find(log_.begin(), log_.end(), "Close"))
          << "the log is stopped before the engine closes";
    }
  }
}

}  // namespace
}  // namespace pelmora
