// The engine's state machine with a fake serial port, a stand-in decoder and a test clock: call
// order, open results, live polling, recording byte for byte, replay, receiver set-up at open.
#include "navlib32/Engine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "navlib32/MakeDecoder.h"
#include "navlib32/ReceiverSetup.h"
#include "tests/unit/navlib32/FakeDecoder.h"
#include "tests/unit/navlib32/NmeaTestSupport.h"
#include "tests/unit/navlib32/TestSources.h"

namespace navlib {
namespace {

namespace fs = std::filesystem;
using testing::FakeDecoderLog;
using testing::FakePort;
using testing::FakePortState;

constexpr int32_t kNmea = 1;
constexpr int32_t kTsip = 2;

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary);
  out << text;
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() /
        ("navlib_engine_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    EngineServices services;
    services.makeDecoder = testing::MakeFakeFactory(&decoderLog_);
    services.openSerial = [this](int port, const pelmora::CommInfo& line, int32_t* result) {
      openedPort_ = port;
      line_ = line;
      if (openResult_ != 0) {
        *result = openResult_;
        return std::unique_ptr<ByteSource>();
      }
      return std::unique_ptr<ByteSource>(std::make_unique<FakePort>(&port_));
    };
    services.now = [this] { return now_; };
    engine_ = std::make_unique<Engine>(services);
    settings_ = pelmora::ReceiverSettings{};
    settings_.changed = 1;
    settings_.fixedTwo = 2;
    settings_.dynamics = 1;
    settings_.elevationMask = 10;
    settings_.signalMask = 4;
    settings_.pdopMask = 12;
    settings_.pdopSwitch = 5;
  }
  void TearDown() override {
    engine_.reset();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  int32_t OpenLive(int32_t type = kNmea, const char* source = "COM5") {
    pelmora::CommInfo line;
    DefaultCommInfo(type, &line);
    return engine_->Open(type, source, &line, &settings_);
  }

  fs::path dir_;
  FakeDecoderLog decoderLog_;
  FakePortState port_;
  int openedPort_ = 0;
  pelmora::CommInfo line_{};
  int32_t openResult_ = 0;
  double now_ = 100.0;
  pelmora::ReceiverSettings settings_{};
  std::unique_ptr<Engine> engine_;
};

TEST(EngineFunctions, ParseComPort) {
  const struct {
    const char* text;
    int port;
  } cases[] = {
      {"COM1", 1},      {"com12", 12}, {"CoM255", 255}, {"COM3:", 3},    {"COM256", 0},
      {"COM0", 0},      {"COM", 0},    {"COM1x", 0},    {"COM1.gps", 0}, {"C:\\COM1", 0},
      {"/tmp/COM1", 0}, {"", 0},       {"COM-1", 0},    {"COM 1", 0},    {"COM99999999999", 0},
      {nullptr, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(ParseComPort(c.text), c.port) << (c.text ? c.text : "null");
  EXPECT_EQ(ParseComPort("\\\\.\\COM4"), 4);
}

TEST(EngineFunctions, DefaultCommInfo) {
  pelmora::CommInfo c{};
  ASSERT_EQ(DefaultCommInfo(kNmea, &c), 0);
  EXPECT_EQ(c.baudRate, 4800);
  EXPECT_EQ(c.parity, 0);
  EXPECT_EQ(c.dataBits, 8);
  EXPECT_EQ(c.stopBits, 0);
  ASSERT_EQ(DefaultCommInfo(kTsip, &c), 0);
  EXPECT_EQ(c.baudRate, 9600);
  EXPECT_EQ(c.parity, 1);
  EXPECT_EQ(c.dataBits, 8);
  EXPECT_EQ(c.stopBits, 0);
  const pelmora::CommInfo before = c;
  EXPECT_EQ(DefaultCommInfo(3, &c), kNavOpenBadArgument);
  EXPECT_EQ(DefaultCommInfo(0, &c), kNavOpenBadArgument);
  EXPECT_EQ(std::memcmp(&before, &c, sizeof c), 0);
  EXPECT_EQ(DefaultCommInfo(kNmea, nullptr), kNavOpenBadArgument);
}

TEST_F(EngineTest, CallsWhileClosed) {
  pelmora::FixRecord r;
  std::memset(&r, 0x5A, sizeof r);
  EXPECT_EQ(engine_->Poll(), kNavPollNotOpen);
  EXPECT_EQ(engine_->GetInfo(&r), 0);
  EXPECT_EQ(r.validFlags, 0);
  EXPECT_EQ(r.latitude, 0.0);
  EXPECT_EQ(engine_->GetInfo(nullptr), 0);
  EXPECT_EQ(engine_->StartLog((dir_ / "x.gps").string().c_str()), kNavLogNotLive);
  EXPECT_FALSE(fs::exists(dir_ / "x.gps"));
  EXPECT_EQ(engine_->StopLog(), 0);
  EXPECT_EQ(engine_->Close(), 0);
}

TEST_F(EngineTest, OpenFailuresLeaveTheEngineClosed) {
  WriteFile(dir_ / "text.gps", "this is a letter, not a GPS log\r\n");
  const std::string longName(300, 'a');
  const std::string missing = (dir_ / "missing.gps").string();
  const std::string text = (dir_ / "text.gps").string();
  struct Case {
    const char* legend;
    int32_t type;
    const char* source;
    int32_t portResult;
    int32_t expected;
  };
  const Case cases[] = {
      {"unknown receiver type", 3, "COM5", 0, kNavOpenBadArgument},
      {"receiver type 0", 0, "COM5", 0, kNavOpenBadArgument},
      {"null source", kNmea, nullptr, 0, kNavOpenBadArgument},
      {"empty source", kNmea, "", 0, kNavOpenBadArgument},
      {"overlong source", kNmea, longName.c_str(), 0, kNavOpenBadArgument},
      {"port missing", kNmea, "COM9", kNavOpenPortMissing, kNavOpenPortMissing},
      {"line settings refused", kTsip, "COM9", kNavOpenPortSetup, kNavOpenPortSetup},
      {"log missing", kNmea, missing.c_str(), 0, kNavOpenFileMissing},
      {"log without GPS data", kNmea, text.c_str(), 0, kNavOpenFileNotGps},
      // The program takes these for ports: refused as ports, never looked up as logs.
      {"a log named like a port", kNmea, "compass.gps", 0, kNavOpenPortMissing},
      {"COM without a number", kNmea, "com", 0, kNavOpenPortMissing},
  };
  for (const Case& c : cases) {
    openResult_ = c.portResult;
    EXPECT_EQ(engine_->Open(c.type, c.source, nullptr, &settings_), c.expected) << c.legend;
    EXPECT_FALSE(engine_->IsOpen()) << c.legend;
    EXPECT_EQ(engine_->Poll(), kNavPollNotOpen) << c.legend;
  }
}

TEST_F(EngineTest, OpensThePortWithTheLineSettings) {
  pelmora::CommInfo line{2400, 2, 7, 1};
  ASSERT_EQ(engine_->Open(kNmea, "com7", &line, nullptr), 0);
  EXPECT_EQ(openedPort_, 7);
  EXPECT_EQ(std::memcmp(&line_, &line, sizeof line), 0);
  EXPECT_TRUE(engine_->IsLive());
  // Without a record, the receiver type's defaults.
  ASSERT_EQ(engine_->Open(kTsip, "COM2", nullptr, nullptr), 0);
  EXPECT_EQ(openedPort_, 2);
  EXPECT_EQ(line_.baudRate, 9600);
  EXPECT_EQ(line_.parity, 1);
  ASSERT_EQ(decoderLog_.made.size(), 2u);
  EXPECT_EQ(decoderLog_.made[0], Protocol::Nmea);
  EXPECT_EQ(decoderLog_.made[1], Protocol::Tsip);
}

TEST_F(EngineTest, LivePollFeedsWhatThePortHolds) {
  ASSERT_EQ(OpenLive(), 0);
  port_.incoming = {"$GPGGA,10,a*00\r\n$GPRMC,10", ",b*00\r\n", "$GPGGA,11,a*00\r\n"};
  pelmora::FixRecord r;
  EXPECT_EQ(engine_->GetInfo(&r), 0);  // nothing yet
  EXPECT_EQ(engine_->Poll(), 0);
  EXPECT_TRUE(port_.incoming.empty());
  EXPECT_EQ(decoderLog_.fed, "$GPGGA,10,a*00\r\n$GPRMC,10,b*00\r\n$GPGGA,11,a*00\r\n");
  EXPECT_EQ(decoderLog_.lastNow, now_);
  EXPECT_EQ(engine_->GetInfo(&r), 1);
  EXPECT_EQ(r.utcSeconds, 10.0);
  EXPECT_EQ(r.latitude, 2.0);
  // More bytes than one read takes are all read in the same poll.
  std::string big;
  for (int t = 12; big.size() < 3 * Engine::kReadSize; ++t)
    big += "$GPGGA," + std::to_string(t) + ",a*00\r\n";
  port_.incoming = {big};
  decoderLog_.fed.clear();
  EXPECT_EQ(engine_->Poll(), 0);
  EXPECT_EQ(decoderLog_.fed, big);
}

TEST_F(EngineTest, QuietReceiverIsNoFailureButGoesInvalid) {
  ASSERT_EQ(OpenLive(), 0);
  port_.incoming = {"$GPGGA,10,a*00\r\n$GPGGA,11,a*00\r\n"};
  ASSERT_EQ(engine_->Poll(), 0);
  pelmora::FixRecord r;
  EXPECT_EQ(engine_->GetInfo(&r), 1);
  for (int i = 0; i < 10; ++i) {
    now_ += 1.0;
    EXPECT_EQ(engine_->Poll(), 0);
  }
  EXPECT_EQ(engine_->GetInfo(&r), 0);
  EXPECT_EQ(r.validFlags, 0);
}

TEST_F(EngineTest, ReadFailureIsStickyUntilClose) {
  ASSERT_EQ(OpenLive(), 0);
  EXPECT_EQ(engine_->Poll(), 0);
  port_.readFails = true;
  EXPECT_EQ(engine_->Poll(), kNavPollPortFailed);
  port_.readFails = false;
  EXPECT_EQ(engine_->Poll(), kNavPollPortFailed);
  EXPECT_EQ(engine_->Close(), 0);
  EXPECT_TRUE(port_.destroyed);
  EXPECT_EQ(engine_->Poll(), kNavPollNotOpen);
}

TEST_F(EngineTest, RecordsEveryReceivedByteExactly) {
  ASSERT_EQ(OpenLive(kTsip), 0);
  const fs::path log = dir_ / "rec.gps";
  port_.incoming = {"before the log"};
  ASSERT_EQ(engine_->Poll(), 0);
  ASSERT_EQ(engine_->StartLog(log.string().c_str()), 0);
  EXPECT_TRUE(engine_->IsRecording());
  std::string all;
  for (int i = 0; i < 256; ++i)
    all.push_back(static_cast<char>(i));
  const std::string chunks[] = {all, std::string("\r\n\r\r\n\x1A\x00\x10\x03", 9),
                                std::string(Engine::kReadSize + 17, '\xFF')};
  std::string expected;
  for (const std::string& c : chunks) {
    port_.incoming = {c};
    ASSERT_EQ(engine_->Poll(), 0);
    expected += c;
    // Flushed by every poll: the file holds everything while recording goes on.
    EXPECT_EQ(ReadFile(log), expected);
  }
  EXPECT_EQ(engine_->StopLog(), 0);
  EXPECT_FALSE(engine_->IsRecording());
  port_.incoming = {"after the log"};
  ASSERT_EQ(engine_->Poll(), 0);
  EXPECT_EQ(ReadFile(log), expected);
}

TEST_F(EngineTest, StartLogArguments) {
  const std::string longName(300, 'a');
  ASSERT_EQ(OpenLive(), 0);
  EXPECT_EQ(engine_->StartLog(nullptr), kNavLogBadArgument);
  EXPECT_EQ(engine_->StartLog(""), kNavLogBadArgument);
  EXPECT_EQ(engine_->StartLog(longName.c_str()), kNavLogBadArgument);
  EXPECT_EQ(engine_->StartLog("COM5"), kNavLogBadArgument);
  EXPECT_EQ(engine_->StartLog((dir_ / "no" / "such" / "dir.gps").string().c_str()),
            kNavLogCannotOpen);
  EXPECT_FALSE(engine_->IsRecording());
  // A second StartLog moves the recording to the new file.
  ASSERT_EQ(engine_->StartLog((dir_ / "a.gps").string().c_str()), 0);
  ASSERT_EQ(engine_->StartLog((dir_ / "b.gps").string().c_str()), 0);
  port_.incoming = {"xyz"};
  ASSERT_EQ(engine_->Poll(), 0);
  EXPECT_EQ(ReadFile(dir_ / "a.gps"), "");
  EXPECT_EQ(ReadFile(dir_ / "b.gps"), "xyz");
}

TEST_F(EngineTest, CloseAndReopenStopTheRecording) {
  ASSERT_EQ(OpenLive(), 0);
  ASSERT_EQ(engine_->StartLog((dir_ / "a.gps").string().c_str()), 0);
  ASSERT_EQ(OpenLive(), 0);
  EXPECT_FALSE(engine_->IsRecording());
  ASSERT_EQ(engine_->StartLog((dir_ / "b.gps").string().c_str()), 0);
  engine_->Close();
  EXPECT_FALSE(engine_->IsRecording());
  EXPECT_FALSE(engine_->IsOpen());
}

TEST_F(EngineTest, LogWriteFailureStopsRecordingIsReportedOnceAndLiveGoesOn) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ASSERT_EQ(OpenLive(), 0);
  ASSERT_EQ(engine_->StartLog("/dev/full"), 0);
  port_.incoming = {"$GPGGA,10,a*00\r\n"};
  EXPECT_EQ(engine_->Poll(), kNavPollLogFailed);
  EXPECT_FALSE(engine_->IsRecording());
  port_.incoming = {"$GPGGA,11,a*00\r\n"};
  EXPECT_EQ(engine_->Poll(), 0) << "told once; the port is still read";
}

TEST_F(EngineTest, ADevicePathIsNeverReplayedEvenWhereItIsAFile) {
  WriteFile("\\\\.\\dev.gps", "$GPGGA,1,a*00\n$GPGGA,2,a*00\n");
  EXPECT_EQ(engine_->Open(kNmea, "\\\\.\\dev.gps", nullptr, nullptr), kNavOpenFileMissing);
  std::error_code ignored;  // on Windows the name is a device and no file was made
  fs::remove("\\\\.\\dev.gps", ignored);
}

TEST_F(EngineTest, ReplayAdvancesOneEpochPerPollAndRefusesRecording) {
  const fs::path log = dir_ / "replay.gps";
  WriteFile(log, "$GPGGA,1,a*00\n$GPRMC,1,b*00\nstray line\n$GPGGA,2,a*00\n$GPGGA,3,a*00\n");
  ASSERT_EQ(engine_->Open(kNmea, log.string().c_str(), nullptr, &settings_), 0);
  EXPECT_TRUE(engine_->IsOpen());
  EXPECT_FALSE(engine_->IsLive());
  EXPECT_EQ(openedPort_, 0);
  EXPECT_EQ(engine_->StartLog((dir_ / "rec.gps").string().c_str()), kNavLogNotLive);
  EXPECT_FALSE(fs::exists(dir_ / "rec.gps"));
  pelmora::FixRecord r;
  for (double t : {1.0, 2.0, 3.0}) {
    ASSERT_EQ(engine_->Poll(), 0);
    EXPECT_EQ(engine_->GetInfo(&r), 1);
    EXPECT_EQ(r.utcSeconds, t);
  }
  EXPECT_EQ(engine_->Poll(), kNavPollEndOfLog);
  EXPECT_EQ(engine_->Poll(), kNavPollEndOfLog);
  // The last epoch stays readable after the end.
  EXPECT_EQ(engine_->GetInfo(&r), 1);
  EXPECT_EQ(r.utcSeconds, 3.0);
}

// The epoch whole: the record and satellites of the decoder, the count of epochs and the source's
// flags; a closed engine and a null epoch are refused.
TEST_F(EngineTest, EpochCarriesTheRecordTheSatellitesAndTheCount) {
  pelmora::Epoch e;
  EXPECT_EQ(engine_->GetEpoch(&e), kNavEpochNotOpen);
  EXPECT_EQ(e.logOffset, -1);
  EXPECT_EQ(engine_->GetEpoch(nullptr), kNavEpochBadArgument);
  const fs::path log = dir_ / "epochs.gps";
  WriteFile(log, "$GPGGA,1,a*00\n$GPGSV,1,b*00\n$GPGGA,2,a*00\n$GPGGA,3,a*00\n");
  ASSERT_EQ(engine_->Open(kNmea, log.string().c_str(), nullptr, nullptr), 0);
  ASSERT_EQ(engine_->GetEpoch(&e), 0);
  EXPECT_EQ(e.sequence, 0u);
  ASSERT_EQ(engine_->Poll(), 0);
  ASSERT_EQ(engine_->Poll(), 0);
  ASSERT_EQ(engine_->GetEpoch(&e), 0);
  EXPECT_EQ(e.sequence, 2u);
  EXPECT_EQ(e.flags, pelmora::kEpochHasFix | pelmora::kEpochReplay | pelmora::kEpochNmea);
  EXPECT_EQ(e.fix.utcSeconds, 2.0);
  ASSERT_EQ(e.satCount, 1);  // the fake's one per line of the epoch
  EXPECT_EQ(e.sats[0].svid, 1);
  engine_->Close();
  EXPECT_EQ(engine_->GetEpoch(&e), kNavEpochNotOpen);
  EXPECT_EQ(e.sequence, 0u);
}

// The full satellite list: the decoder's, for as many as the caller has room for; a closed
// engine and bad arguments are refused.
TEST_F(EngineTest, ListsEverySatelliteTheDecoderHolds) {
  pelmora::SatDetail sats[pelmora::kMaxAllSats];
  int32_t count = -1;
  EXPECT_EQ(engine_->GetSatellites(sats, pelmora::kMaxAllSats, &count), kNavSatellitesNotOpen);
  EXPECT_EQ(count, 0);
  const fs::path log = dir_ / "sats.gps";
  WriteFile(log, "$GPGGA,1,a*00\n$GPGSV,1,b*00\n$GPGSV,1,c*00\n$GPGGA,2,a*00\n");
  ASSERT_EQ(engine_->Open(kNmea, log.string().c_str(), nullptr, nullptr), 0);
  ASSERT_EQ(engine_->Poll(), 0);
  ASSERT_EQ(engine_->GetSatellites(sats, pelmora::kMaxAllSats, &count), 0);
  ASSERT_EQ(count, 3);  // the fake's one per line of the epoch
  EXPECT_EQ(sats[2].prn, 3);
  EXPECT_EQ(engine_->GetSatellites(sats, 2, &count), 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(engine_->GetSatellites(nullptr, 2, &count), kNavSatellitesBadArgument);
  EXPECT_EQ(engine_->GetSatellites(sats, -1, &count), kNavSatellitesBadArgument);
  EXPECT_EQ(engine_->GetSatellites(sats, 2, nullptr), kNavSatellitesBadArgument);
}

// The sentences handed on: checksum-valid ones only, whole, oldest first, once each; a TSIP
// source has none; a closed engine and bad arguments are refused.
TEST_F(EngineTest, HandsOnTheChecksumValidSentences) {
  using nmea::testing::Nmea;
  char buf[256];
  int32_t length = -1;
  EXPECT_EQ(engine_->TakeSentences(buf, sizeof buf, &length), kNavSentencesNotOpen);
  EXPECT_EQ(length, 0);
  ASSERT_EQ(OpenLive(), 0);
  const std::string gga = Nmea("GPGGA,10,a"), rmc = Nmea("GPRMC,10,b"), next = Nmea("GPGGA,11,a");
  port_.incoming = {gga + "$GPGSA,10,bad*00\r\n" + "$GPVTG,10,none\r\n" + rmc.substr(0, 7),
                    rmc.substr(7) + next};
  ASSERT_EQ(engine_->Poll(), 0);
  // Room for one sentence only: the second waits for the next call.
  EXPECT_EQ(engine_->TakeSentences(buf, static_cast<int32_t>(gga.size() + 3), &length), 0);
  EXPECT_EQ(std::string(buf, length), gga);
  EXPECT_EQ(engine_->TakeSentences(buf, sizeof buf, &length), 0);
  EXPECT_EQ(std::string(buf), rmc + next);
  EXPECT_EQ(engine_->TakeSentences(buf, sizeof buf, &length), 0);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(engine_->TakeSentences(nullptr, 10, &length), kNavSentencesBadArgument);
  EXPECT_EQ(engine_->TakeSentences(buf, 0, &length), kNavSentencesBadArgument);
  EXPECT_EQ(engine_->TakeSentences(buf, 10, nullptr), kNavSentencesBadArgument);

  // Replay: the polls bring the log's sentences, each once, in order.
  const fs::path log = dir_ / "replay.gps";
  const std::string sentences = Nmea("GPGGA,1,a") + Nmea("GPGGA,2,a") + Nmea("GPGGA,3,a");
  WriteFile(log, sentences);
  ASSERT_EQ(engine_->Open(kNmea, log.string().c_str(), nullptr, nullptr), 0);
  std::string all;
  int polls = 0;
  for (int32_t result = 0; result == 0; ++polls) {
    result = engine_->Poll();
    ASSERT_EQ(engine_->TakeSentences(buf, sizeof buf, &length), 0);
    all.append(buf, length);
  }
  EXPECT_EQ(all, sentences);
  EXPECT_GT(polls, 2);

  ASSERT_EQ(OpenLive(kTsip), 0);
  EXPECT_EQ(engine_->TakeSentences(buf, sizeof buf, &length), kNavSentencesNotNmea);
}

// The messages handed on: every one, good or not, in whole records, through the polls of a
// replay; bad arguments and a closed engine are refused.
TEST_F(EngineTest, HandsOnEveryMessageInWholeRecords) {
  using nmea::testing::Nmea;
  EngineServices services;
  services.makeDecoder = [](Protocol p) { return MakeDecoder(p); };
  Engine engine(services);
  std::vector<uint8_t> buf(pelmora::kMaxMessageRecord);
  int32_t length = -1;
  int64_t dropped = -1;
  const auto size = static_cast<int32_t>(buf.size());
  EXPECT_EQ(engine.TakeMessages(buf.data(), size, &length, &dropped), kNavMessagesNotOpen);
  const fs::path log = dir_ / "replay.gps";
  WriteFile(log, Nmea("GPGGA,1,a") + "$GPGSA,1,bad*00\r\n" + Nmea("GPGGA,2,a") + "$GPRMC,2");
  ASSERT_EQ(engine.Open(kNmea, log.string().c_str(), nullptr, nullptr), 0);
  EXPECT_EQ(engine.TakeMessages(buf.data(), size - 1, &length, &dropped), kNavMessagesBadArgument);
  EXPECT_EQ(engine.TakeMessages(nullptr, size, &length, &dropped), kNavMessagesBadArgument);
  EXPECT_EQ(engine.TakeMessages(buf.data(), size, &length, nullptr), kNavMessagesBadArgument);
  std::vector<int> statuses;
  for (int32_t result = 0; result == 0;) {
    result = engine.Poll();
    do {
      ASSERT_EQ(engine.TakeMessages(buf.data(), size, &length, &dropped), 0);
      EXPECT_EQ(dropped, 0);
      pelmora::ForEachMessage(buf.data(), length, [&](const pelmora::MessageHeader& h, auto*) {
        statuses.push_back(h.status);
      });
    } while (length > 0);
  }
  using S = pelmora::MessageStatus;
  EXPECT_EQ(statuses, (std::vector<int>{int(S::Ok), int(S::BadChecksum), int(S::Ok), int(S::Cut)}));
}

TEST(SentenceTap, KeepsTheNewestWhenNobodyTakes) {
  SentenceTap tap;
  const std::string s = nmea::testing::Nmea("GPGGA,1,a");
  for (std::size_t i = 0; i < 2 * SentenceTap::kMaxPending / s.size(); ++i)
    tap.Add(reinterpret_cast<const uint8_t*>(s.data()), s.size());
  EXPECT_LE(tap.PendingBytes(), SentenceTap::kMaxPending);
  EXPECT_GT(tap.PendingBytes(), SentenceTap::kMaxPending - s.size());
  EXPECT_GT(tap.Dropped(), 0u);
  std::string all(SentenceTap::kMaxPending + 1, '\0');
  const std::size_t n = tap.Take(all.data(), all.size());
  EXPECT_EQ(n % s.size(), 0u);
  EXPECT_EQ(tap.PendingBytes(), 0u);
}

TEST_F(EngineTest, SendsTsipSettingsAtOpen) {
  settings_.heightReference = 1;
  settings_.initLatitude = 52;
  settings_.initLongitude = 13;
  ASSERT_EQ(OpenLive(kTsip), 0);
  EXPECT_EQ(port_.written, BuildTsipSetup(settings_));
  EXPECT_FALSE(port_.written.empty());
  // Settings never stored (marker 0) are not sent.
  port_.written.clear();
  settings_.changed = 0;
  ASSERT_EQ(OpenLive(kTsip), 0);
  EXPECT_EQ(port_.written, "");
  // A receiver that cannot be written to: -10, and closed.
  settings_.changed = 1;
  port_.writeFails = true;
  port_.destroyed = false;
  EXPECT_EQ(OpenLive(kTsip), kNavOpenReceiverSetup);
  EXPECT_FALSE(engine_->IsOpen());
  EXPECT_TRUE(port_.destroyed);
}

TEST_F(EngineTest, SendsNmeaSettingsFileAtOpen) {
  const fs::path nsf = dir_ / "receiver.nsf";
  WriteFile(nsf, "$PGRMO,,2\r\n; a comment\r\n\r\n  $PSRF100,1,4800,8,1,0*0E  \n");
  std::snprintf(settings_.nmeaSettingsPath, sizeof settings_.nmeaSettingsPath, "%s",
                nsf.string().c_str());
  ASSERT_EQ(OpenLive(kNmea), 0);
  EXPECT_EQ(port_.written, "$PGRMO,,2*75\r\n$PSRF100,1,4800,8,1,0*0E\r\n");
  // No file, a missing file, or a damaged path field: opened, nothing sent.
  for (const std::string& path : {std::string(), (dir_ / "missing.nsf").string()}) {
    port_.written.clear();
    std::snprintf(settings_.nmeaSettingsPath, sizeof settings_.nmeaSettingsPath, "%s",
                  path.c_str());
    EXPECT_EQ(OpenLive(kNmea), 0) << path;
    EXPECT_EQ(port_.written, "") << path;
  }
  port_.written.clear();
  std::memset(settings_.nmeaSettingsPath, 'a', sizeof settings_.nmeaSettingsPath);
  EXPECT_EQ(OpenLive(kNmea), 0);
  EXPECT_EQ(port_.written, "");
  // The settings file is for NMEA receivers only.
  std::snprintf(settings_.nmeaSettingsPath, sizeof settings_.nmeaSettingsPath, "%s",
                nsf.string().c_str());
  port_.written.clear();
  ASSERT_EQ(OpenLive(kTsip), 0);
  EXPECT_EQ(port_.written.find("PGRMO"), std::string::npos);
  // A receiver that cannot be written to: -10.
  port_.writeFails = true;
  EXPECT_EQ(OpenLive(kNmea), kNavOpenReceiverSetup);
  EXPECT_FALSE(engine_->IsOpen());
}

}  // namespace
}  // namespace navlib
