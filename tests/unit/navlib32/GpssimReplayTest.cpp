// Replay through the engine with the real decoders: a gpssim log gives back, poll by poll, the
// epochs gpssim meant; line endings, stray lines, a truncated end, injected faults and a log of
// the other protocol do not change that.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "navlib32/Engine.h"
#include "navlib32/MakeDecoder.h"
#include "tests/unit/navlib32/TestSources.h"
#include "tools/gpssim/Simulator.h"

namespace navlib {
namespace {

namespace fs = std::filesystem;
using pelmora::FixRecord;

struct Log {
  std::vector<gpssim::Epoch> epochs;
  std::vector<std::string> bytes;  // per epoch
  std::vector<bool> damaged;
  std::string All() const {
    std::string s;
    for (const std::string& b : bytes)
      s += b;
    return s;
  }
};

Log Simulate(gpssim::Protocol protocol, int seconds, gpssim::Faults faults = {}) {
  gpssim::SimConfig c;
  c.protocol = protocol;
  c.faults = faults;
  c.turnRateDegPerSec = 0.3;
  c.climbMps = 0.5;
  gpssim::Simulator sim(c);
  Log log;
  for (int k = 0; k < seconds; ++k) {
    gpssim::EncodedEpoch e = sim.Next();
    log.epochs.push_back(e.epoch);
    log.bytes.push_back(e.bytes);
    log.damaged.push_back(e.damaged);
  }
  return log;
}

class GpssimReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = fs::temp_directory_path() /
            (std::string("navlib_gpssim_replay_") +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".gps");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove(path_, ec);
  }
  // Replays text as receiver type `type`; the record after every successful poll.
  std::vector<FixRecord> Replay(const std::string& text, int32_t type) {
    {
      std::ofstream out(path_, std::ios::binary);
      out << text;
    }
    EngineServices services;
    services.makeDecoder = [](Protocol p) { return MakeDecoder(p); };
    Engine engine(services);
    EXPECT_EQ(engine.Open(type, path_.string().c_str(), nullptr, nullptr), 0);
    std::vector<FixRecord> records;
    int32_t result = 0;
    for (int guard = 0; guard < 100000 && (result = engine.Poll()) == 0; ++guard) {
      FixRecord r;
      engine.GetInfo(&r);
      records.push_back(r);
    }
    EXPECT_EQ(result, kNavPollEndOfLog);
    return records;
  }
  fs::path path_;
};

void ExpectEpoch(const FixRecord& r, const gpssim::Epoch& e, bool nmea) {
  SCOPED_TRACE(::testing::Message() << "epoch at " << e.utcSecondsOfDay);
  const uint16_t needed = pelmora::kValidStatus | pelmora::kValidFixMode | pelmora::kValidTime |
                          pelmora::kValidPosition | pelmora::kValidEllipsoidHeight |
                          pelmora::kValidSpeed | pelmora::kValidHeading | pelmora::kValidGeometry |
                          pelmora::kValidSignal;
  EXPECT_EQ(r.validFlags & needed, needed) << std::hex << r.validFlags;
  EXPECT_EQ(r.status, static_cast<int16_t>(pelmora::ReceiverStatus::DoingFixes));
  EXPECT_EQ(r.fixMode, 3);
  EXPECT_DOUBLE_EQ(r.utcSeconds, e.utcSecondsOfDay);
  EXPECT_NEAR(r.latitude, e.latitudeDeg, 1e-6);
  EXPECT_NEAR(r.longitude, e.longitudeDeg, 1e-6);
  EXPECT_NEAR(r.ellipsoidHeight, e.ellipsoidHeightMetres, nmea ? 0.06 : 0.001);
  if (nmea) {
    EXPECT_TRUE(r.validFlags & pelmora::kValidGeoidHeight);
    EXPECT_NEAR(r.geoidHeight, e.geoidHeightMetres, 0.006);
    EXPECT_NEAR(r.magVariation, e.magVariationDeg, 0.06);
  }
  EXPECT_NEAR(r.speed, e.speedMps, 0.01);
  // TSIP's 0x8F-20 carries velocity in steps of 5 mm/s: about 0.03 degrees at 12 m/s.
  EXPECT_NEAR(r.trueHeading, e.trueHeadingDeg, nmea ? 0.01 : 0.05);
  EXPECT_NEAR(r.pdop, e.pdop, 0.006);
  EXPECT_EQ(r.satCount, e.usedCount);
  // Up to twelve satellites, chosen used ones first; each one as the sky had it.
  int used = 0, listed = 0;
  for (const pelmora::SatInfo& s : r.sats) {
    if (s.prn == 0) continue;
    ++listed;
    auto it = std::find_if(e.sats.begin(), e.sats.end(),
                           [&](const gpssim::SimSat& v) { return v.prn == s.prn; });
    ASSERT_NE(it, e.sats.end()) << "PRN " << s.prn;
    EXPECT_EQ(s.used != 0, it->used) << "PRN " << s.prn;
    EXPECT_EQ(s.elevation, it->elevationDeg) << "PRN " << s.prn;
    EXPECT_EQ(s.azimuth, it->azimuthDeg) << "PRN " << s.prn;
    EXPECT_EQ(s.snr, it->snrDbHz) << "PRN " << s.prn;
    if (s.used) ++used;
  }
  EXPECT_EQ(used, std::min(e.usedCount, 12));
  EXPECT_EQ(listed, std::min<int>(static_cast<int>(e.sats.size()), 12));
}

TEST_F(GpssimReplay, NmeaLogGivesTheMeantEpochs) {
  const Log log = Simulate(gpssim::Protocol::Nmea, 120);
  const std::vector<FixRecord> records = Replay(log.All(), 1);
  ASSERT_EQ(records.size(), log.epochs.size());
  for (std::size_t k = 0; k < records.size(); ++k)
    ExpectEpoch(records[k], log.epochs[k], true);
}

TEST_F(GpssimReplay, TsipLogGivesTheMeantEpochs) {
  const Log log = Simulate(gpssim::Protocol::Tsip, 120);
  const std::vector<FixRecord> records = Replay(log.All(), 2);
  ASSERT_EQ(records.size(), log.epochs.size());
  for (std::size_t k = 0; k < records.size(); ++k)
    ExpectEpoch(records[k], log.epochs[k], false);
}

TEST_F(GpssimReplay, LogOfTheOtherProtocolIsRecognised) {
  const Log tsip = Simulate(gpssim::Protocol::Tsip, 20);
  const std::vector<FixRecord> asNmea = Replay(tsip.All(), 1);
  ASSERT_EQ(asNmea.size(), tsip.epochs.size());
  ExpectEpoch(asNmea[5], tsip.epochs[5], false);
  const Log nmea = Simulate(gpssim::Protocol::Nmea, 20);
  const std::vector<FixRecord> asTsip = Replay(nmea.All(), 2);
  ASSERT_EQ(asTsip.size(), nmea.epochs.size());
  ExpectEpoch(asTsip[5], nmea.epochs[5], true);
}

bool SameFix(const FixRecord& a, const FixRecord& b) {
  return a.validFlags == b.validFlags && a.utcSeconds == b.utcSeconds && a.latitude == b.latitude &&
         a.longitude == b.longitude && a.ellipsoidHeight == b.ellipsoidHeight &&
         a.geoidHeight == b.geoidHeight && a.speed == b.speed && a.trueHeading == b.trueHeading &&
         a.pdop == b.pdop && a.satCount == b.satCount &&
         std::memcmp(a.sats, b.sats, sizeof a.sats) == 0;
}

TEST_F(GpssimReplay, LineEndingsAndStrayLinesDoNotChangeTheEpochs) {
  const Log log = Simulate(gpssim::Protocol::Nmea, 30);
  const std::vector<FixRecord> clean = Replay(log.All(), 1);
  ASSERT_EQ(clean.size(), log.epochs.size());
  std::string lf, stray;
  for (char c : log.All())
    if (c != '\r') lf.push_back(c);
  for (std::size_t k = 0; k < log.bytes.size(); ++k) {
    stray += log.bytes[k];
    if (k % 3 == 0) stray += "Logged by a terminal program\r\n";
    if (k % 5 == 1) stray += "\r\n\r\n";
    if (k % 7 == 2) stray += "AT+CGPS=1\n";
  }
  for (const auto& [legend, text] :
       {std::pair<const char*, std::string>{"LF only", lf}, {"stray lines", stray}}) {
    const std::vector<FixRecord> records = Replay(text, 1);
    ASSERT_EQ(records.size(), clean.size()) << legend;
    for (std::size_t k = 0; k < records.size(); ++k)
      EXPECT_TRUE(SameFix(records[k], clean[k])) << legend << " epoch " << k;
  }
}

TEST_F(GpssimReplay, TruncatedLastSentenceEndsCleanly) {
  const Log log = Simulate(gpssim::Protocol::Nmea, 10);
  std::string text = log.All();
  // Cut inside the last epoch's RMC sentence.
  const std::size_t lastRmc = text.rfind("$GPRMC");
  ASSERT_NE(lastRmc, std::string::npos);
  text.resize(lastRmc + 20);
  const std::vector<FixRecord> records = Replay(text, 1);
  ASSERT_GE(records.size(), 9u);
  ASSERT_LE(records.size(), 10u);
  for (std::size_t k = 0; k < 9; ++k)
    ExpectEpoch(records[k], log.epochs[k], true);
}

TEST_F(GpssimReplay, InjectedFaultsDoNotCorruptTheOtherEpochs) {
  for (gpssim::Protocol protocol : {gpssim::Protocol::Nmea, gpssim::Protocol::Tsip}) {
    gpssim::Faults faults;
    faults.badChecksumEvery = 29;  // about one epoch in three
    faults.noiseEvery = 4;
    const Log log = Simulate(protocol, 100, faults);
    std::map<double, std::size_t> byTime;
    for (std::size_t k = 0; k < log.epochs.size(); ++k)
      byTime[log.epochs[k].utcSecondsOfDay] = k;
    const bool nmea = protocol == gpssim::Protocol::Nmea;
    const std::vector<FixRecord> records = Replay(log.All(), nmea ? 1 : 2);
    EXPECT_GE(records.size(), 80u);
    EXPECT_LE(records.size(), log.epochs.size());
    int checked = 0;
    for (const FixRecord& r : records) {
      if (!(r.validFlags & pelmora::kValidTime)) continue;
      auto it = byTime.find(r.utcSeconds);
      ASSERT_NE(it, byTime.end()) << r.utcSeconds;
      if (log.damaged[it->second]) continue;
      ExpectEpoch(r, log.epochs[it->second], nmea);
      ++checked;
    }
    EXPECT_GE(checked, 30);
  }
}

TEST(GpssimLive, QuietReceiverTurnsInvalidAndRecordingReplaysTheSame) {
  for (const auto& [protocol, type] :
       {std::pair{gpssim::Protocol::Nmea, 1}, std::pair{gpssim::Protocol::Tsip, 2}}) {
    testing::FakePortState port;
    double now = 1000.0;
    EngineServices services;
    services.makeDecoder = [](Protocol p) { return MakeDecoder(p); };
    services.openSerial = [&port](int, const pelmora::CommInfo&, int32_t*) {
      return std::unique_ptr<ByteSource>(std::make_unique<testing::FakePort>(&port));
    };
    services.now = [&now] { return now; };
    Engine engine(services);
    ASSERT_EQ(engine.Open(type, "COM3", nullptr, nullptr), 0);
    const fs::path rec = fs::temp_directory_path() / "navlib_gpssim_live_rec.gps";
    ASSERT_EQ(engine.StartLog(rec.string().c_str()), 0);
    const Log log = Simulate(protocol, 6);
    std::vector<FixRecord> live;
    for (const std::string& bytes : log.bytes) {
      // Each epoch arrives in two reads, split inside a sentence or packet.
      port.incoming = {bytes.substr(0, bytes.size() / 3), bytes.substr(bytes.size() / 3)};
      ASSERT_EQ(engine.Poll(), 0);
      FixRecord r;
      if (engine.GetInfo(&r) != 0) live.push_back(r);
      now += 1.0;
    }
    // Each epoch completes when the next begins: all but the last are seen live.
    ASSERT_EQ(live.size(), log.epochs.size() - 1);
    for (std::size_t k = 0; k < live.size(); ++k)
      ExpectEpoch(live[k], log.epochs[k], protocol == gpssim::Protocol::Nmea);
    // The receiver falls silent: no failure, but nothing stays valid.
    now += 10.0;
    EXPECT_EQ(engine.Poll(), 0);
    FixRecord quiet;
    EXPECT_EQ(engine.GetInfo(&quiet), 0);
    EXPECT_EQ(quiet.validFlags & (pelmora::kValidPosition | pelmora::kValidTime), 0);
    engine.StopLog();
    engine.Close();

    ASSERT_EQ(engine.Open(type, rec.string().c_str(), nullptr, nullptr), 0);
    for (std::size_t k = 0; k < log.epochs.size(); ++k) {
      ASSERT_EQ(engine.Poll(), 0);
      FixRecord r;
      EXPECT_EQ(engine.GetInfo(&r), 1);
      ExpectEpoch(r, log.epochs[k], protocol == gpssim::Protocol::Nmea);
    }
    EXPECT_EQ(engine.Poll(), kNavPollEndOfLog);
    engine.Close();
    fs::remove(rec);
  }
}

}  // namespace
}  // namespace navlib
