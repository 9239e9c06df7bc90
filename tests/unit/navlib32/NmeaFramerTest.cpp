// NmeaFramer: checksums, line ends, resynchronisation, overlong sentences, and identical
// results for every chunking of the input.
#include "navlib32/nmea/NmeaFramer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NmeaTestSupport.h"

namespace navlib::nmea {
namespace {

using testing::Nmea;

struct Framed {
  std::vector<std::string> bodies;
  std::vector<bool> checked;
  NmeaFramerCounters counters;
};

// Frames input in pieces cut at the given offsets, Finish at the end.
Framed Frame(const std::string& input, const std::vector<std::size_t>& cuts) {
  NmeaFramer framer;
  Framed out;
  auto run = [&](std::size_t from, std::size_t to) {
    while (from < to) {
      NmeaSentence s;
      bool got = false;
      from += framer.Next(reinterpret_cast<const uint8_t*>(input.data()) + from, to - from, s, got);
      if (got) {
        out.bodies.emplace_back(s.body);
        out.checked.push_back(s.hasChecksum);
      }
    }
  };
  std::size_t at = 0;
  for (std::size_t cut : cuts) {
    run(at, cut);
    at = cut;
  }
  run(at, input.size());
  NmeaSentence s;
  if (framer.Finish(s)) {
    out.bodies.emplace_back(s.body);
    out.checked.push_back(s.hasChecksum);
  }
  out.counters = framer.Counters();
  return out;
}

struct FramerCase {
  const char* legend;
  std::string input;
  std::vector<std::string> bodies;
  uint64_t checksumFailures;
  uint64_t overlong;
};

const std::string kGga = "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
const std::string kRmc = "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W";

std::vector<FramerCase> Cases() {
  const std::string gga = Nmea(kGga);
  const std::string ggaLf = gga.substr(0, gga.size() - 2) + "\n";
  std::string lower = gga;
  const std::size_t star = lower.find('*');
  lower[star + 1] = static_cast<char>(std::tolower(lower[star + 1]));
  lower[star + 2] = static_cast<char>(std::tolower(lower[star + 2]));
  std::string wrong = gga;
  wrong[star + 2] = wrong[star + 2] == '0' ? '1' : '0';
  const std::string noCr = gga.substr(0, gga.size() - 2);
  return {
      {"plain CR LF", gga, {kGga}, 0, 0},
      {"bare LF", ggaLf + ggaLf, {kGga, kGga}, 0, 0},
      {"CR CR LF and blank lines", noCr + "\r\r\n\r\n\n" + gga, {kGga, kGga}, 0, 0},
      {"lower-case checksum", lower, {kGga}, 0, 0},
      {"wrong checksum", wrong + Nmea(kRmc), {kRmc}, 1, 0},
      {"non-hex checksum", "$" + kGga + "*G1\r\n" + Nmea(kRmc), {kRmc}, 1, 0},
      {"one checksum digit", "$" + kGga + "*4\r\n" + Nmea(kRmc), {kRmc}, 1, 0},
      {"three checksum digits", noCr + "7\r\n" + Nmea(kRmc), {kRmc}, 1, 0},
      {"no checksum", "$" + kGga + "\r\n", {kGga}, 0, 0},
      {"leading garbage", "\x01\xff garbage\r\n" + gga, {kGga}, 0, 0},
      {"doubled dollar", "$" + gga, {kGga}, 0, 0},
      {"interrupted by a new sentence", "$GPGGA,1235" + gga, {kGga}, 0, 0},
      {"binary byte inside",
       "$GPGGA,12\x02"
       "3519,4807\r\n" +
           gga,
       {kGga},
       0,
       0},
      {"checksum then next dollar", noCr + gga, {kGga, kGga}, 0, 0},
      {"overlong", "$" + std::string(300, 'A') + "\r\n" + gga, {kGga}, 0, 1},
      {"longest allowed",
       Nmea(std::string(kMaxNmeaSentence, 'B')),
       {std::string(kMaxNmeaSentence, 'B')},
       0,
       0},
      {"one over the longest", Nmea(std::string(kMaxNmeaSentence + 1, 'B')), {}, 0, 1},
      {"truncated at end of input", "$GPGGA,123519,48", {}, 0, 0},
      {"checksum without line end at end of input", noCr, {kGga}, 0, 0},
  };
}

TEST(NmeaFramer, Cases_WholeInput) {
  for (const FramerCase& c : Cases()) {
    SCOPED_TRACE(c.legend);
    const Framed f = Frame(c.input, {});
    EXPECT_EQ(f.bodies, c.bodies);
    EXPECT_EQ(f.counters.checksumFailures, c.checksumFailures);
    EXPECT_EQ(f.counters.overlong, c.overlong);
    EXPECT_EQ(f.counters.bytes, c.input.size());
  }
}

TEST(NmeaFramer, Cases_EveryChunkingGivesTheSameResult) {
  for (const FramerCase& c : Cases()) {
    SCOPED_TRACE(c.legend);
    const Framed whole = Frame(c.input, {});
    std::vector<std::size_t> bytes;
    for (std::size_t i = 1; i < c.input.size(); ++i)
      bytes.push_back(i);
    const Framed single = Frame(c.input, bytes);
    EXPECT_EQ(single.bodies, whole.bodies);
    EXPECT_EQ(single.counters.checksumFailures, whole.counters.checksumFailures);
    for (std::size_t cut = 1; cut < c.input.size(); ++cut) {
      const Framed split = Frame(c.input, {cut});
      ASSERT_EQ(split.bodies, whole.bodies) << "split at " << cut;
      ASSERT_EQ(split.checked, whole.checked) << "split at " << cut;
      ASSERT_EQ(split.counters.overlong, whole.counters.overlong) << "split at " << cut;
    }
  }
}

TEST(NmeaFramer, ChecksumFlagTellsCheckedFromUnchecked) {
  const Framed f = Frame(Nmea(kGga) + "$" + kRmc + "\n", {});
  ASSERT_EQ(f.checked.size(), 2u);
  EXPECT_TRUE(f.checked[0]);
  EXPECT_FALSE(f.checked[1]);
}

TEST(NmeaFramer, CountsSkippedAndInterrupted) {
  const Framed f = Frame("xyz$GPG$" + kGga + "\x07" + Nmea(kRmc), {});
  EXPECT_EQ(f.bodies, std::vector<std::string>{kRmc});
  EXPECT_EQ(f.counters.skipped, 4u);  // "xyz" and the control byte
  EXPECT_EQ(f.counters.interrupted, 2u);
}

}  // namespace
}  // namespace navlib::nmea
