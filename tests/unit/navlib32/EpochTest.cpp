// The epoch as FillEpoch hands it on: the receiver's date (never the computer's), where each epoch
// begins in the input, and every satellite numbered within its system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "navlib32/GpsDecoder.h"
#include "navlib32/SatNumbers.h"
#include "navlib32/nmea/NmeaDecoder.h"
#include "navlib32/tsip/TsipDecoder.h"
#include "tests/unit/navlib32/NmeaTestSupport.h"
#include "tests/unit/navlib32/TsipTestSupport.h"

namespace navlib {
namespace {

using nmea::testing::Nmea;

// Every completed epoch of the bytes, fed whole, as FillEpoch gives it.
std::vector<pelmora::Epoch> Epochs(GpsDecoder& decoder, const std::vector<uint8_t>& bytes) {
  std::vector<pelmora::Epoch> epochs;
  double now = 100.0;
  auto take = [&] {
    epochs.emplace_back();
    FillEpoch(decoder, now, epochs.back());
    decoder.TakeEpoch();
    now += 1.0;
  };
  for (std::size_t at = 0; at < bytes.size();) {
    at += decoder.Feed(bytes.data() + at, bytes.size() - at, now);
    if (decoder.EpochComplete()) take();
  }
  for (decoder.Flush(); decoder.EpochComplete(); decoder.Flush())
    take();
  return epochs;
}

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

std::string DateOf(const pelmora::Epoch& e) {
  if ((e.flags & pelmora::kEpochHasDate) == 0) return "none";
  return std::to_string(e.utcYear * 10000 + e.utcMonth * 100 + e.utcDay);
}

// A 10-bit week is placed in the era of the receiver's UTC offset; GPS time becomes UTC before
// the day is taken, so a second just after a GPS midnight can still be the day before.
TEST(Epoch, TsipDateIsTheReceiversAcrossAWeekRollover) {
  const struct {
    const char* legend;
    int week;
    uint32_t tow;
    const char* date;
  } cases[] = {
      {"10-bit week 1023, the last week before the 2019 rollover", 1023, 604700, "20190406"},
      {"10-bit week 0, just after it", 0, 100, "20190407"},
      {"GPS midnight, 18 s before UTC's", 0, 10, "20190406"},
      {"full week 2085, Thursday 00:00 GPS", 2085, 345600, "20191225"},
      {"the same as 10-bit week 2085 - 1024", 1061, 345600, "20191225"},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> s;
    tsiptest::Append(s, tsiptest::P8FAB(c.tow, c.week, 18));
    tsiptest::Append(s, tsiptest::P8FAC(4, 0x00, 41.3394, -75.7061, 218.7));
    tsip::TsipDecoder decoder;
    const auto epochs = Epochs(decoder, s);
    ASSERT_EQ(epochs.size(), 1u) << c.legend;
    EXPECT_EQ(DateOf(epochs[0]), c.date) << c.legend;
    EXPECT_TRUE(epochs[0].flags & pelmora::kEpochHasFix) << c.legend;
  }
  // Positions without any timing packet: no date at all.
  std::vector<uint8_t> s;
  tsiptest::Append(s, tsiptest::P84(48.1, 11.5, 520.0, 345600.0));
  tsip::TsipDecoder decoder;
  const auto epochs = Epochs(decoder, s);
  ASSERT_EQ(epochs.size(), 1u);
  EXPECT_EQ(DateOf(epochs[0]), "none");
}

// NMEA dates come from RMC or ZDA only. Each epoch begins just after the last sentence of the
// one before it: its CR ends that sentence, its LF is the first byte of the next stretch.
TEST(Epoch, NmeaDateAndWhereEachEpochBegins) {
  const std::string first = Nmea("GPGGA,120000.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,");
  const std::string second = Nmea("GPGGA,120001.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,") +
                             Nmea("GPRMC,120001.00,A,4807.038,N,01131.000,E,0.0,0.0,291224,,");
  const std::string third = "junk\r\n" +
                            Nmea("GPGGA,120002.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,") +
                            Nmea("GPZDA,120002.00,01,01,2025,00,00");
  nmea::NmeaDecoder decoder;
  const auto epochs = Epochs(decoder, Bytes(first + second + third));
  ASSERT_EQ(epochs.size(), 3u);
  EXPECT_EQ(DateOf(epochs[0]), "none") << "GGA says no date";
  EXPECT_EQ(DateOf(epochs[1]), "20241229");
  EXPECT_EQ(DateOf(epochs[2]), "20250101") << "ZDA's date, past the year's end";
  EXPECT_EQ(epochs[0].logOffset, 0);
  EXPECT_EQ(epochs[1].logOffset, static_cast<int64_t>(first.size()) - 1);
  EXPECT_EQ(epochs[2].logOffset, static_cast<int64_t>(first.size() + second.size()) - 1)
      << "the line of junk before its first sentence is part of it";
}

// Satellites leave the epoch numbered within their systems, whichever range the receiver used.
TEST(Epoch, SatellitesAreNumberedWithinTheirSystems) {
  const struct {
    GnssSystem system;
    int kept;
    int svid;
  } cases[] = {
      {GnssSystem::Gps, 7, 7},       {GnssSystem::Sbas, 33, 120},   {GnssSystem::Sbas, 131, 131},
      {GnssSystem::Glonass, 65, 1},  {GnssSystem::Glonass, 24, 24}, {GnssSystem::Galileo, 36, 36},
      {GnssSystem::Galileo, 301, 1}, {GnssSystem::Beidou, 63, 63},  {GnssSystem::Beidou, 201, 1},
      {GnssSystem::Beidou, 437, 37}, {GnssSystem::Qzss, 193, 1},    {GnssSystem::Qzss, 2, 2},
      {GnssSystem::Navic, 3, 3},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SvidOf(c.system, c.kept), c.svid) << static_cast<int>(c.system) << " " << c.kept;

  // Through a decoder: GLONASS under its talker, SBAS in NMEA's own range.
  const std::string gga = Nmea("GNGGA,120000.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,");
  const std::string text = gga + Nmea("GLGSV,1,1,01,65,30,100,40") +
                           Nmea("GPGSV,1,1,02,33,20,200,35,07,50,300,45") +
                           Nmea("GNGGA,120001.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,");
  nmea::NmeaDecoder decoder;
  const auto epochs = Epochs(decoder, Bytes(text));
  ASSERT_GE(epochs.size(), 1u);
  const pelmora::Epoch& e = epochs[0];
  std::vector<std::pair<int, int>> got;
  for (int i = 0; i < e.satCount; ++i)
    got.emplace_back(e.sats[i].system, e.sats[i].svid);
  const std::vector<std::pair<int, int>> expected = {{0, 7}, {1, 120}, {2, 1}};
  EXPECT_EQ(got, expected);
}

}  // namespace
}  // namespace navlib
