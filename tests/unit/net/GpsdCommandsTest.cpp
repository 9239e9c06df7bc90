// The request reader: the same commands whatever the reads' boundaries; several per read; junk
// answered per line; an overlong request stops the reader. WATCH arguments applied or refused.
#include "app/net/GpsdCommands.h"

#include <gtest/gtest.h>

namespace pelmora::net {
namespace {

// "NAME" or "NAME=arg" or "!junk", one per command.
std::vector<std::string> Read(CommandReader& reader, const std::vector<std::string>& reads) {
  std::vector<GpsdCommand> commands;
  for (const std::string& r : reads)
    reader.Feed(r, commands);
  std::vector<std::string> out;
  for (const GpsdCommand& c : commands)
    out.push_back(c.junk               ? "!" + c.argument
                  : c.argument.empty() ? c.name
                                       : c.name + "=" + c.argument);
  return out;
}

TEST(CommandReader, SplitsRequestsWhateverTheReads) {
  using V = std::vector<std::string>;
  const struct {
    std::string input;
    V expected;
  } cases[] = {
      {"?WATCH={\"enable\":true,\"json\":true};", {"WATCH={\"enable\":true,\"json\":true}"}},
      {"?WATCH={\"enable\":true,\"json\":true}\n", {"WATCH={\"enable\":true,\"json\":true}"}},
      {"?VERSION;?POLL;\r\n?DEVICES;", {"VERSION", "POLL", "DEVICES"}},
      {"?WATCH={\"device\":\"a};}\\\"b\"};", {"WATCH={\"device\":\"a};}\\\"b\"}"}},
      {"?WATCH;\n;;\n  ?POLL\n", {"WATCH", "POLL"}},
      {"hello there\n?VERSION;", {"!hello there", "VERSION"}},
      {"?VERSION x\n", {"!?VERSION x"}},
      {"?WATCH=junk\n", {"!junk"}},
      {"?WATCH=;", {"WATCH"}},
      {"?POLL", {}},  // not yet complete
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    CommandReader whole;
    EXPECT_EQ(Read(whole, {c.input}), c.expected);
    for (std::size_t cut = 1; cut < c.input.size(); ++cut) {
      CommandReader split;
      EXPECT_EQ(Read(split, {c.input.substr(0, cut), c.input.substr(cut)}), c.expected) << cut;
    }
    CommandReader bytes;
    std::vector<std::string> oneByOne;
    for (char ch : c.input)
      oneByOne.push_back(std::string(1, ch));
    EXPECT_EQ(Read(bytes, oneByOne), c.expected);
    EXPECT_FALSE(bytes.Overflowed());
  }
}

TEST(CommandReader, AnOverlongRequestOrJunkLineOverflows) {
  const std::string lengthy(CommandReader::kMaxCommandLength, 'x');
  for (const std::string& input :
       {"?WATCH={\"device\":\"" + lengthy + "\"}", lengthy + "x", "?" + lengthy + "A"}) {
    CommandReader reader;
    std::vector<GpsdCommand> out;
    reader.Feed(input, out);
    EXPECT_TRUE(reader.Overflowed()) << input.substr(0, 20);
    reader.Feed("?VERSION;", out);
    EXPECT_TRUE(out.empty());  // nothing more is read
  }
  // Many short junk lines are no overflow: each is answered.
  CommandReader reader;
  std::vector<GpsdCommand> out;
  for (int i = 0; i < 1000; ++i)
    reader.Feed("junk junk junk\n", out);
  EXPECT_FALSE(reader.Overflowed());
  EXPECT_EQ(out.size(), 1000u);
}

TEST(ApplyWatch, SetsThePolicyOrRefusesWithAReason) {
  const struct {
    const char* argument;
    bool ok, enable = false, json = false, nmea = false;
    int raw = 0;
  } cases[] = {
      {"{\"enable\":true,\"json\":true}", true, true, true, false, 0},
      {"{\"json\":true}", true, true, true, false, 0},  // enabling is implied
      {"{\"enable\":true,\"nmea\":true}", true, true, false, true, 0},
      {"{\"enable\":true,\"raw\":1}", true, true, false, false, 1},
      {" { \"class\" : \"WATCH\" , \"enable\" : false , \"scaled\":true, \"x\":null } ", true,
       false, false, false, 0},
      {"{}", true, true, false, false, 0},
      {"{\"enable\":1,\"nmea\":0,\"raw\":true}", true, true, false, false, 1},
      {"{\"enable\":\"yes\"}", false},
      {"{\"json\":2}", false},
      {"{\"raw\":3}", false},
      {"{\"json\":true", false},
      {"{\"json\":true}}", false},
      {"{\"device\":{\"a\":1}}", false},
      {"{json:true}", false},
      {"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    WatchPolicy policy;
    policy.json = false;
    const auto problem = ApplyWatch(c.argument, policy);
    EXPECT_EQ(!problem.has_value(), c.ok) << problem.value_or("");
    if (!c.ok) {
      EXPECT_FALSE(policy.enable);  // unchanged
      EXPECT_FALSE(problem->empty());
      continue;
    }
    EXPECT_EQ(policy.enable, c.enable);
    EXPECT_EQ(policy.json, c.json);
    EXPECT_EQ(policy.nmea, c.nmea);
    EXPECT_EQ(policy.raw, c.raw);
  }
  WatchPolicy policy;
  ASSERT_FALSE(ApplyWatch("{\"enable\":true,\"device\":\"COM3\"}", policy));
  EXPECT_EQ(policy.device, "COM3");
  EXPECT_TRUE(policy.enable);
  EXPECT_FALSE(policy.WantsJson());
  EXPECT_FALSE(policy.WantsNmea());
}

}  // namespace
}  // namespace pelmora::net
