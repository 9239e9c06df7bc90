// The replay player on gpssim logs: a seek gives the epoch a straight replay gives there, whole,
// and the one after it next; step back walks the epochs in order across a gap and midnight;
// time searches; what the calls answer in each state; the index built in small steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "navlib32/Engine.h"
#include "navlib32/LogIndex.h"
#include "navlib32/MakeDecoder.h"
#include "navlib32/tsip/TsipWriter.h"
#include "tools/gpssim/Simulator.h"

namespace navlib {
namespace {

namespace fs = std::filesystem;
using pelmora::Epoch;

constexpr int64_t k235830 = 1710547110;  // 2024-03-15 23:58:30 UTC
constexpr int64_t k010000 = 1710550800;  // 2024-03-16 01:00:00 UTC

// gpssim runs of {start, seconds} joined into one log.
std::string Simulate(gpssim::Protocol protocol, std::vector<std::pair<int64_t, int>> runs,
                     gpssim::Faults faults = {}) {
  std::string text;
  for (const auto& [start, seconds] : runs) {
    gpssim::SimConfig c;
    c.protocol = protocol;
    c.startUnixSeconds = start;
    c.faults = faults;
    c.turnRateDegPerSec = 0.3;
    gpssim::Simulator sim(c);
    for (int k = 0; k < seconds; ++k)
      text += sim.Next().bytes;
  }
  return text;
}

std::string WithoutLines(const std::string& text, const std::vector<std::string>& tags) {
  std::istringstream in(text);
  std::string out, line;
  while (std::getline(in, line)) {
    bool drop = false;
    for (const std::string& tag : tags)
      drop = drop || line.find(tag) != std::string::npos;
    if (!drop) out += line + "\n";
  }
  return out;
}

EngineServices Services() {
  EngineServices s;
  s.makeDecoder = [](Protocol p) { return MakeDecoder(p); };
  s.checkpointBytes = 512;  // checkpoints every epoch or two, thinned out in a few minutes
  return s;
}

class Player : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = fs::temp_directory_path() /
            (std::string("navlib_player_") +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".gps");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove(path_, ec);
  }
  // Opens text as receiver type `type` and replays it to the end: every epoch (and into
  // messages_, the messages framed for each).
  std::vector<Epoch> OpenAndPlay(const std::string& text, int32_t type) {
    std::ofstream(path_, std::ios::binary) << text;
    EXPECT_EQ(engine_.Open(type, path_.string().c_str(), nullptr, nullptr), 0);
    std::vector<Epoch> epochs;
    messages_.clear();
    while (engine_.Poll() == 0) {
      engine_.GetEpoch(&epochs.emplace_back());
      messages_.push_back(TakeMessages());
    }
    return epochs;
  }
  std::string TakeMessages() {
    std::string taken(1 << 16, '\0');
    int32_t length = 0;
    int64_t dropped = 0;
    engine_.TakeMessages(reinterpret_cast<uint8_t*>(taken.data()),
                         static_cast<int32_t>(taken.size()), &length, &dropped);
    taken.resize(static_cast<std::size_t>(length));
    return taken;
  }
  Epoch Current() {
    Epoch e;
    engine_.GetEpoch(&e);
    return e;
  }
  fs::path path_;
  Engine engine_{Services()};
  std::vector<std::string> messages_;
};

bool Same(const Epoch& a, const Epoch& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST_F(Player, SeekGivesTheStraightReplaysEpochWholeAndThenTheNext) {
  // I/O options sent once, before the first fix: every later height is read by them.
  std::string mslOnce;
  tsip::TsipWriter(0x55).PutU8(0x06).PutU8(0x02).PutU8(0x00).PutU8(0x00).AppendFrame(mslOnce);
  const struct {
    const char* legend;
    gpssim::Protocol protocol;
    gpssim::Faults faults;
    std::size_t cut;  // bytes cut off the end
    std::string prefix;
  } cases[] = {
      {"nmea", gpssim::Protocol::Nmea, {}, 0, ""},
      {"tsip", gpssim::Protocol::Tsip, {}, 0, ""},
      {"nmea noisy, truncated", gpssim::Protocol::Nmea, {11, 7}, 333, ""},
      {"tsip noisy, truncated", gpssim::Protocol::Tsip, {0, 5}, 77, ""},
      {"tsip, options once", gpssim::Protocol::Tsip, {}, 0, mslOnce},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    std::string text = c.prefix + Simulate(c.protocol, {{k235830, 400}}, c.faults);
    text.resize(text.size() - c.cut);
    const int32_t type = c.protocol == gpssim::Protocol::Nmea ? 1 : 2;
    const std::vector<Epoch> straight = OpenAndPlay(text, type);
    const int64_t n = static_cast<int64_t>(straight.size());
    ASSERT_GE(n, 390);
    ASSERT_TRUE(engine_.index()->complete());
    ASSERT_EQ(engine_.index()->size(), n);
    ASSERT_GT(straight[50].satCount, 4);
    ASSERT_TRUE(straight[50].flags & pelmora::kEpochHasDate);
    for (int64_t k = n - 1; k >= 0; k -= k > 40 ? 7 : 1) {
      SCOPED_TRACE(k);
      ASSERT_EQ(engine_.SeekEpoch(k), 0);
      EXPECT_TRUE(Same(Current(), straight[k]));
      EXPECT_EQ(Current().sequence, static_cast<uint64_t>(k + 1));
      EXPECT_EQ(static_cast<int64_t>(Current().logOffset), straight[k].logOffset);
      EXPECT_EQ(TakeMessages(), messages_[k]);
      if (k + 1 < n) {
        ASSERT_EQ(engine_.Poll(), 0);
        EXPECT_TRUE(Same(Current(), straight[k + 1]));
      } else {
        EXPECT_EQ(engine_.Poll(), kNavPollEndOfLog);
      }
      if (!(straight[k].fix.validFlags & pelmora::kValidTime)) continue;
      int64_t found = -1;
      ASSERT_EQ(engine_.SeekTime(straight[k].fix.utcSeconds, 0, 0, 0, &found), 0);
      EXPECT_LE(found, k);
      EXPECT_EQ(Current().fix.utcSeconds, straight[k].fix.utcSeconds);
    }
  }
}

// Damaged TSIP (from the replay fuzzer): a decoder restarted inside the stream cuts the last
// epochs otherwise than the straight replay, so the restart cannot reach them. Every epoch is
// still reached, whole, by replaying from the start.
TEST_F(Player, SeekReachesEveryEpochWhereARestartCutsThemOtherwise) {
  const std::string hex =
      "1041487d2400092e413f0000100346105c0308000000000000487d24403d0efa3540c6d3f200020000100310"
      "5c05180101423400004824803f7d91361e408e6b3b000200001003105c0620010142140000487d24803ebba8"
      "663f3ba8660002000010031056437a00002889e21118790d0080620000487d24001003108f200030d4000100"
      "000f7352802558f9677ffffb5700014adc010000000812092b0104050607081d20000000002a2a2a2a2a2a2a"
      "2a03e700001003105c041010010142400000487d24803fa0d97c3f0200abb4f400001003105c051801014234"
      "0000486300000091361e408e6b3b000200001003104100001db9440080620000100310105c04101001014240"
      "0000487d24803fa0d97c3fb4f4ab00020000100310104100001db94400806200001003105c04101001014240"
      "0000487d24803fa0d97c3fb4f4ab00020000100314";
  std::string text;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    text.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  const std::vector<Epoch> straight = OpenAndPlay(text, 2);
  ASSERT_GE(straight.size(), 10u);
  for (std::size_t k = 0; k < straight.size(); ++k) {
    ASSERT_EQ(engine_.SeekEpoch(static_cast<int64_t>(k)), 0) << k;
    EXPECT_TRUE(Same(Current(), straight[k])) << k;
  }
}

TEST_F(Player, StepBackWalksEveryEpochAcrossGapAndMidnight) {
  const std::string dated = Simulate(gpssim::Protocol::Nmea, {{k235830, 120}, {k010000, 30}});
  for (const bool hasDates : {true, false}) {
    SCOPED_TRACE(hasDates);
    const std::vector<Epoch> straight =
        OpenAndPlay(hasDates ? dated : WithoutLines(dated, {"RMC", "ZDA"}), 1);
    ASSERT_EQ(straight.size(), 150u);
    ASSERT_EQ(engine_.SeekEnd(), 0);
    for (int k = 149; k >= 0; --k) {
      ASSERT_TRUE(Same(Current(), straight[k])) << k;
      ASSERT_EQ(engine_.StepBack(), k > 0 ? 0 : kNavSeekOutOfRange);
    }
    pelmora::PlayerState s;
    ASSERT_EQ(engine_.GetPlayerState(&s), 0);
    EXPECT_EQ(s.epochCount, 150);
    EXPECT_EQ(s.indexComplete, 1);
    EXPECT_EQ(s.currentEpoch, 0);
    EXPECT_EQ(s.firstUtcSeconds, 86310);
    EXPECT_EQ(s.lastUtcSeconds, 3629);
    EXPECT_EQ(s.spanSeconds, 3629 + 90);
    EXPECT_EQ(s.currentSeconds, 0);
    const int16_t dates[] = {s.dated,    s.firstYear, s.firstMonth, s.firstDay,
                             s.lastYear, s.lastMonth, s.lastDay};
    const std::vector<int16_t> want =
        hasDates ? std::vector<int16_t>{1, 2024, 3, 15, 2024, 3, 16} : std::vector<int16_t>(7, 0);
    EXPECT_EQ(std::vector<int16_t>(std::begin(dates), std::end(dates)), want);
  }
}

TEST_F(Player, TimeSearchFindsTheFirstEpochAtOrAfterOrChangesNothing) {
  constexpr int64_t kBad = -kNavSeekBadArgument, kNone = -kNavSeekNotFound;
  const struct {
    double utc;
    int32_t year, month, day;
    int64_t dated, undated;  // epoch found, or minus the result
  } cases[] = {
      {86310, 0, 0, 0, 0, 0},          {86399.5, 0, 0, 0, 90, 90},
      {15, 0, 0, 0, 105, 105},         {1800, 0, 0, 0, 120, 120},
      {3629, 0, 0, 0, 149, 149},       {3630, 0, 0, 0, kNone, kNone},
      {15, 2024, 3, 16, 105, kNone},   {86310, 2024, 3, 16, kNone, kNone},
      {15, 2024, 3, 15, kNone, kNone}, {-1, 0, 0, 0, kBad, kBad},
      {86400, 0, 0, 0, kBad, kBad},    {15, 2024, 13, 1, kBad, kBad},
  };
  const std::string dated = Simulate(gpssim::Protocol::Nmea, {{k235830, 120}, {k010000, 30}});
  for (const bool hasDates : {true, false}) {
    OpenAndPlay(hasDates ? dated : WithoutLines(dated, {"RMC", "ZDA"}), 1);
    for (const auto& c : cases) {
      SCOPED_TRACE(::testing::Message() << hasDates << " " << c.utc << " " << c.year);
      const Epoch before = Current();
      const int64_t want = hasDates ? c.dated : c.undated;
      int64_t found = -1;
      const int32_t result = engine_.SeekTime(c.utc, c.year, c.month, c.day, &found);
      EXPECT_EQ(want < 0 ? -result : found, want);
      EXPECT_EQ(Current().sequence,
                result == 0 ? static_cast<uint64_t>(want + 1) : before.sequence);
      EXPECT_TRUE(result == 0 || Same(Current(), before));
    }
  }
}

// With the index built by a worker, a seek right after the open waits for the part it needs.
TEST_F(Player, SeeksRightAfterTheOpenWaitForABackgroundIndex) {
  EngineServices services = Services();
  services.indexInBackground = true;
  Engine engine(services);
  const std::string text = Simulate(gpssim::Protocol::Nmea, {{k235830, 120}, {k010000, 30}});
  std::ofstream(path_, std::ios::binary) << text;
  for (const int round : {0, 1}) {
    SCOPED_TRACE(round);
    ASSERT_EQ(engine.Open(1, path_.string().c_str(), nullptr, nullptr), 0);
    int64_t found = -1;
    ASSERT_EQ(engine.SeekTime(15, 2024, 3, 16, &found), 0);
    EXPECT_EQ(found, 105);
    ASSERT_EQ(engine.SeekEnd(), 0);
    Epoch e;
    engine.GetEpoch(&e);
    EXPECT_EQ(e.sequence, 150u);
    EXPECT_EQ(engine.StepBack(), 0);
  }
}

TEST_F(Player, ResultsTellWhyNothingChanged) {
  pelmora::PlayerState s;
  EXPECT_EQ(engine_.SeekEpoch(0), kNavSeekNotReplaying);
  EXPECT_EQ(engine_.SeekTime(10, 0, 0, 0, nullptr), kNavSeekNotReplaying);
  EXPECT_EQ(engine_.SeekEnd(), kNavSeekNotReplaying);
  EXPECT_EQ(engine_.StepBack(), kNavSeekNotReplaying);
  EXPECT_EQ(engine_.GetPlayerState(&s), kNavSeekNotReplaying);
  EXPECT_EQ(s.currentEpoch, -1);
  EXPECT_EQ(engine_.GetPlayerState(nullptr), kNavSeekBadArgument);
  std::ofstream(path_, std::ios::binary) << Simulate(gpssim::Protocol::Nmea, {{k235830, 20}});
  ASSERT_EQ(engine_.Open(1, path_.string().c_str(), nullptr, nullptr), 0);
  // Nothing is indexed before the first poll.
  EXPECT_EQ(engine_.SeekStart(), kNavSeekNotIndexed);
  EXPECT_EQ(engine_.SeekEnd(), kNavSeekNotIndexed);
  EXPECT_EQ(engine_.SeekTime(86310, 0, 0, 0, nullptr), kNavSeekNotIndexed);
  EXPECT_EQ(engine_.StepBack(), kNavSeekOutOfRange);
  ASSERT_EQ(engine_.Poll(), 0);
  EXPECT_EQ(engine_.StepBack(), kNavSeekOutOfRange);
  EXPECT_EQ(engine_.SeekEpoch(20), kNavSeekOutOfRange);
  EXPECT_EQ(engine_.SeekEpoch(-1), kNavSeekOutOfRange);
  EXPECT_EQ(Current().sequence, 1u);
  EXPECT_EQ(engine_.SeekEnd(), 0);
  EXPECT_EQ(Current().sequence, 20u);
  EXPECT_EQ(engine_.SeekStart(), 0);
  EXPECT_EQ(Current().sequence, 1u);
}

TEST_F(Player, IndexInSmallStepsEqualsOneStepAndGarbageNeverStalls) {
  std::string noise(300000, '\0');
  for (std::size_t i = 0; i < noise.size(); ++i)
    noise[i] = static_cast<char>((i * 2654435761u) >> 13);
  const std::string log = Simulate(gpssim::Protocol::Tsip, {{k235830, 30}});
  const std::string text = log + noise + log;
  std::ofstream(path_, std::ios::binary) << text;
  auto build = [&](uint64_t budget, int* steps) {
    auto index = std::make_unique<LogIndex>(FileByteSource::Open(path_.string()), Protocol::Tsip,
                                            [](Protocol p) { return MakeDecoder(p); });
    for (*steps = 1; !index->Step(budget); ++*steps) {
    }
    return index;
  };
  int oneStepCalls = 0, smallStepCalls = 0;
  const auto whole = build(UINT64_MAX, &oneStepCalls);
  const auto stepped = build(4096, &smallStepCalls);
  EXPECT_EQ(oneStepCalls, 1);
  // Each step stays within its budget, so the steps are as many as the bytes need.
  EXPECT_GE(smallStepCalls, static_cast<int>(text.size() / 4096));
  EXPECT_LE(smallStepCalls, static_cast<int>(text.size() / 4096) + 2);
  // A worker builds the same index, read while it grows.
  LogIndex worked(FileByteSource::Open(path_.string()), Protocol::Tsip,
                  [](Protocol p) { return MakeDecoder(p); });
  ASSERT_TRUE(worked.StartWorker());
  int64_t seen = 0;
  while (!worked.complete())
    seen = std::max(seen, worked.size());
  EXPECT_LE(seen, whole->size());
  ASSERT_GE(whole->size(), 60);
  for (const LogIndex* other : {stepped.get(), &worked}) {
    ASSERT_EQ(other->size(), whole->size());
    for (int64_t k = 0; k < whole->size(); ++k) {
      EXPECT_EQ(other->At(k).offset, whole->At(k).offset) << k;
      EXPECT_EQ(other->At(k).timeMs, whole->At(k).timeMs) << k;
    }
  }
  // The second copy's epochs are found again after the noise, their offsets in it.
  EXPECT_EQ(whole->size(), 60);
  EXPECT_GE(whole->At(30).offset, log.size() + noise.size());
  EXPECT_LT(whole->At(30).offset, whole->At(31).offset);
}

}  // namespace
}  // namespace navlib
