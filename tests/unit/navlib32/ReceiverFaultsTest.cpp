// Behaviours real receivers showed that the recorded development logs barely exercise: one
// hand-made case per class, in the receiver's own shape, asserting the records that come out.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "NmeaTestSupport.h"
#include "RecordChecks.h"
#include "TsipTestSupport.h"
#include "navlib32/tsip/TsipDecoder.h"

namespace {

using navlib::nmea::testing::DecodeByteByByte;
using navlib::nmea::testing::DecodeWhole;
using navlib::nmea::testing::Nmea;
using navlib::tsip::TsipDecoder;
using pelmora::FixRecord;
using pelmora::ReceiverStatus;
using namespace tsiptest;

constexpr int kWeek = 2300;
constexpr int kLeap = 18;

using recordcheck::Has;

using recordcheck::FindSat;

// 1. A receiver whose ZDA runs two seconds ahead of its fix sentences (and whose first
// sentence is such a ZDA): every fix is reported under its own second with its own position.
TEST(ReceiverFaults, TimeOnlySentenceAheadOfTheFixOwnsNoEpoch) {
  std::string log;
  for (int s = 0; s < 4; ++s) {
    const std::string t = "12000" + std::to_string(s) + ".00";
    const std::string ahead = "12000" + std::to_string(s + 2) + ".00";
    const std::string lat = "480" + std::to_string(s) + ".000";
    log += Nmea("GPZDA," + ahead + ",15,03,2024,00,00");
    log += Nmea("GPGGA," + t + "," + lat + ",N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    log += Nmea("GPRMC," + t + ",A," + lat + ",N,01131.000,E,1.0,45.0,150324,,,A");
    log += Nmea("GPGST," + ahead + ",2.0,1.5,1.0,45.0,1.2,1.1,2.5");
    log += Nmea("GPGSA,A,3,02,05,12,25,,,,,,,,,1.8,0.9,1.5");
  }
  const auto d = DecodeWhole(log);
  ASSERT_EQ(d.epochs.size(), 4u);
  for (int s = 0; s < 4; ++s) {
    const FixRecord& r = d.epochs[s];
    EXPECT_DOUBLE_EQ(r.utcSeconds, 43200.0 + s) << s;
    EXPECT_NEAR(r.latitude, 48.0 + s / 60.0, 1e-9) << s;
    EXPECT_TRUE(Has(r, pelmora::kValidPosition | pelmora::kValidFixMode)) << s;
  }
  EXPECT_EQ(d.counters.sentences.late, 0u);

  // Without a fix the GGA carries no time: the ZDA's time then makes the epochs.
  std::string noFix;
  for (int s = 0; s < 3; ++s) {
    noFix += Nmea("GPGGA,,,,,,0,00,,,M,,M,,");
    noFix += Nmea("GPZDA,12000" + std::to_string(s) + ".00,15,03,2024,00,00");
  }
  const auto z = DecodeWhole(noFix);
  ASSERT_EQ(z.epochs.size(), 3u);
  EXPECT_DOUBLE_EQ(z.epochs[2].utcSeconds, 43202.0);
  EXPECT_TRUE(Has(z.epochs[2], pelmora::kValidTime));
}

// 2. A receiver that numbers Galileo 100 + svid under its GA talker and in GSA with system id 3:
// the numbers come into Galileo's range, GSA and GSV name the same satellites, none is lost.
TEST(ReceiverFaults, GalileoNumbered101To136) {
  std::string log = Nmea("GNGGA,120000.00,4807.038,N,01131.000,E,1,05,0.9,545.4,M,46.9,M,,");
  log += Nmea("GNGSA,A,3,02,05,,,,,,,,,,,1.5,0.9,1.2,1");
  log += Nmea("GNGSA,A,3,101,105,336,,,,,,,,,,1.5,0.9,1.2,3");
  log += Nmea("GPGSV,1,1,02,02,50,010,40,05,30,020,38,1");
  log += Nmea("GAGSV,1,1,04,101,45,090,41,105,35,180,39,136,20,270,33,112,10,300,25,7");
  log += Nmea("GNGGA,120001.00,4807.038,N,01131.000,E,1,05,0.9,545.4,M,46.9,M,,");
  const auto d = DecodeWhole(log);
  ASSERT_GE(d.epochs.size(), 1u);
  const FixRecord& r = d.epochs[0];
  EXPECT_EQ(r.satCount, 5);
  int galileoUsed = 0, shown = 0;
  for (const auto& s : r.sats) {
    if (s.prn == 0) continue;
    ++shown;
    EXPECT_LE(s.prn, 36) << "every number is in its system's range";
    if (s.azimuth >= 90) galileoUsed += s.used;
  }
  EXPECT_EQ(shown, 6);
  EXPECT_EQ(galileoUsed, 3);  // 101, 105 and 136 (the GSA's 336): used; 112 is not
}

// 3. A timing receiver whose I/O options say UTC while its 8F-AB says GPS time: the packet's
// own flag rules; 0x41 and the 0x5C measurement time are GPS time whatever the options say.
TEST(ReceiverFaults, TsipTimeBaseIsThePacketsOwn) {
  std::vector<uint8_t> s;
  Append(s, std::move(Payload(0x55).PutU8(0x12).PutU8(0x02).PutU8(0x01).PutU8(0x08)));
  for (uint32_t tow = 302400; tow < 302403; ++tow) {
    Append(s, P8FAB(tow, kWeek, kLeap, 0x00));
    Append(s, P8FAC(4, 0x00, 45.0, 7.0, 300.0));
    Append(s, P5C(9, 0, 44.0, tow + 0.2, 30.0, 60.0));
  }
  Append(s, P41(302404.0, kWeek, kLeap));
  TsipDecoder decoder;
  const auto r = Decode(decoder, s);
  ASSERT_EQ(r.size(), 4u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_DOUBLE_EQ(r[i].utcSeconds, 43200.0 - kLeap + i) << i;  // 302400 s is Wednesday noon
    EXPECT_NE(FindSat(r[i], 9), nullptr) << "the measurement joins its fix " << i;
  }
  EXPECT_DOUBLE_EQ(r[3].utcSeconds, 43204.0 - kLeap);
}

// 4. A TSIPv1 receiver's A2-00 burst (numbered 1..N, sent after the next fix) is the whole
// view: a satellite the receiver no longer lists is gone at once, with its used flag.
TEST(ReceiverFaults, SatelliteBurstReplacesTheView) {
  std::vector<uint8_t> s;
  const std::vector<std::vector<int>> bursts = {{10, 11, 12}, {10, 11}, {10, 11}};
  for (uint32_t k = 0; k <= bursts.size(); ++k) {
    const uint32_t tow = 302400 + k;
    Append(s, A100(tow));
    Append(s, A111(52.5, 13.4, 80.0, 2));
    if (k == 0) continue;
    const std::vector<int>& burst = bursts[k - 1];
    for (std::size_t n = 0; n < burst.size(); ++n) {
      const uint32_t used = k == 1 || burst[n] == 10 ? 0x03 : 0x01;
      Append(s, A200(static_cast<unsigned>(n + 1), 1, burst[n], 40.0 * burst[n], 45.0, 40.0, used,
                     tow - 1));
    }
    Append(s, A311(0, 1.9));
  }
  TsipDecoder decoder;
  const auto r = Decode(decoder, s);
  ASSERT_FALSE(r.empty());
  const FixRecord& last = r.back();
  EXPECT_DOUBLE_EQ(last.utcSeconds, 43200.0 - kLeap + 3);
  EXPECT_NE(FindSat(last, 10), nullptr);
  EXPECT_NE(FindSat(last, 11), nullptr);
  EXPECT_EQ(FindSat(last, 12), nullptr) << "dropped from the burst: gone";
  EXPECT_EQ(last.satCount, 1);
  EXPECT_EQ(FindSat(last, 11)->used, 0);
}

// 5. A Lassen-class receiver: 0x5C bursts six seconds apart, 0x6D on its own schedule. A
// satellite missing from one burst stays until the next is due, and one the current 0x6D uses
// stays; an untimed 0x6D is current from its arrival, not from the epoch it joined.
TEST(ReceiverFaults, AgeingFitsTheReceiversReportPeriod) {
  std::vector<uint8_t> s;
  const uint32_t t0 = 302400;
  for (uint32_t t = 0; t < 14; ++t) {
    Append(s, P8F20(48.1, 11.5, 520.0, 0.0, 0.0, (t0 + t) * 1000, 0x00, kLeap, kWeek));
    if (t == 2 || t == 8) Append(s, P6D(4, 2.5, {18, 22, 19}));
    if (t != 1 && t != 7) continue;
    for (int prn : {18, 22, 19, 3}) {
      if (t == 7 && (prn == 19 || prn == 3)) continue;  // missing from the second burst
      Append(s, P5C(prn, 0, 40.0, t0 + t + 0.5, 30.0, 10.0 * prn));
    }
  }
  TsipDecoder decoder;
  const auto r = Decode(decoder, s);
  ASSERT_GE(r.size(), 12u);
  const FixRecord& late = r[11];  // 11 s after the first burst, 4 s after the second
  EXPECT_DOUBLE_EQ(late.utcSeconds, 43200.0 - kLeap + 11);
  ASSERT_NE(FindSat(late, 19), nullptr) << "used by the current 0x6D";
  EXPECT_EQ(FindSat(late, 19)->used, 1);
  EXPECT_NE(FindSat(late, 3), nullptr) << "missing from one burst only";

  // A receiver without a fix: a 0x41, a burst, then a 0x6D arriving after a gap.
  TsipDecoder quiet;
  auto feed = [&quiet](const Payload& p, double now) {
    const std::vector<uint8_t> w = Wire(p);
    std::size_t at = 0;
    while (at < w.size()) {
      at += quiet.Feed(w.data() + at, w.size() - at, now);
      quiet.TakeEpoch();
    }
  };
  feed(P41(t0, kWeek, kLeap), 100.0);
  feed(P5C(18, 0, 40.0, t0 + 0.1, 30.0, 180.0), 100.1);
  feed(P6D(4, 2.5, {18}), 104.9);
  feed(P41(t0 + 5, kWeek, kLeap), 105.5);
  FixRecord rec;
  quiet.GetFix(rec, 105.6);
  EXPECT_TRUE(Has(rec, pelmora::kValidGeometry));
  EXPECT_FLOAT_EQ(rec.pdop, 2.5f);
}

// 6. A timing receiver in overdetermined-clock mode, survey complete, in holdover: 8F-AC holds
// the stored antenna position while the decoding status says "no usable satellites".
TEST(ReceiverFaults, HoldoverKeepsTheReferencePosition) {
  std::vector<uint8_t> s;
  for (uint32_t tow = 302400; tow < 302403; ++tow) {
    Append(s, P8FAB(tow, kWeek, kLeap));
    Append(s, P8FAC(7, tow == 302400 ? 0x00 : 0x08, 41.3394, -75.7061, 218.7));
  }
  TsipDecoder decoder;
  const auto r = Decode(decoder, s);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].fixMode, 3);
  for (int i = 1; i < 3; ++i) {
    EXPECT_TRUE(Has(
        r[i], pelmora::kValidPosition | pelmora::kValidEllipsoidHeight | pelmora::kValidFixMode))
        << i;
    EXPECT_NEAR(r[i].latitude, 41.3394, 1e-9);
    EXPECT_EQ(r[i].fixMode, 1) << "no fix the receiver did not report";
    EXPECT_EQ(r[i].status, static_cast<int16_t>(ReceiverStatus::NoUsableSats));
  }
}

// An SMT 360 second: 8F-AB and 8F-AC of T + 1, then 0x6D (clock-only fix) and the 0x5D
// satellites measured at T; the signal tells the seconds apart.
std::vector<uint8_t> Smt360Seconds(int seconds) {
  std::vector<uint8_t> s;
  for (int k = 0; k < seconds; ++k) {
    const uint32_t tow = 302400 + k;
    Append(s, P8FAB(tow, kWeek, kLeap));
    Append(s, P8FAC(7, 0x00, 41.3394, -75.7061, 218.7));
    if (k == 0) continue;
    Append(s, P6D(5, 1.4, {5, 7, 9}));
    for (int prn : {5, 7, 9})
      Append(s, P5D(prn, 30.0 + k, tow - 1, 20.0 + prn, 10.0 * prn, prn != 9));
  }
  return s;
}

// 7. Back-dated satellite reports: the satellites measured at T join the record of T, which is
// reported again; no record goes back in time or loses its fix.
TEST(ReceiverFaults, BackDatedReportsNeverStepBack) {
  TsipDecoder decoder;
  const auto r = Decode(decoder, Smt360Seconds(5));
  ASSERT_GE(r.size(), 5u);
  for (std::size_t i = 0; i < r.size(); ++i) {
    EXPECT_TRUE(Has(r[i], pelmora::kValidPosition | pelmora::kValidFixMode)) << i;
    EXPECT_EQ(r[i].fixMode, 3) << i;
    if (i > 0) {
      EXPECT_GE(r[i].utcSeconds, r[i - 1].utcSeconds) << i;
    }
  }
  // The last record of each second carries that second's measurements.
  for (std::size_t i = 0; i + 1 < r.size(); ++i) {
    if (r[i + 1].utcSeconds == r[i].utcSeconds) continue;
    const int second = static_cast<int>(r[i].utcSeconds - (43200.0 - kLeap));
    if (second < 1 || second > 3) continue;
    ASSERT_NE(FindSat(r[i], 5), nullptr) << i;
    EXPECT_EQ(FindSat(r[i], 5)->snr, 31 + second) << i;
  }
}

// 8. A clock-only solution (0x6D dimension 5) with 0x5D flagging satellites used: the flags
// stand, every second alike.
TEST(ReceiverFaults, ClockOnlySolutionKeepsTheUsedFlags) {
  TsipDecoder decoder;
  const auto r = Decode(decoder, Smt360Seconds(6));
  int checked = 0;
  for (const FixRecord& rec : r) {
    if (rec.utcSeconds < 43200.0 - kLeap + 1) continue;
    ASSERT_NE(FindSat(rec, 5), nullptr);
    EXPECT_EQ(FindSat(rec, 5)->used, 1);
    EXPECT_EQ(FindSat(rec, 7)->used, 1);
    EXPECT_EQ(FindSat(rec, 9)->used, 0);
    EXPECT_EQ(rec.satCount, 2);
    ++checked;
  }
  EXPECT_GE(checked, 4);
}

// A TSIPv1 second: A1-00 with timeFlags (0: none), A1-11 (no position before the time is
// set), the A2-00 burst measured a second before (signal 30 + that second), A3-11.
void V1Second(std::vector<uint8_t>& s, uint32_t tow, unsigned timeFlags, unsigned fix,
              const std::vector<int>& burst) {
  if (timeFlags != 0) Append(s, A100(tow, timeFlags));
  Append(s, A111(tow > 99 ? 52.5 : 0.0, tow > 99 ? 13.4 + tow % 100 * 1e-4 : 0.0, 80.0, fix));
  for (std::size_t n = 0; n < burst.size(); ++n)
    Append(s, A200(n + 1, 1, burst[n], 40.0, 45.0, 30.0 + (tow - 1) % 100, 3, tow - 1));
  Append(s, A311(fix == 0 ? 3 : 0, 1.9));
}

// 9. Coasting on dead reckoning: A1-11 says "no fix" but still carries its position.
TEST(ReceiverFaults, CoastingReceiverKeepsItsPosition) {
  std::vector<uint8_t> s;
  for (uint32_t k = 0; k < 3; ++k)
    V1Second(s, 302400 + k, 3, k == 0 ? 2 : 0, {});
  TsipDecoder decoder;
  const FixRecord r = Decode(decoder, s).back();
  EXPECT_TRUE(Has(r, pelmora::kValidPosition | pelmora::kValidFixMode));
  EXPECT_NEAR(r.longitude, 13.4002, 1e-9);
  EXPECT_EQ(r.fixMode, 1);
}

// 10. Power-up bursts while A1-00 says the time is not set carry no time; the first timed
// epoch is reported, without them.
TEST(ReceiverFaults, PowerUpSkyEndsAtTheFirstTimedEpoch) {
  std::vector<uint8_t> s;
  for (uint32_t t : {1u, 2u, 302400u})
    V1Second(s, t, t < 9 ? 1 : 3, t < 9 ? 0 : 2, {t < 9 ? 2 : 5});
  TsipDecoder decoder;
  const auto r = Decode(decoder, s);
  ASSERT_GE(r.size(), 2u);
  EXPECT_FALSE(Has(r[0], pelmora::kValidTime));
  EXPECT_EQ(r[1].utcSeconds, 43200.0 - kLeap);
  EXPECT_TRUE(FindSat(r[1], 2) == nullptr && FindSat(r[1], 5) != nullptr);
}

// 11. A proprietary sentence injected into a GSV: the bytes around it join, but never across
// an injected sentence whose checksum fails.
TEST(ReceiverFaults, SentenceCutByAnotherIsJoined) {
  const std::string gsv = Nmea("GPGSV,1,1,02,12,40,120,36,05,34,060,41");
  const auto log = [&](const std::string& injected) {
    return Nmea("GPGGA,120000.00,4807.038,N,01131.000,E,1,02,0.9,545.4,M,46.9,M,,") +
           gsv.substr(0, 37) + injected + gsv.substr(37);
  };
  const auto d = DecodeByteByByte(log(Nmea("PTNTA,20240315120000,4,T4,,,,,")));
  EXPECT_NE(FindSat(d.epochs.at(0), 5), nullptr);
  EXPECT_EQ(d.counters.sentences.unknown, 1u) << "the injected sentence counts too";
  EXPECT_EQ(FindSat(DecodeWhole(log("$PTNTA,4*00\r\n")).epochs.at(0), 12), nullptr);
}

// 12. GSAs with a vendor field after VDOP, without and with the system id.
TEST(ReceiverFaults, GsaWithAVendorFieldKeepsItsUsedFlags) {
  const auto d =
      DecodeWhole(Nmea("GNGGA,120000.00,4807.038,N,01131.000,E,1,04,0.9,545.4,M,46.9,M,,") +
                  Nmea("GPGSA,A,3,02,05,,,,,,,,,,,1.8,0.9,1.5,2.6") +
                  Nmea("GNGSA,A,3,05,12,,,,,,,,,,,1.8,0.9,1.5,1.2,3") +
                  Nmea("GPGSV,1,1,02,02,50,010,40,05,30,020,38") +
                  Nmea("GAGSV,1,1,02,05,45,090,41,12,35,180,39,7"));
  for (const auto& sat : d.epochs.at(0).sats)
    EXPECT_EQ(sat.used, sat.prn != 0 ? 1 : 0) << sat.prn;
  EXPECT_FLOAT_EQ(d.epochs[0].pdop, 1.8f);
}

// 13. A TSIPv1 second without its A1-00: its fix, and its burst (sent after the next fix),
// keep its time (reported last for it); every record holds its own second's position.
TEST(ReceiverFaults, SecondWithoutTimingKeepsItsTime) {
  for (const std::vector<int>& burst : {std::vector<int>{10}, std::vector<int>{}}) {
    std::vector<uint8_t> s;
    for (uint32_t k = 0; k < 4; ++k)
      V1Second(s, 302400 + k, k == 2 ? 0 : 3, 2, burst);
    TsipDecoder decoder;
    const auto r = Decode(decoder, s);
    const auto it = std::find_if(r.rbegin(), r.rend(),  // the second's last report
                                 [](const FixRecord& x) { return x.utcSeconds == 43200.0 - 16; });
    ASSERT_NE(it, r.rend());
    EXPECT_EQ(it->sats[0].prn, burst.empty() ? 0 : 10);
    EXPECT_EQ(it->sats[0].snr, burst.empty() ? 0 : 32);
    for (const FixRecord& x : r)
      EXPECT_NEAR(x.longitude - 13.4, (x.utcSeconds - 43200.0 + kLeap) * 1e-4, 1e-9);
  }
}

// 14. NMEA power-up: until its clock is set (a 1980 date, an RMC without a time), a receiver's
// epochs carry no valid time, and their satellites give way at the first timed epoch, which is
// reported whatever time the power-up clock showed.
TEST(ReceiverFaults, NmeaPowerUpSkyEndsAtTheFirstTimedEpoch) {
  for (const std::string powerUp : {"120001.00,V,,,,,,,060180", ",V,,,,,,,"}) {
    std::string log;
    for (int k = 0; k < 2; ++k)
      log += Nmea("GPRMC," + powerUp + ",,,N") + Nmea("GPGSV,1,1,02,02,,,23,07,,,20");
    log += Nmea("GPRMC,120000.00,A,4807.038,N,01131.000,E,0.1,45.0,150324,,,A");
    log += Nmea("GPRMC,120001.00,A,4807.038,N,01131.000,E,0.1,45.0,150324,,,A") +
           Nmea("GPGSV,1,1,01,05,40,120,40");
    const auto d = DecodeWhole(log);
    const auto timed = std::find_if(d.epochs.begin(), d.epochs.end(),
                                    [](const FixRecord& r) { return Has(r, pelmora::kValidTime); });
    ASSERT_EQ(d.epochs.end() - timed, 2) << powerUp;
    EXPECT_EQ(timed->utcSeconds, 43200.0);
    EXPECT_TRUE(FindSat(*timed, 2) == nullptr && FindSat(*timed, 7) == nullptr);
    EXPECT_NE(FindSat(d.epochs.back(), 5), nullptr);
  }
}

}  // namespace
