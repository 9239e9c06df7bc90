// The command line: its switches parsed strictly, and the start they give the main window.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "navres32/StringIds.h"
#include "tests/unit/app/MainFormFixture.h"

namespace pelmora {
namespace {

TEST(CommandLine, SwitchesBeforeTheLogAndNothingElse) {
  const struct {
    std::vector<std::string> args;
    const char* speed;  // "" none
    double seek;        // -1 none
    const char* log;
  } cases[] = {
      {{}, "", -1, ""},
      {{"C:\\t.gps"}, "", -1, "C:\\t.gps"},
      {{"/speed:4", "t.gps"}, "4", -1, "t.gps"},
      {{"/SPEED:max", "/seek:10:00:01.5", "t.gps"}, "MAX", 36001.5, "t.gps"},
      {{"/seek:2024-01-02 00:00:02", "t.gps", "extra"}, "", 2, "t.gps"},
      {{"/speed:4"}, "4", -1, ""},
      {{"/tmp/t.gps"}, "", -1, "/tmp/t.gps"},
  };
  for (const auto& c : cases) {
    const std::string legend = testing::PrintToString(c.args);
    const std::optional<ProgramArguments> parsed = ParseProgramArguments(c.args);
    ASSERT_TRUE(parsed.has_value()) << legend;
    EXPECT_EQ(parsed->speed ? std::string(ReplaySpeedText(*parsed->speed)) : "", c.speed) << legend;
    EXPECT_EQ(parsed->seek ? parsed->seek->utcSeconds : -1, c.seek) << legend;
    EXPECT_EQ(parsed->log, c.log) << legend;
  }
  const std::vector<std::string> refused[] = {
      {"t.gps", "/speed:4"},       {"/speed:3", "t.gps"},
      {"/speed", "t.gps"},         {"/speed:4", "/speed:4", "t.gps"},
      {"/seek:25:00:00", "t.gps"}, {"/seek:10:00:00"},
      {"/fast", "t.gps"},          {"/x:1", "t.gps"},
  };
  for (const auto& args : refused)
    EXPECT_FALSE(ParseProgramArguments(args)) << testing::PrintToString(args);
}

class CommandLineStart : public fakes::MainFormFixture {};

TEST_F(CommandLineStart, ARefusedLineShowsTheUsageAndStaysOffAGoodOneReplaysFromItsTime) {
  engine_.times = {36000, 36001, 36002, 36003};
  Create();
  form_.StartFromCommandLine(std::nullopt);
  EXPECT_FALSE(form_.Modes().EngineOpen());
  EXPECT_TRUE(form_.Form().Checked("FileOff"));
  EXPECT_TRUE(Logged("Message [Information] " + strings_.Get(IDS_CommandLineUsage))) << log_.back();

  form_.StartFromCommandLine(ParseProgramArguments({"/speed:2", "/seek:10:00:02", "C:\\t.gps"}));
  EXPECT_TRUE(Logged("Open 1 C:\\t.gps"));
  EXPECT_EQ(form_.Player().Speed(), ReplaySpeed::Two);
  EXPECT_EQ(engine_.at, 2);
  EXPECT_EQ(form_.Fix().utcSeconds, 36002) << "the first seek is shown";
  EXPECT_EQ(host_.store.ReadOptionText("ReplaySpeed", "none"), "none") << "for this run only";
}

}  // namespace
}  // namespace pelmora
