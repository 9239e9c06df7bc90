// The TSIP decoder end to end: packets built here → records per epoch.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "RecordChecks.h"
#include "TsipTestSupport.h"
#include "navlib32/MakeDecoder.h"
#include "navlib32/tsip/TsipDecoder.h"

namespace {

using namespace tsiptest;
using navlib::tsip::TsipDecoder;
using pelmora::FixRecord;

using recordcheck::Has;

using recordcheck::FindSat;

// A Lassen iQ in superpacket mode: 8F-20 each second, 6D and 5C after some of them.
std::vector<uint8_t> SuperPacketStream() {
  std::vector<uint8_t> s;
  const int week = 1403, leap = 14;
  for (int i = 0; i < 4; ++i) {
    const uint32_t towMs = 25107000 + 1000 * i;
    Append(s, P8F20(48.1, 11.5 + 0.0001 * i, 520.25, 3.0, 4.0, towMs, 0x00, leap, week));
    if (i == 1) {
      Append(s, P41(25108.451, week, leap));
      Append(s, P6D(4, 2.5, {18, 22, 9}));
      for (int ch = 0; ch < 4; ++ch) {
        Append(s, P5C(std::vector<int>{18, 22, 9, 3}[ch], ch, 30.0 + ch, 25108.529, 20.0 + ch,
                      100.4 + ch));
      }
    }
  }
  return s;
}

TEST(TsipDecoder, SuperPacketFixesMakeOneEpochPerSecond) {
  TsipDecoder decoder;
  const auto records = Decode(decoder, SuperPacketStream());
  // 25093, 25094 (twice: reported again once its satellites arrived), 25095, 25096
  ASSERT_EQ(records.size(), 5u);
  const double times[] = {25093.0, 25094.0, 25094.0, 25095.0, 25096.0};
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_DOUBLE_EQ(records[i].utcSeconds, times[i]) << i;
    EXPECT_TRUE(Has(records[i], pelmora::kValidTime | pelmora::kValidPosition |
                                    pelmora::kValidEllipsoidHeight | pelmora::kValidSpeed |
                                    pelmora::kValidHeading | pelmora::kValidFixMode))
        << i;
    EXPECT_FALSE(records[i].validFlags & pelmora::kValidGeoidHeight) << "no geoid model";
    EXPECT_EQ(records[i].fixMode, 3) << i;
  }
  const FixRecord& r = records[0];
  EXPECT_NEAR(r.latitude, 48.1, 1e-7);
  EXPECT_NEAR(r.longitude, 11.5, 1e-7);
  EXPECT_DOUBLE_EQ(r.ellipsoidHeight, 520.25);
  EXPECT_NEAR(r.speed, 5.0, 1e-9);
  EXPECT_NEAR(r.trueHeading, 36.869897645844, 1e-9);
  EXPECT_EQ(decoder.LeapSeconds(), 14);
  EXPECT_EQ(decoder.GpsWeek(), 1403);
  int y = 0, m = 0, d = 0;
  EXPECT_TRUE(decoder.GetDate(y, m, d, 100.0 + records.size()));
  EXPECT_EQ(y * 10000 + m * 100 + d, 20061126);

  // The second report of 25094 carries the satellites measured after its fix.
  const FixRecord& sky = records[2];
  EXPECT_TRUE(Has(sky, pelmora::kValidGeometry | pelmora::kValidSignal));
  EXPECT_FLOAT_EQ(sky.pdop, 2.5f);
  EXPECT_EQ(sky.satCount, 3);
  const auto* s22 = FindSat(sky, 22);
  ASSERT_NE(s22, nullptr);
  EXPECT_EQ(s22->used, 1);
  EXPECT_EQ(s22->snr, 31);
  EXPECT_EQ(s22->elevation, 21);
  EXPECT_EQ(s22->azimuth, 101);  // 101.4 rounded
  const auto* s3 = FindSat(sky, 3);
  ASSERT_NE(s3, nullptr);
  EXPECT_EQ(s3->used, 0);
  EXPECT_EQ(decoder.Counters().badLength, 0u);
}

TEST(TsipDecoder, EverySplitOfTheStreamGivesTheSameRecords) {
  std::vector<uint8_t> stream = SuperPacketStream();
  stream.insert(stream.begin(), {0x00, 0x10, 0x03, 0x55});  // noise up front
  TsipDecoder whole;
  const auto expected = Decode(whole, stream);
  ASSERT_FALSE(expected.empty());
  for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{64}}) {
    TsipDecoder d;
    const auto got = Decode(d, stream, chunk);
    ASSERT_EQ(got.size(), expected.size()) << chunk;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(std::memcmp(&got[i], &expected[i], sizeof(FixRecord)), 0) << chunk << " " << i;
    }
  }
  for (std::size_t split = 1; split < stream.size(); ++split) {
    TsipDecoder d;
    std::vector<FixRecord> got;
    double now = 100.0;
    auto feed = [&](const uint8_t* p, std::size_t n) {
      std::size_t off = 0;
      while (off < n) {
        off += d.Feed(p + off, n - off, now);
        if (d.EpochComplete()) {
          got.emplace_back();
          d.GetFix(got.back(), now);
          d.TakeEpoch();
          now += 1.0;
        }
      }
    };
    feed(stream.data(), split);
    feed(stream.data() + split, stream.size() - split);
    d.Flush();
    if (d.EpochComplete()) {
      got.emplace_back();
      d.GetFix(got.back(), now);
    }
    ASSERT_EQ(got.size(), expected.size()) << split;
    for (std::size_t i = 0; i < got.size(); ++i) {
      ASSERT_EQ(std::memcmp(&got[i], &expected[i], sizeof(FixRecord)), 0) << split << " " << i;
    }
  }
}

TEST(TsipDecoder, DoublePrecisionCycleWithClockReport) {
  // 84 + 56 + 6D + 82 each second; a 0x41 after the second fix makes an epoch of its own
  // that takes the 6D following it.
  std::vector<uint8_t> s;
  Append(s, P84(20.6284, -87.0675, 12.89, 446990.0));
  Append(s, P56(0.0, 0.0, 0.0, 446990.0));
  Append(s, P6D(4, 2.9, {30, 14, 3, 21, 7}));
  Append(s, P82(2));
  Append(s, P84(20.6285, -87.0675, 12.90, 446991.0));
  Append(s, P56(1.0, -1.0, 0.0, 446991.0));
  Append(s, P41(446991.531, 1406, 14.0));
  Append(s, P46(0x00));
  Append(s, P6D(3, 5.9, {30, 14, 3}));
  Append(s, P82(3));
  Append(s, P84(20.6286, -87.0675, 12.91, 446992.0));
  Append(s, P56(0.0, 0.0, 0.0, 446992.0));
  TsipDecoder decoder;
  const auto r = Decode(decoder, s);
  ASSERT_EQ(r.size(), 4u);
  // UTC offset unknown until the 0x41: 18 s assumed, then 14 s
  EXPECT_DOUBLE_EQ(r[0].utcSeconds, 14972.0);
  EXPECT_DOUBLE_EQ(r[1].utcSeconds, 14973.0);
  EXPECT_NEAR(r[2].utcSeconds, 14977.531, 1e-3);  // a float time of week
  EXPECT_DOUBLE_EQ(r[3].utcSeconds, 14978.0);
  EXPECT_EQ(r[0].fixMode, 3);
  EXPECT_FLOAT_EQ(r[0].pdop, 2.9f);
  EXPECT_NEAR(r[1].speed, std::sqrt(2.0), 1e-6);
  EXPECT_NEAR(r[1].trueHeading, 135.0, 1e-6);
  EXPECT_EQ(r[1].fixMode, 3) << "dimension of the last 0x6D";
  // the clock epoch: 2D by its 0x6D, with DGPS from the 0x82 that follows
  EXPECT_EQ(r[2].fixMode, 4);
  EXPECT_FLOAT_EQ(r[2].pdop, 5.9f);
  EXPECT_EQ(r[2].status, static_cast<int16_t>(pelmora::ReceiverStatus::DoingFixes));
  EXPECT_TRUE(Has(r[2], pelmora::kValidStatus));
  EXPECT_EQ(r[3].fixMode, 4);
  EXPECT_NEAR(r[3].latitude, 20.6286, 1e-9);
  EXPECT_EQ(decoder.LeapSeconds(), 14);
}

TEST(TsipDecoder, SatellitesBeforeAFixMakeSatelliteEpochs) {
  std::vector<uint8_t> s;
  Append(s, P6D(4, 3.8, {22, 9, 18, 11}));
  for (int ch = 0; ch < 3; ++ch) {
    Append(s, P5C(std::vector<int>{19, 18, 1}[ch], ch + 1, 29, 25060.584, 26, 249));
  }
  Append(s, P41(25063.477, 1403, 14));
  Append(s, P6D(4, 2.9, {18, 19}));
  for (int ch = 0; ch < 3; ++ch) {
    Append(s, P5C(std::vector<int>{19, 18, 1}[ch], ch + 1, 30, 25066.588, 26, 249));
  }
  TsipDecoder decoder;
  const auto r = Decode(decoder, s);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_NEAR(r[0].utcSeconds, 25042.584, 1e-3);  // 18 s assumed before the first 0x41
  EXPECT_NEAR(r[1].utcSeconds, 25049.477, 1e-3);
  EXPECT_NEAR(r[2].utcSeconds, 25052.588, 1e-3);
  EXPECT_FALSE(r[0].validFlags & pelmora::kValidPosition);
  EXPECT_TRUE(Has(r[0], pelmora::kValidGeometry | pelmora::kValidSignal));
  EXPECT_EQ(r[0].satCount, 4);  // the first 0x6D's list; of 19, 18, 1 only 18 is in it
  EXPECT_EQ(FindSat(r[0], 18)->used, 1);
  EXPECT_EQ(FindSat(r[0], 19)->used, 0);
  EXPECT_EQ(FindSat(r[2], 19)->used, 1);
  EXPECT_EQ(FindSat(r[2], 19)->snr, 30);
}

TEST(TsipDecoder, TimingReceiverInOverdeterminedClockMode) {
  std::vector<uint8_t> s;
  for (uint32_t tow = 72888; tow < 72891; ++tow) {
    Append(s, P8FAB(tow, 2085, 18));
    Append(s, P8FAC(7, 0x00, 41.3394, -75.7061, 218.7));
    if (tow == 72889) {
      Append(s, P6D(0x08 | 5, 0.0, {16, 14, 29}));
      Append(s, P5C(16, 0, 49, 72889.0, 31, 198));
      Append(s, P46(0xBB, 0x01));
    }
  }
  TsipDecoder decoder;
  const auto r = Decode(decoder, s);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_DOUBLE_EQ(r[0].utcSeconds, 72870.0);
  EXPECT_DOUBLE_EQ(r[1].utcSeconds, 72871.0);
  for (const auto& rec : r) {
    EXPECT_EQ(rec.fixMode, 3);
    EXPECT_NEAR(rec.latitude, 41.3394, 1e-9);
    EXPECT_DOUBLE_EQ(rec.ellipsoidHeight, 218.7);
  }
  // The satellites solve for time only: none is used for a position.
  EXPECT_EQ(r[1].satCount, 0);
  ASSERT_NE(FindSat(r[1], 16), nullptr);
  EXPECT_EQ(FindSat(r[1], 16)->used, 0);
  EXPECT_EQ(r[1].status, static_cast<int16_t>(pelmora::ReceiverStatus::DoingFixes));
}

TEST(TsipDecoder, DateOfEachFixAcrossUtcMidnightAtGpsSecond86414AndBack) {
  const std::pair<uint32_t, int> fixes[] = {
      {86413999, 20061126}, {86414000, 20061127}, {172814000, 20061128}, {86413999, 20061126}};
  for (TsipDecoder decoder; const auto& [towMs, date] : fixes) {
    Decode(decoder, Wire(P8F20(48.1, 11.5, 520.0, 0, 0, towMs, 0x00, 14, 1403)));
    int y = 0, m = 0, d = 0;
    EXPECT_TRUE(decoder.GetDate(y, m, d, 101.0) && y * 10000 + m * 100 + d == date) << towMs;
  }
}

TEST(TsipDecoder, UtcTimesAreNotShiftedAgain) {
  // 0x8F-AB flag bit 0: the time of week is UTC already
  std::vector<uint8_t> s;
  Append(s, P8FAB(72891, 2085, 18, 0x01));
  Append(s, P8FAC(4, 0x00, 1.0, 2.0, 3.0));
  TsipDecoder timing;
  auto r = Decode(timing, s);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_DOUBLE_EQ(r[0].utcSeconds, 72891.0);
  // I/O options with UTC times: the 0x84 time of fix is taken as it is; the 0x5C measurement
  // time stays GPS time (3618.4 GPS is 3600.4 UTC)
  s.clear();
  Append(s, std::move(Payload(0x55).PutU8(0x12).PutU8(0x02).PutU8(0x01).PutU8(0x00)));
  Append(s, P84(1.0, 2.0, 3.0, 3600.0));
  Append(s, P5C(7, 0, 40, 3618.4, 10, 20));
  TsipDecoder classic;
  r = Decode(classic, s);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_DOUBLE_EQ(r[0].utcSeconds, 3600.0);
  EXPECT_NE(FindSat(r[0], 7), nullptr);
}

TEST(TsipDecoder, HealthCodesBecomeReceiverStatus) {
  using pelmora::ReceiverStatus;
  const struct {
    unsigned code;
    ReceiverStatus status;
    bool fix;
  } cases[] = {
      {0x00, ReceiverStatus::DoingFixes, true},
      {0x01, ReceiverStatus::NoGpsTime, false},
      {0x03, ReceiverStatus::PdopTooHigh, false},
      {0x08, ReceiverStatus::NoUsableSats, false},
      {0x09, ReceiverStatus::OneUsableSat, false},
      {0x0A, ReceiverStatus::TwoUsableSats, false},
      {0x0B, ReceiverStatus::ThreeUsableSats, false},
      {0x0C, ReceiverStatus::ChosenSatUnusable, false},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> s;
    Append(s, P84(10.0, 20.0, 30.0, 1000.0));
    Append(s, P41(1000.5, 2100, 18));
    Append(s, P46(c.code));
    TsipDecoder decoder;
    const auto r = Decode(decoder, s);
    ASSERT_EQ(r.size(), 2u) << c.code;
    EXPECT_EQ(r[1].status, static_cast<int16_t>(c.status)) << c.code;
    EXPECT_TRUE(Has(r[1], pelmora::kValidStatus)) << c.code;
    EXPECT_EQ((r[1].validFlags & pelmora::kValidPosition) != 0, c.fix) << c.code;
  }
}

TEST(TsipDecoder, HealthWithoutGpsTimeStillCompletesEpochs) {
  TsipDecoder decoder;
  const std::vector<uint8_t> health = Wire(P46(0x01));
  const std::vector<uint8_t> levels =
      Wire(std::move(Payload(0x47).PutU8(1).PutU8(12).PutBeF32(33.0)));
  EXPECT_EQ(decoder.Feed(health.data(), health.size(), 10.0), health.size());
  EXPECT_EQ(decoder.Feed(levels.data(), levels.size(), 11.0), levels.size());
  EXPECT_FALSE(decoder.EpochComplete());
  // the next report, 2 s after the epoch began, completes it
  EXPECT_EQ(decoder.Feed(health.data(), health.size(), 12.0), health.size());
  ASSERT_TRUE(decoder.EpochComplete());
  FixRecord r{};
  decoder.GetFix(r, 12.0);
  EXPECT_EQ(r.status, static_cast<int16_t>(pelmora::ReceiverStatus::NoGpsTime));
  EXPECT_TRUE(Has(r, pelmora::kValidStatus | pelmora::kValidSignal));
  EXPECT_FALSE(r.validFlags & pelmora::kValidTime);
  ASSERT_NE(FindSat(r, 12), nullptr);
  EXPECT_EQ(FindSat(r, 12)->snr, 33);
}

TEST(TsipDecoder, DamagedPacketsAreRejected) {
  std::vector<uint8_t> s;
  // 0x84 one byte short, 0x8F-20 with 60 bytes: both dropped, the good 0x84 kept
  std::vector<uint8_t> shortPos = P84(1.0, 2.0, 3.0, 50.0).Packet();
  shortPos.pop_back();
  Append(s, Wire(shortPos));
  std::vector<uint8_t> odd = P8F20(5, 5, 5, 0, 0, 60000, 0, 18, 2100).Packet();
  odd.resize(61);
  Append(s, Wire(odd));
  Append(s, P84(7.0, 8.0, 9.0, 51.0));
  Append(s, Wire(std::vector<uint8_t>{0x13, 0x22}));  // well framed, not decoded
  TsipDecoder decoder;
  const auto r = Decode(decoder, s);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_NEAR(r[0].latitude, 7.0, 1e-12);
  EXPECT_EQ(decoder.Counters().badLength, 2u);
  EXPECT_EQ(decoder.Counters().unknown, 1u);
  EXPECT_EQ(decoder.Counters().decoded, 1u);
}

TEST(TsipDecoder, PacketsWithImpossibleValuesAreDropped) {
  const struct {
    const char* legend;
    Payload packet;
  } cases[] = {
      {"time of week beyond the week", P84(1.0, 2.0, 3.0, 604801.0)},
      {"negative time of week", P84(1.0, 2.0, 3.0, -5.0)},
      {"not a number", P84(1.0, 2.0, 3.0, NAN)},
      {"latitude off the globe", P84(91.0, 2.0, 3.0, 50.0)},
      {"height in deep space", P84(1.0, 2.0, 3e9, 50.0)},
      {"velocity time", P56(1.0, 1.0, 0.0, 1e12)},
      {"superpacket time", P8F20(1, 2, 3, 0, 0, 700000000, 0, 18, 2100)},
      {"timing packet", P8FAB(604900, 2100, 18)},
      {"tracking time", P5C(5, 0, 40, 1e9, 10, 10)},
      {"clock report", P41(1e7, 2100, 18)},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> s;
    Append(s, P84(10.0, 20.0, 30.0, 40.0));
    Append(s, c.packet);
    TsipDecoder decoder;
    const auto r = Decode(decoder, s);
    ASSERT_EQ(r.size(), 1u) << c.legend;
    EXPECT_DOUBLE_EQ(r[0].utcSeconds, 22.0) << c.legend;
    EXPECT_NEAR(r[0].latitude, 10.0, 1e-12) << c.legend;
    EXPECT_EQ(decoder.Counters().implausible, 1u) << c.legend;
  }
}

TEST(TsipDecoder, EcefAndSinglePrecisionPositions) {
  std::vector<uint8_t> s;
  Append(s, P83(6378137.0 + 250.0, 0.0, 0.0, 100.0));
  Append(s, P4A(-45.5, 170.25, 99.0, 101.0));
  TsipDecoder decoder;
  const auto r = Decode(decoder, s);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_NEAR(r[0].latitude, 0.0, 1e-12);
  EXPECT_NEAR(r[0].ellipsoidHeight, 250.0, 1e-6);
  EXPECT_NEAR(r[1].latitude, -45.5, 1e-5);
  EXPECT_NEAR(r[1].longitude, 170.25, 1e-5);
}

TEST(TsipDecoder, EcefVelocityAndMultiGnssSatellites) {
  std::vector<uint8_t> s;
  Append(s, P84(0.0, 90.0, 10.0, 500.0));
  // at 0 N 90 E east is −X and north is +Z
  Append(s,
         std::move(Payload(0x43).PutBeF32(-3.0).PutBeF32(0.0).PutBeF32(4.0).PutBeF32(0.0).PutBeF32(
             500.0)));
  Append(s, std::move(Payload(0x5D)
                          .PutU8(101)
                          .PutU8(0)
                          .PutU8(1)
                          .PutU8(1)
                          .PutBeF32(40.0)
                          .PutBeF32(500.2)
                          .PutBeF32(0.5)
                          .PutBeF32(1.0)
                          .PutZeros(5)
                          .PutU8(3)));
  Append(s, std::move(Payload(0x5D)
                          .PutU8(70)
                          .PutU8(1)
                          .PutU8(1)
                          .PutU8(0)
                          .PutBeF32(35.0)
                          .PutBeF32(500.2)
                          .PutBeF32(0.3)
                          .PutBeF32(2.0)
                          .PutZeros(5)
                          .PutU8(1)));
  TsipDecoder decoder;
  const auto r = Decode(decoder, s);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_NEAR(r[0].speed, 5.0, 1e-5);
  EXPECT_NEAR(r[0].trueHeading, 36.869897645844, 1e-4);  // 3 m/s east, 4 north
  const auto* galileo = FindSat(r[0], 305);              // TSIP 101 = Galileo 5
  ASSERT_NE(galileo, nullptr);
  EXPECT_EQ(galileo->used, 1);
  const auto* glonass = FindSat(r[0], 70);
  ASSERT_NE(glonass, nullptr);
  EXPECT_EQ(glonass->used, 0);
  EXPECT_EQ(r[0].satCount, 1);
}

TEST(TsipDecoder, MslHeightsWhenTheIoOptionsSaySo) {
  std::vector<uint8_t> s;
  Append(s, std::move(Payload(0x55).PutU8(0x16).PutU8(0x02).PutU8(0).PutU8(0)));
  Append(s, P84(1.0, 2.0, 42.0, 10.0));
  TsipDecoder decoder;
  const auto r = Decode(decoder, s);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_TRUE(Has(r[0], pelmora::kValidGeoidHeight));
  EXPECT_FALSE(r[0].validFlags & pelmora::kValidEllipsoidHeight);
  EXPECT_DOUBLE_EQ(r[0].geoidHeight, 42.0);
}

TEST(TsipDecoder, TsipV1Cycle) {
  std::vector<uint8_t> s;
  for (int i = 0; i < 2; ++i) {
    const uint32_t tow = 302400 + i;
    Append(s, A100(tow));
    Append(s, A111(52.5, 13.4, 80.0, 2, -2.0));
    for (int n = 1; n <= 2; ++n)
      Append(s, A200(n, 1, 10 + n, 90.0 * n, 30.0 + n, 40.0 + n, n == 1 ? 0x03 : 0x01, tow));
    Append(s, A311(0, 1.9));
  }
  std::vector<uint8_t> badSum = V1Payload(0xA1, 0x11, std::vector<uint8_t>(50, 0));
  badSum.back() ^= 0xFF;
  Append(s, Wire(badSum));
  TsipDecoder decoder;
  const auto r = Decode(decoder, s);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_DOUBLE_EQ(r[0].utcSeconds, 43182.0);  // 302400 − 18 s, day 3 of the week
  EXPECT_DOUBLE_EQ(r[1].utcSeconds, 43183.0);
  EXPECT_DOUBLE_EQ(r[1].latitude, 52.5);
  EXPECT_DOUBLE_EQ(r[1].ellipsoidHeight, 80.0);
  EXPECT_NEAR(r[1].speed, 2.0, 1e-6);
  EXPECT_NEAR(r[1].trueHeading, 180.0, 1e-6);
  EXPECT_EQ(r[1].fixMode, 3);
  EXPECT_FLOAT_EQ(r[1].pdop, 1.9f);
  EXPECT_EQ(r[1].satCount, 1);
  ASSERT_NE(FindSat(r[1], 11), nullptr);
  EXPECT_EQ(FindSat(r[1], 11)->used, 1);
  EXPECT_EQ(FindSat(r[1], 12)->used, 0);
  EXPECT_EQ(FindSat(r[1], 12)->azimuth, 180);
  EXPECT_EQ(decoder.Counters().badChecksum, 1u);
}

TEST(TsipDecoder, SilenceTurnsTheFixInvalid) {
  std::vector<uint8_t> s;
  Append(s, P84(1.0, 2.0, 3.0, 10.0));
  TsipDecoder decoder;
  const auto r = Decode(decoder, s);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_TRUE(Has(r[0], pelmora::kValidPosition));
  FixRecord later{};
  decoder.GetFix(later, 100.0 + 60.0);
  EXPECT_EQ(later.validFlags & ~pelmora::kValidStatus, 0);
  EXPECT_EQ(later.status, static_cast<int16_t>(pelmora::ReceiverStatus::NoData));
}

TEST(TsipDecoder, GarbageSoakKeepsDecodingTheGoodPackets) {
  std::mt19937 rng(99);
  std::uniform_int_distribution<int> byte(0, 255);
  std::vector<uint8_t> s;
  int fixes = 0;
  for (int i = 0; i < 300; ++i) {
    const int noise = byte(rng) % 40;
    for (int k = 0; k < noise; ++k) {
      const int b = byte(rng);
      s.push_back(b < 30 ? 0x10 : static_cast<uint8_t>(byte(rng)));
    }
    // noise may end inside a frame that swallows the next start; a closing DLE ETX
    // terminates it, as a receiver's next packet would
    s.push_back(0x10);
    s.push_back(0x03);
    Append(s, P84(10.0 + i * 1e-4, 20.0, 30.0, 1000.0 + i));
    ++fixes;
  }
  TsipDecoder decoder;
  const auto r = Decode(decoder, s, 13);
  // Noise may form a frame now and then that passes its length check; every real fix is kept.
  EXPECT_GE(r.size(), static_cast<std::size_t>(fixes));
  std::size_t real = 0;
  for (const auto& rec : r) {
    if (rec.validFlags & pelmora::kValidPosition && std::fabs(rec.longitude - 20.0) < 1e-9) ++real;
  }
  EXPECT_GE(real, static_cast<std::size_t>(fixes - 2));
  EXPECT_GT(decoder.FramerCounters().skipped, 0u);

  // Pure noise: no crash, nothing but bounded counters.
  TsipDecoder noiseOnly;
  std::vector<uint8_t> noise(100000);
  for (auto& b : noise)
    b = static_cast<uint8_t>(byte(rng) < 25 ? 0x10 : byte(rng));
  const auto nr = Decode(noiseOnly, noise, 97);
  EXPECT_EQ(noiseOnly.FramerCounters().bytes, noise.size());
  for (const auto& rec : nr) {
    EXPECT_GE(rec.utcSeconds, 0.0);
    EXPECT_LT(rec.utcSeconds, 86400.0);
  }
}

TEST(TsipDecoder, FactoryAndDetection) {
  auto decoder = navlib::MakeDecoder(navlib::Protocol::Tsip);
  ASSERT_NE(decoder, nullptr);
  std::vector<uint8_t> s = SuperPacketStream();
  EXPECT_EQ(navlib::DetectProtocol(s.data(), s.size()), navlib::Protocol::Tsip);
  const auto r = Decode(*decoder, s);
  EXPECT_EQ(r.size(), 5u);
}

}  // namespace
