// LogReplay with a stand-in decoder: one epoch per Advance, the end of the log, every chunking,
// line endings, protocol choice, read failures and reading in bounded chunks.
#include "navlib32/LogReplay.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/unit/navlib32/FakeDecoder.h"
#include "tests/unit/navlib32/TestSources.h"

namespace navlib {
namespace {

using testing::FakeDecoderLog;
using testing::MakeFakeFactory;
using testing::StringSource;

struct EpochSeen {
  double time;
  int lines;
  bool operator==(const EpochSeen&) const = default;
};

// Replays text to the end; the epochs seen, and the bytes the decoder was fed.
std::vector<EpochSeen> ReplayAll(const std::string& text, std::size_t maxRead, std::string* fed) {
  FakeDecoderLog log;
  auto source = std::make_unique<StringSource>(text, maxRead);
  LogReplay replay(std::move(source), MakeFakeFactory(&log));
  EXPECT_EQ(replay.Start(Protocol::Nmea), LogReplay::StartResult::Ok);
  std::vector<EpochSeen> seen;
  for (int guard = 0; guard < 1000; ++guard) {
    const LogReplay::Step step = replay.Advance(guard + 1.0);
    if (step != LogReplay::Step::Epoch) {
      EXPECT_EQ(step, LogReplay::Step::End);
      break;
    }
    pelmora::FixRecord r;
    replay.decoder().GetFix(r, guard + 1.0);
    seen.push_back({r.utcSeconds, static_cast<int>(r.latitude)});
  }
  if (fed != nullptr) *fed = log.fed;
  return seen;
}

const std::string kThreeEpochs =
    "$GPGGA,1,a*00\r\n$GPGSA,1,b*00\r\n$GPRMC,1,c*00\r\n"
    "$GPGGA,2,a*00\r\n$GPRMC,2,c*00\r\n"
    "$GPGGA,3,a*00\r\n$GPGSA,3,b*00\r\n$GPGSV,3,x*00\r\n$GPRMC,3,c*00\r\n";
const std::vector<EpochSeen> kThreeEpochsSeen = {{1, 3}, {2, 2}, {3, 4}};

TEST(LogReplay, AdvancesExactlyOneEpochPerCall_ThenEnds) {
  FakeDecoderLog log;
  LogReplay replay(std::make_unique<StringSource>(kThreeEpochs), MakeFakeFactory(&log));
  ASSERT_EQ(replay.Start(Protocol::Nmea), LogReplay::StartResult::Ok);
  for (const EpochSeen& expected : kThreeEpochsSeen) {
    ASSERT_EQ(replay.Advance(1.0), LogReplay::Step::Epoch);
    pelmora::FixRecord r;
    replay.decoder().GetFix(r, 1.0);
    EXPECT_EQ(r.utcSeconds, expected.time);
    EXPECT_EQ(r.latitude, expected.lines);
  }
  EXPECT_EQ(replay.Advance(1.0), LogReplay::Step::End);
  EXPECT_EQ(replay.Advance(1.0), LogReplay::Step::End);
}

TEST(LogReplay, KeepsTheRestOfTheChunkForTheNextEpoch) {
  // The whole log arrives in one read: nothing may be fed twice or lost.
  std::string fed;
  EXPECT_EQ(ReplayAll(kThreeEpochs, SIZE_MAX, &fed), kThreeEpochsSeen);
  EXPECT_EQ(fed, kThreeEpochs);
}

TEST(LogReplay, EveryReadSizeGivesTheSameEpochs) {
  for (std::size_t maxRead : {1, 2, 3, 7, 16, 64, 1000}) {
    std::string fed;
    EXPECT_EQ(ReplayAll(kThreeEpochs, maxRead, &fed), kThreeEpochsSeen) << maxRead;
    EXPECT_EQ(fed, kThreeEpochs) << maxRead;
  }
}

TEST(LogReplay, LineEndingsDoNotMatter) {
  std::string lf, cr;
  for (char c : kThreeEpochs)
    if (c != '\r') lf.push_back(c);
  EXPECT_EQ(ReplayAll(lf, SIZE_MAX, nullptr), kThreeEpochsSeen);
  // Mixed: LF in the first half, CR LF in the second.
  const std::string mixed =
      lf.substr(0, lf.size() / 2) + kThreeEpochs.substr(kThreeEpochs.size() / 2);
  EXPECT_EQ(ReplayAll(mixed, 5, nullptr).size(), kThreeEpochsSeen.size());
}

TEST(LogReplay, EmptyEpochlessTailEndsAtOnce) {
  FakeDecoderLog log;
  LogReplay replay(std::make_unique<StringSource>("$GPGGA,1,a*00\n"), MakeFakeFactory(&log));
  ASSERT_EQ(replay.Start(Protocol::Nmea), LogReplay::StartResult::Ok);
  EXPECT_EQ(replay.Advance(1.0), LogReplay::Step::Epoch);  // the last epoch, at Flush
  EXPECT_EQ(replay.Advance(2.0), LogReplay::Step::End);
}

TEST(LogReplay, ChoosesTheProtocol) {
  const std::string nmea = "$GPGGA,1,a*00\r\n$GPRMC,1,b*00\r\n";
  const std::string tsip = "\x10\x41\x01\x02\x10\x03\x10\x46\x00\x00\x10\x03\x10\x6D\x01\x10\x03";
  struct Case {
    const char* legend;
    std::string text;
    Protocol expected;
    LogReplay::StartResult result;
    Protocol chosen;
  };
  const Case cases[] = {
      {"NMEA as expected", nmea, Protocol::Nmea, LogReplay::StartResult::Ok, Protocol::Nmea},
      {"NMEA where TSIP was expected", nmea, Protocol::Tsip, LogReplay::StartResult::Ok,
       Protocol::Nmea},
      {"TSIP as expected", tsip, Protocol::Tsip, LogReplay::StartResult::Ok, Protocol::Tsip},
      {"TSIP where NMEA was expected", tsip, Protocol::Nmea, LogReplay::StartResult::Ok,
       Protocol::Tsip},
      {"empty log", "", Protocol::Nmea, LogReplay::StartResult::NotGps, Protocol::Nmea},
      {"plain text", "hello world\r\nno GPS here\r\n", Protocol::Nmea,
       LogReplay::StartResult::NotGps, Protocol::Nmea},
      {"zeros", std::string(5000, '\0'), Protocol::Tsip, LogReplay::StartResult::NotGps,
       Protocol::Tsip},
  };
  for (const Case& c : cases) {
    FakeDecoderLog log;
    LogReplay replay(std::make_unique<StringSource>(c.text), MakeFakeFactory(&log));
    EXPECT_EQ(replay.Start(c.expected), c.result) << c.legend;
    if (c.result == LogReplay::StartResult::Ok) {
      EXPECT_EQ(replay.protocol(), c.chosen) << c.legend;
      ASSERT_EQ(log.made.size(), 1u) << c.legend;
      EXPECT_EQ(log.made[0], c.chosen) << c.legend;
    } else {
      EXPECT_TRUE(log.made.empty()) << c.legend;
    }
  }
}

TEST(LogReplay, SniffIgnoresAStuffedEtxInsideTsipData) {
  // Payload bytes 10 03 10 41 are sent stuffed as 10 10 03 10 10 41: no packet boundary.
  const std::string lone("\x10\x41\x10\x10\x03\x10\x10\x41\x10\x03", 10);
  EXPECT_EQ(SniffProtocol(reinterpret_cast<const uint8_t*>(lone.data()), lone.size()).tsip, 0);
  const std::string two = lone + std::string("\x10\x46\x00\x00\x10\x03", 6);
  EXPECT_EQ(SniffProtocol(reinterpret_cast<const uint8_t*>(two.data()), two.size()).tsip, 1);
  const std::string nmea = "junk $GPGGA,1 $GP,x $GNRMC,2 $gpgga,3";
  EXPECT_EQ(SniffProtocol(reinterpret_cast<const uint8_t*>(nmea.data()), nmea.size()).nmea, 2);
}

TEST(LogReplay, ReadErrorFailsAndStaysFailed) {
  FakeDecoderLog log;
  // Reads of 20 bytes; the read starting at offset 40 fails (mid first epoch's third line).
  LogReplay replay(std::make_unique<StringSource>(kThreeEpochs, 20, 40), MakeFakeFactory(&log));
  ASSERT_EQ(replay.Start(Protocol::Nmea), LogReplay::StartResult::Ok);
  EXPECT_EQ(replay.Advance(1.0), LogReplay::Step::Failed);
  EXPECT_EQ(replay.Advance(2.0), LogReplay::Step::Failed);
}

// An endless NMEA-like log generated on demand: nothing of it is held in memory.
class EndlessLog final : public ByteSource {
 public:
  ReadStatus Read(uint8_t* data, std::size_t size, std::size_t* got) override {
    largestRequest = std::max(largestRequest, size);
    std::size_t n = 0;
    while (n < size) {
      if (pending_.empty()) {
        pending_ = "$GPGGA," + std::to_string(line_ / 4) + ",payload*00\r\n";
        ++line_;
      }
      const std::size_t take = std::min(size - n, pending_.size());
      std::memcpy(data + n, pending_.data(), take);
      pending_.erase(0, take);
      n += take;
    }
    *got = n;
    return ReadStatus::Ok;
  }
  bool Write(const uint8_t*, std::size_t) override { return false; }
  std::size_t largestRequest = 0;

 private:
  std::string pending_;
  long line_ = 0;
};

TEST(LogReplay, ReadsInBoundedChunksWhateverTheLogSize) {
  FakeDecoderLog log;
  auto source = std::make_unique<EndlessLog>();
  EndlessLog* raw = source.get();
  LogReplay replay(std::move(source), MakeFakeFactory(&log));
  ASSERT_EQ(replay.Start(Protocol::Nmea), LogReplay::StartResult::Ok);
  // Opening reads one chunk, however long the log is.
  EXPECT_EQ(replay.bytesRead(), LogReplay::kChunkSize);
  for (int i = 0; replay.bytesRead() <= 10 * LogReplay::kChunkSize; ++i) {
    ASSERT_LT(i, 1000000);
    ASSERT_EQ(replay.Advance(i), LogReplay::Step::Epoch);
    // Never more than one chunk read ahead of what the decoder has taken.
    ASSERT_LE(replay.bytesRead() - log.fed.size(), LogReplay::kChunkSize);
    pelmora::FixRecord r;
    replay.decoder().GetFix(r, i);
    ASSERT_EQ(r.utcSeconds, i);
    ASSERT_EQ(r.latitude, 4);
  }
  EXPECT_LE(raw->largestRequest, LogReplay::kChunkSize);
}

}  // namespace
}  // namespace navlib
