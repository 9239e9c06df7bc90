#include "app/dde/MacroHandler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/dde/RecordingMacroActions.h"

namespace pelmora::dde {
namespace {

using namespace std::string_literals;
using Log = std::vector<std::string>;

TEST(MacroHandler, MatchMacro_WholeLineWordsAnyCaseAndPlayByItsFirstFourCharacters) {
  const struct {
    const char* line;
    MacroCommand command;
  } cases[] = {
      {"OFF", MacroCommand::Off},         {"off", MacroCommand::Off},
      {"oFf", MacroCommand::Off},         {"OFF ", MacroCommand::None},
      {" OFF", MacroCommand::None},       {"OF", MacroCommand::None},
      {"LIVE", MacroCommand::Live},       {"Live", MacroCommand::Live},
      {"PAUSE", MacroCommand::Pause},     {"pause", MacroCommand::Pause},
      {"FORWARD", MacroCommand::Forward}, {"Forward", MacroCommand::Forward},
      {"EXIT", MacroCommand::Exit},       {"exit", MacroCommand::Exit},
      {"EXIT\t", MacroCommand::None},     {"PLAY", MacroCommand::Play},
      {"play x", MacroCommand::Play},     {"PLAYED", MacroCommand::Play},
      {"PLA", MacroCommand::None},        {" PLAY x", MacroCommand::None},
      {"", MacroCommand::None},           {"LIVE!", MacroCommand::None},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MatchMacro(c.line), c.command) << '"' << c.line << '"';
}

TEST(MacroHandler, PlaySource_SkipsTheFifthCharacterWhateverItIsAndCutsNothing) {
  EXPECT_EQ(PlaySource("PLAY C:\\Logs\\Track1.gps"), "C:\\Logs\\Track1.gps");
  EXPECT_EQ(PlaySource("PLAYX:\\t.gps"), ":\\t.gps");
  EXPECT_EQ(PlaySource("play COM2"), "COM2");
  EXPECT_EQ(PlaySource("PLAY"), "");
  EXPECT_EQ(PlaySource("PLAY "), "");
  const std::string path(300, 'p');
  EXPECT_EQ(PlaySource("PLAY " + path), path) << "a cut name would name another file";
}

TEST(MacroHandler, HVNExecuteMacro_CarriesOutTheFirstLineOnly) {
  const struct {
    std::string text;
    int32_t openStatus;
    Log log;
  } cases[] = {
      {"", 0, {}},
      {"\r\nOFF", 0, {"Label "}},
      {"off", 0, {"Label off", "FileOff"}},
      {"OFF ", 0, {"Label OFF "}},
      {"OFF\r\nLIVE", 0, {"Label OFF", "FileOff"}},
      {"LIVE", 0, {"Label LIVE", "FileLive"}},
      {"PLAY C:\\t.gps", 0, {"Label PLAY C:\\t.gps", "Open C:\\t.gps", "Send PLAYING", "Running"}},
      {"PLAY C:\\t.gps", 15, {"Label PLAY C:\\t.gps", "Open C:\\t.gps"}},
      {"PLAY COM2", 0, {"Label PLAY COM2", "Open COM2", "Send PLAYING", "Running"}},
      {"PAUSE", 0, {"Label PAUSE", "Down", "Paused", "Send PAUSE (echo)"}},
      {"forward", 0, {"Label forward", "Up", "Running", "Send FORWARD (echo)"}},
      {"EXIT", 0, {"Label EXIT", "Exit"}},
      {"nonsense", 0, {"Label nonsense"}},
      {"EXIT\0OFF"s, 0, {"Label EXIT", "Exit"}},
  };
  for (const auto& c : cases) {
    RecordingMacroActions actions;
    actions.openStatus = c.openStatus;
    HVNExecuteMacro(c.text, actions);
    EXPECT_EQ(actions.log, c.log) << testing::PrintToString(c.text);
    EXPECT_FALSE(actions.echo) << "the macro-echo flag is left clear";
  }
}

}  // namespace
}  // namespace pelmora::dde
