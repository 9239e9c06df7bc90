// NmeaDecoder: epoch boundaries from the data's time, Feed's stopping point, every chunking
// giving identical records, damaged logs, a garbage soak, and simulator round trips.
#include "navlib32/nmea/NmeaDecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "NmeaTestSupport.h"
#include "navlib32/GpsDecoder.h"
#include "navlib32/MakeDecoder.h"
#include "navlib32/tsip/TsipWriter.h"
#include "tools/gpssim/Simulator.h"

namespace navlib::nmea {
namespace {

using testing::DecodeByteByByte;
using testing::DecodePieces;
using testing::DecodeWhole;
using testing::Nmea;
using testing::SameDecoding;

// Three epochs of a GP/GL receiver: GN GSA per constellation, GP and GL GSV, RMC and GGA.
std::string ThreeEpochs() {
  std::string log;
  for (int i = 0; i < 3; ++i) {
    const std::string t = "12000" + std::to_string(i) + ".00";
    log += Nmea("GNRMC," + t + ",A,4807.038,N,01131.000,E,1.0,45.0,010124,2.0,E,A");
    log += Nmea("GPGGA," + t + ",4807.038,N,01131.000,E,1,07,0.9,545.4,M,46.9,M,,");
    log += Nmea("GNGSA,A,3,02,05,12,25,,,,,,,,,1.8,0.9,1.5");
    log += Nmea("GNGSA,A,3,66,67,75,,,,,,,,,,1.8,0.9,1.5");
    log += Nmea("GPGSV,2,1,06,02,50,010,40,05,30,020,38,12,60,100,45,25,15,200,30");
    log += Nmea("GPGSV,2,2,06,29,05,300,,31,10,310,22");
    log += Nmea("GLGSV,1,1,04,66,60,030,35,67,20,040,33,75,40,140,41,76,02,240,");
    log += Nmea("GPZDA," + t + ",01,01,2024,00,00");
  }
  return log;
}

TEST(NmeaDecoder, EpochsFollowTheDataTime) {
  const auto d = DecodeWhole(ThreeEpochs());
  ASSERT_EQ(d.epochs.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    const pelmora::FixRecord& r = d.epochs[i];
    EXPECT_DOUBLE_EQ(r.utcSeconds, 43200.0 + i);
    EXPECT_EQ(r.fixMode, 3);
    EXPECT_EQ(r.satCount, 7);
    EXPECT_FLOAT_EQ(r.pdop, 1.8f);
    EXPECT_NEAR(r.magVariation, -2.0, 1e-12);
    // GSA and GSV after the GGA of this epoch belong to it; 10 in view, 12 slots.
    int inView = 0, used = 0;
    for (const pelmora::SatInfo& s : r.sats) {
      inView += s.prn != 0;
      used += s.used;
    }
    EXPECT_EQ(inView, 10);
    EXPECT_EQ(used, 7);
  }
  EXPECT_EQ(d.counters.framer.checksumFailures, 0u);
  EXPECT_EQ(d.counters.sentences.decoded, 24u);
  EXPECT_EQ(d.counters.sentences.malformed, 0u);
}

TEST(NmeaDecoder, FeedStopsAfterTheSentenceThatCompletesAnEpoch) {
  const std::string first = Nmea("GPGGA,120000,4807.038,N,01131.000,E,1,05,1.0,1.0,M,2.0,M,,") +
                            Nmea("GPGSA,A,3,01,02,03,04,05,,,,,,,,2.0,1.0,1.7");
  const std::string second = Nmea("GPGGA,120001,4807.038,N,01131.000,E,1,05,1.0,1.0,M,2.0,M,,");
  const std::string log = first + second + Nmea("GPGSA,A,3,01,02,03,04,05,,,,,,,,2.0,1.0,1.7");
  NmeaDecoder decoder;
  const auto* bytes = reinterpret_cast<const uint8_t*>(log.data());
  const std::size_t used = decoder.Feed(bytes, log.size(), 0.0);
  // The CR of the new epoch's first sentence completes the old epoch; its LF comes later.
  EXPECT_EQ(used, first.size() + second.size() - 1);
  EXPECT_EQ(log[used - 1], '\r');
  ASSERT_TRUE(decoder.EpochComplete());
  pelmora::FixRecord r;
  decoder.GetFix(r, 0.0);
  EXPECT_DOUBLE_EQ(r.utcSeconds, 43200.0);
  decoder.TakeEpoch();
  EXPECT_FALSE(decoder.EpochComplete());
  EXPECT_EQ(decoder.Feed(bytes + used, log.size() - used, 0.0), log.size() - used);
  EXPECT_FALSE(decoder.EpochComplete());
  decoder.Flush();
  ASSERT_TRUE(decoder.EpochComplete());
  decoder.GetFix(r, 0.0);
  EXPECT_DOUBLE_EQ(r.utcSeconds, 43201.0);
  EXPECT_FLOAT_EQ(r.pdop, 2.0f);
}

TEST(NmeaDecoder, FlushOfAnEmptyDecoderCompletesNothing) {
  NmeaDecoder decoder;
  decoder.Flush();
  EXPECT_FALSE(decoder.EpochComplete());
}

// Logs whose every chunking must give the same records and counters.
std::vector<std::pair<const char*, std::string>> ChunkingLogs() {
  std::string damaged = ThreeEpochs();
  damaged.insert(
      300, std::string("\x00\x10\x03\xff$$", 6));  // binary noise and a doubled dollar mid-sentence
  damaged.insert(damaged.size() / 2, "\r\r\n\n$GPGGA,1200");  // truncated line
  std::string lf = ThreeEpochs();
  for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;)
    lf.erase(at, 1);
  return {{"clean", ThreeEpochs()}, {"damaged", damaged}, {"LF only", lf}};
}

TEST(NmeaDecoder, EveryChunkingGivesIdenticalRecords) {
  for (const auto& [legend, log] : ChunkingLogs()) {
    SCOPED_TRACE(legend);
    const auto whole = DecodeWhole(log);
    ASSERT_FALSE(whole.epochs.empty());
    EXPECT_TRUE(SameDecoding(whole, DecodeByteByByte(log)));
    for (std::size_t cut = 1; cut < log.size(); ++cut) {
      ASSERT_TRUE(SameDecoding(whole, DecodePieces(log, {cut}))) << "split at " << cut;
    }
    std::mt19937 rng(7);
    for (int round = 0; round < 50; ++round) {
      std::vector<std::size_t> cuts;
      for (std::size_t at = 0;;) {
        at += 1 + rng() % 97;
        if (at >= log.size()) break;
        cuts.push_back(at);
      }
      ASSERT_TRUE(SameDecoding(whole, DecodePieces(log, cuts))) << "round " << round;
    }
  }
}

TEST(NmeaDecoder, DamagedLogStillDecodesTheIntactEpochs) {
  const auto clean = DecodeWhole(ThreeEpochs());
  const auto damaged = DecodeWhole(ChunkingLogs()[1].second);
  ASSERT_EQ(damaged.epochs.size(), 3u);
  // The last epoch lies after the damage and comes out unchanged.
  EXPECT_TRUE(testing::SameRecord(clean.epochs[2], damaged.epochs[2]));
  EXPECT_GT(damaged.counters.framer.interrupted, 0u);
}

TEST(NmeaDecoder, ReceiverRebootingMidLog) {
  std::string log;
  log += Nmea("GPRMC,235958,A,4807.038,N,01131.000,E,1.0,45.0,010124,,");
  log += Nmea("GPGSV,1,1,01,02,50,010,40");
  log += "$GPRMC,235959,A,4807.0";         // power lost mid-sentence
  log += Nmea("GPRMC,000012,V,,,,,,,,,");  // restarts with a clock from its RTC
  log += Nmea("GPGGA,,,,,,0,00,,,M,,M,,");
  log += Nmea("GPRMC,000013,A,4807.038,N,01131.000,E,0.0,,010124,,");
  const auto d = DecodeWhole(log);
  ASSERT_EQ(d.epochs.size(), 3u);
  EXPECT_TRUE(d.epochs[0].validFlags & pelmora::kValidPosition);
  EXPECT_DOUBLE_EQ(d.epochs[1].utcSeconds, 12.0);
  EXPECT_FALSE(d.epochs[1].validFlags & pelmora::kValidPosition);
  EXPECT_EQ(d.epochs[1].fixMode, 1);
  EXPECT_TRUE(d.epochs[2].validFlags & pelmora::kValidPosition);
  EXPECT_FALSE(d.epochs[2].validFlags & pelmora::kValidSignal);  // the old sky is gone
}

TEST(NmeaDecoder, TimeJumpingBack_LateSentenceDroppedBigJumpIsNewEpoch) {
  std::string log;
  for (const char* t : {"100000", "100001", "100000", "095000", "095001"}) {
    log += Nmea(std::string("GPGGA,") + t + ",4807.038,N,01131.000,E,1,05,1.0,1.0,M,2.0,M,,");
  }
  const auto d = DecodeWhole(log);
  ASSERT_EQ(d.epochs.size(), 4u);
  EXPECT_DOUBLE_EQ(d.epochs[0].utcSeconds, 36000.0);
  EXPECT_DOUBLE_EQ(d.epochs[1].utcSeconds, 36001.0);
  EXPECT_DOUBLE_EQ(d.epochs[2].utcSeconds, 35400.0);  // a restart ten minutes back
  EXPECT_DOUBLE_EQ(d.epochs[3].utcSeconds, 35401.0);
  EXPECT_EQ(d.counters.sentences.late, 1u);  // the repeated 10:00:00 joined 10:00:01
}

TEST(NmeaDecoder, SentenceTypeLaggingASecond_JoinsTheEpochInProgress) {
  // A receiver whose GGA reports the second before its RMC.
  std::string log;
  for (int s = 11; s < 15; ++s) {
    log += Nmea("GPRMC,1200" + std::to_string(s) + ",A,4807.038,N,01131.000,E,1.0,90.0,010124,,");
    log += Nmea("GPGGA,1200" + std::to_string(s - 1) + ",4807.038,N,01131.000,E,1,05,1.0,5" +
                std::to_string(s) + ".0,M,2.0,M,,");
  }
  const auto d = DecodeWhole(log);
  ASSERT_EQ(d.epochs.size(), 4u);
  for (std::size_t i = 0; i < d.epochs.size(); ++i) {
    EXPECT_DOUBLE_EQ(d.epochs[i].utcSeconds, 43211.0 + static_cast<double>(i));  // never back
    EXPECT_TRUE(d.epochs[i].validFlags & pelmora::kValidGeoidHeight);
    EXPECT_DOUBLE_EQ(d.epochs[i].geoidHeight, 511.0 + static_cast<double>(i));
  }
  EXPECT_EQ(d.counters.sentences.late, 4u);
}

// "Late" and "the same epoch" follow the fix state's one rule: within 1 ms, also across
// midnight, is the same time (neither late nor a new epoch).
TEST(NmeaDecoder, TimesWithinAMillisecond_SameEpochNeitherLateNorNew) {
  std::string log;
  for (const char* t : {"235959.9996", "000000.0000", "235959.9993", "000001.000"}) {
    log += Nmea(std::string("GPGGA,") + t + ",4807.038,N,01131.000,E,1,05,1.0,1.0,M,2.0,M,,");
  }
  const auto d = DecodeWhole(log);
  ASSERT_EQ(d.epochs.size(), 2u);
  EXPECT_DOUBLE_EQ(d.epochs[0].utcSeconds, 86399.9996);
  EXPECT_DOUBLE_EQ(d.epochs[1].utcSeconds, 1.0);
  EXPECT_EQ(d.counters.sentences.late, 0u);
}

TEST(NmeaDecoder, LateSentenceAcrossMidnight) {
  std::string log;
  for (const char* t : {"235959", "000000", "235959", "000001"}) {
    log += Nmea(std::string("GPGGA,") + t + ",4807.038,N,01131.000,E,1,05,1.0,1.0,M,2.0,M,,");
  }
  const auto d = DecodeWhole(log);
  ASSERT_EQ(d.epochs.size(), 3u);
  EXPECT_DOUBLE_EQ(d.epochs[1].utcSeconds, 0.0);
  EXPECT_DOUBLE_EQ(d.epochs[2].utcSeconds, 1.0);
  EXPECT_EQ(d.counters.sentences.late, 1u);
}

TEST(NmeaDecoder, MoreThanTwelveInView_AcrossSystems) {
  std::string log = Nmea("GNGGA,120000,4807.038,N,01131.000,E,1,12,0.6,545.4,M,46.9,M,,");
  log += Nmea("GNGSA,A,3,02,05,,,,,,,,,,,1.1,0.6,0.9,1");
  log += Nmea("GNGSA,A,3,07,,,,,,,,,,,,1.1,0.6,0.9,3");
  log += Nmea("GNGSA,A,3,13,,,,,,,,,,,,1.1,0.6,0.9,4");
  log += Nmea("GPGSV,2,1,08,02,50,010,20,05,30,020,21,08,60,100,45,10,15,200,46,1");
  log += Nmea("GPGSV,2,2,08,13,05,300,47,15,10,310,48,18,11,311,49,20,12,312,50,1");
  log += Nmea("GAGSV,1,1,04,07,10,111,11,09,11,112,51,11,12,113,52,12,13,114,53,7");
  log += Nmea("GBGSV,1,1,03,13,14,115,12,19,15,116,54,21,16,117,55,1");
  const auto d = DecodeWhole(log);
  ASSERT_EQ(d.epochs.size(), 1u);
  const pelmora::FixRecord& r = d.epochs[0];
  EXPECT_EQ(r.satCount, 4);
  int slots = 0, used = 0;
  for (const pelmora::SatInfo& s : r.sats) {
    slots += s.prn != 0;
    used += s.used;
    // The four used ones are in despite weak signals; the rest are the strongest.
    if (s.prn != 0 && !s.used) {
      EXPECT_GE(s.snr, 48);
    }
  }
  EXPECT_EQ(slots, 12);
  EXPECT_EQ(used, 4);
}

TEST(NmeaDecoder, GarbageSoak_NoCrashStateBounded) {
  std::mt19937 rng(12345);
  std::string noise(1 << 20, '\0');
  for (char& c : noise) {
    const unsigned v = rng() % 100;
    // Mostly binary, with NMEA-looking characters to reach deep into the parser.
    c = v < 10 ? '$' : v < 20 ? ',' : v < 25 ? '*' : v < 30 ? '\n' : static_cast<char>(rng());
  }
  // Splice in real sentences with random damage.
  const std::string good = ThreeEpochs();
  for (int i = 0; i < 200; ++i) {
    const std::size_t at = rng() % noise.size();
    const std::size_t from = rng() % good.size();
    noise.replace(at, std::min<std::size_t>(rng() % 200, noise.size() - at),
                  good.substr(from, rng() % 300));
  }
  NmeaDecoder decoder;
  const auto* bytes = reinterpret_cast<const uint8_t*>(noise.data());
  std::size_t at = 0;
  int epochs = 0;
  while (at < noise.size()) {
    const std::size_t n = std::min<std::size_t>(1 + rng() % 4096, noise.size() - at);
    const std::size_t used = decoder.Feed(bytes + at, n, 0.0);
    ASSERT_GE(used, 1u);
    ASSERT_LE(used, n);
    at += used;
    if (decoder.EpochComplete()) {
      pelmora::FixRecord r;
      decoder.GetFix(r, 0.0);
      ASSERT_GE(r.status, 0);
      ASSERT_LT(r.status, pelmora::kReceiverStatusCount);
      ASSERT_GE(r.fixMode, 0);
      ASSERT_LE(r.fixMode, 5);
      ASSERT_TRUE(std::isfinite(r.latitude) && std::fabs(r.latitude) <= 90.0);
      ASSERT_TRUE(std::isfinite(r.longitude) && std::fabs(r.longitude) <= 180.0);
      ASSERT_TRUE(std::isfinite(r.utcSeconds) && r.utcSeconds >= 0.0 && r.utcSeconds < 86401.0);
      for (const pelmora::SatInfo& s : r.sats) {
        ASSERT_GE(s.prn, 0);
        ASSERT_TRUE(s.used == 0 || s.used == 1);
      }
      decoder.TakeEpoch();
      ++epochs;
    }
  }
  const NmeaDecoderCounters c = decoder.Counters();
  EXPECT_EQ(c.framer.bytes, noise.size());
  EXPECT_GT(c.framer.checksumFailures + c.framer.interrupted, 0u);
  EXPECT_EQ(c.framer.sentences,
            c.sentences.decoded + c.sentences.unknown + c.sentences.malformed + c.sentences.late);
  // After the noise a clean epoch decodes as if nothing happened.
  decoder.Flush();
  decoder.TakeEpoch();
  const std::string tail = ThreeEpochs();
  const auto* t = reinterpret_cast<const uint8_t*>(tail.data());
  for (std::size_t off = 0; off < tail.size();)
    off += decoder.Feed(t + off, tail.size() - off, 0.0);
  decoder.Flush();
  pelmora::FixRecord r;
  decoder.GetFix(r, 0.0);
  EXPECT_TRUE(testing::SameRecord(r, DecodeWhole(tail).epochs.back()));
}

TEST(NmeaDecoder, SimulatorRoundTrip) {
  gpssim::SimConfig config;
  config.turnRateDegPerSec = 2.0;
  config.seed = 3;
  gpssim::Simulator sim(config);
  std::vector<gpssim::EncodedEpoch> sent;
  std::string log;
  for (int i = 0; i < 30; ++i) {
    sent.push_back(sim.Next());
    log += sent.back().bytes;
  }
  const auto d = DecodeWhole(log);
  ASSERT_EQ(d.epochs.size(), sent.size());
  EXPECT_EQ(d.counters.framer.checksumFailures, 0u);
  EXPECT_EQ(d.counters.sentences.malformed, 0u);
  for (std::size_t i = 0; i < sent.size(); ++i) {
    SCOPED_TRACE(i);
    const gpssim::Epoch& e = sent[i].epoch;
    const pelmora::FixRecord& r = d.epochs[i];
    EXPECT_NEAR(r.utcSeconds, e.utcSecondsOfDay, 0.01);
    EXPECT_NEAR(r.latitude, e.latitudeDeg, 1e-6);
    EXPECT_NEAR(r.longitude, e.longitudeDeg, 1e-6);
    EXPECT_NEAR(r.geoidHeight, e.geoidHeightMetres, 0.01);
    EXPECT_NEAR(r.ellipsoidHeight, e.ellipsoidHeightMetres, 0.06);
    EXPECT_NEAR(r.speed, e.speedMps, 0.01);
    EXPECT_NEAR(r.trueHeading, e.trueHeadingDeg, 0.1);
    EXPECT_NEAR(r.magVariation, e.magVariationDeg, 0.1);
    EXPECT_NEAR(r.pdop, e.pdop, 0.01);
    EXPECT_EQ(r.fixMode, e.fixMode);
    EXPECT_EQ(r.satCount, e.usedCount);
    std::size_t inView = 0;
    for (const pelmora::SatInfo& s : r.sats) {
      if (s.prn == 0) continue;
      ++inView;
      bool found = false;
      for (const gpssim::SimSat& x : e.sats) {
        if (x.prn != s.prn) continue;
        found = true;
        EXPECT_EQ(s.used, x.used ? 1 : 0);
        EXPECT_EQ(s.elevation, std::lround(x.elevationDeg));
        EXPECT_EQ(s.snr, std::lround(x.snrDbHz));
      }
      EXPECT_TRUE(found) << s.prn;
    }
    EXPECT_EQ(inView, std::min<std::size_t>(e.sats.size(), 12));
  }
}

TEST(NmeaDecoder, SimulatorWithFaults_DamagedSentencesAreCountedNotApplied) {
  gpssim::SimConfig config;
  config.faults.badChecksumEvery = 7;
  config.faults.noiseEvery = 3;
  gpssim::Simulator sim(config);
  std::string log;
  for (int i = 0; i < 40; ++i)
    log += sim.Next().bytes;
  const auto d = DecodeWhole(log);
  EXPECT_GE(d.epochs.size(), 39u);
  EXPECT_GT(d.counters.framer.checksumFailures, 0u);
  for (const pelmora::FixRecord& r : d.epochs) {
    EXPECT_NEAR(r.latitude, config.latitudeDeg, 0.1);
  }
}

TEST(GpsDecoderFactory, DetectsProtocolAndMakesNmeaDecoder) {
  const std::string nmea = ThreeEpochs();
  EXPECT_EQ(DetectProtocol(reinterpret_cast<const uint8_t*>(nmea.data()), nmea.size()),
            Protocol::Nmea);
  std::string tsip;
  for (int i = 0; i < 20; ++i)
    tsip::TsipWriter(0x4A).PutZeros(20).AppendFrame(tsip);
  EXPECT_EQ(DetectProtocol(reinterpret_cast<const uint8_t*>(tsip.data()), tsip.size()),
            Protocol::Tsip);
  EXPECT_EQ(DetectProtocol(nullptr, 0), Protocol::Nmea);
  EXPECT_NE(MakeDecoder(Protocol::Nmea), nullptr);
}

}  // namespace
}  // namespace navlib::nmea

namespace navlib::nmea {
namespace {

TEST(NmeaDecoder, ReceiverFallingSilent_FieldsBecomeInvalid) {
  const std::string log =
      testing::Nmea("GPGGA,120000,4807.038,N,01131.000,E,1,05,1.0,1.0,M,2.0,M,,") +
      testing::Nmea("GPGGA,120001,4807.038,N,01131.000,E,1,05,1.0,1.0,M,2.0,M,,");
  NmeaDecoder decoder;
  const auto* bytes = reinterpret_cast<const uint8_t*>(log.data());
  for (std::size_t at = 0; at < log.size();)
    at += decoder.Feed(bytes + at, log.size() - at, 100.0);
  ASSERT_TRUE(decoder.EpochComplete());
  pelmora::FixRecord r;
  decoder.GetFix(r, 101.0);
  EXPECT_TRUE(r.validFlags & pelmora::kValidPosition);
  EXPECT_EQ(r.status, static_cast<int16_t>(pelmora::ReceiverStatus::DoingFixes));
  // Nothing more arrives: after a few seconds only the status is valid, and it says so.
  decoder.GetFix(r, 100.0 + FixState::kStaleSeconds + 1.0);
  EXPECT_EQ(r.validFlags, pelmora::kValidStatus);
  EXPECT_EQ(r.status, static_cast<int16_t>(pelmora::ReceiverStatus::NoData));
  // Garbage is no sign of life either.
  const std::string noise(500, '\x7f');
  decoder.TakeEpoch();
  decoder.Feed(reinterpret_cast<const uint8_t*>(noise.data()), noise.size(), 110.0);
  decoder.GetFix(r, 110.0);
  EXPECT_EQ(r.status, static_cast<int16_t>(pelmora::ReceiverStatus::NoData));
}

TEST(NmeaDecoder, DateKeptForGpx) {
  const std::string log = testing::Nmea("GPRMC,235959,A,4807.038,N,01131.000,E,0.0,,311224,,") +
                          testing::Nmea("GPRMC,000000,A,4807.038,N,01131.000,E,0.0,,010125,,");
  const auto d = testing::DecodeWhole(log);
  ASSERT_EQ(d.epochs.size(), 2u);
  NmeaDecoder decoder;
  decoder.Feed(reinterpret_cast<const uint8_t*>(log.data()), log.size(), 0.0);
  int y = 0, m = 0, day = 0;
  ASSERT_TRUE(decoder.GetDate(y, m, day, 0.0));
  EXPECT_EQ(y * 10000 + m * 100 + day, 20241231);
  decoder.TakeEpoch();
  decoder.Flush();
  ASSERT_TRUE(decoder.GetDate(y, m, day, 0.0));
  EXPECT_EQ(y * 10000 + m * 100 + day, 20250101);
}

}  // namespace
}  // namespace navlib::nmea
