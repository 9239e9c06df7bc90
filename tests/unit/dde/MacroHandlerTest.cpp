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

TEST(MacroHandler, PlayerMacrosParseTheirArgumentsStrictly) {
  const struct {
    const char* text;
    MacroCommand command;
    const char* action;  // logged after the label; "" none
  } cases[] = {
      {"SPEED 4", MacroCommand::Speed, "Speed 4"},
      {"speed max", MacroCommand::Speed, "Speed MAX"},
      {"SPEED 3", MacroCommand::Speed, ""},
      {"SPEED  4", MacroCommand::Speed, ""},
      {"SPEED", MacroCommand::None, ""},
      {"SPEED ", MacroCommand::None, ""},
      {"SPEED4", MacroCommand::None, ""},
      {"SEEK 12:34:56", MacroCommand::Seek, "Seek 0 45296.000000 0"},
      {"seek 00:00:01.25", MacroCommand::Seek, "Seek 0 1.250000 0"},
      {"SEEK 2024-02-29 23:59:59.5", MacroCommand::Seek, "Seek 0 86399.500000 20240229"},
      {"SEEK 2023-02-29 10:00:00", MacroCommand::Seek, ""},
      {"SEEK 24:00:00", MacroCommand::Seek, ""},
      {"SEEK 1:00:00", MacroCommand::Seek, ""},
      {"SEEK 12:00:00.", MacroCommand::Seek, ""},
      {"SEEK 12:00:00.1234567", MacroCommand::Seek, ""},
      {"SEEK 12:00:00 ", MacroCommand::Seek, ""},
      {"SEEK start", MacroCommand::Seek, "Seek 1 0.000000 0"},
      {"SEEK END", MacroCommand::Seek, "Seek 2 0.000000 0"},
      {"SEEK", MacroCommand::None, ""},
      {"STEP", MacroCommand::Step, "Step"},
      {"back", MacroCommand::Back, "Back"},
      {"STEP ", MacroCommand::None, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchMacro(c.text), c.command) << c.text;
    RecordingMacroActions actions;
    HVNExecuteMacro(c.text, actions);
    Log expected = {"Label "s + c.text};
    if (*c.action != '\0') expected.push_back(c.action);
    EXPECT_EQ(actions.log, expected) << c.text;
  }
}

}  // namespace
}  // namespace pelmora::dde
