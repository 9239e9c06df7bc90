// navdump's output: the JSON line of a FixRecord and GPX track points.
#include "app/export/FixJson.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace navdump {
namespace {

pelmora::FixRecord Sample() {
  pelmora::FixRecord r{};
  r.validFlags = 0x31F7;
  r.status = 1;
  r.fixMode = 5;
  r.utcSeconds = 45296.25;
  r.latitude = -45.877567166666665;
  r.longitude = 170.50011133333334;
  r.ellipsoidHeight = 16.0;
  r.geoidHeight = 14.2;
  r.speed = 0.0128611;
  r.trueHeading = 359.99;
  r.magVariation = -3.5;
  r.depth = 2.4;
  r.pdop = 1.05f;
  r.satCount = 2;
  r.sats[0] = {13, 1, 124, 37, 29};
  r.sats[3] = {66, 0, 305, 58, 0};  // slots need not be packed
  return r;
}

std::string Json(const pelmora::FixRecord& r) {
  char buffer[kMaxJsonLine];
  return std::string(buffer, FormatFixJson(r, buffer));
}

// The number after "key": in text.
double NumberAfter(const std::string& text, const std::string& key) {
  const std::size_t at = text.find("\"" + key + "\":");
  EXPECT_NE(at, std::string::npos) << key;
  if (at == std::string::npos) return std::nan("");
  const char* p = text.data() + at + key.size() + 3;
  double v = 0.0;
  std::from_chars(p, text.data() + text.size(), v);
  return v;
}

TEST(FixJson, AllKeysInOrderAndValuesRoundTrip) {
  const pelmora::FixRecord r = Sample();
  const std::string line = Json(r);
  ASSERT_EQ(line.back(), '\n');
  std::size_t last = 0;
  for (const char* key : {"validFlags", "status", "fixMode", "utcSeconds", "latitude", "longitude",
                          "ellipsoidHeight", "geoidHeight", "speed", "trueHeading", "magVariation",
                          "depth", "pdop", "satCount", "sats"}) {
    const std::size_t at = line.find(std::string("\"") + key + "\":");
    ASSERT_NE(at, std::string::npos) << key;
    EXPECT_GT(at, last) << key;
    last = at;
  }
  EXPECT_EQ(NumberAfter(line, "validFlags"), 0x31F7);
  EXPECT_EQ(NumberAfter(line, "latitude"), r.latitude);  // shortest text reads back exactly
  EXPECT_EQ(NumberAfter(line, "longitude"), r.longitude);
  EXPECT_EQ(NumberAfter(line, "magVariation"), -3.5);
  EXPECT_NE(line.find("\"pdop\":1.05,"), std::string::npos);  // the float, not its double
  EXPECT_NE(line.find("\"sats\":[{\"prn\":13,\"used\":1,\"azimuth\":124,\"elevation\":37,"
                      "\"snr\":29},{\"prn\":66,\"used\":0,\"azimuth\":305,\"elevation\":58,"
                      "\"snr\":0}]}"),
            std::string::npos);
}

TEST(FixJson, EmptyRecordAndNonFiniteValues) {
  pelmora::FixRecord r{};
  EXPECT_NE(Json(r).find("\"sats\":[]}"), std::string::npos);
  r.latitude = std::numeric_limits<double>::quiet_NaN();
  r.speed = std::numeric_limits<double>::infinity();
  const std::string line = Json(r);
  EXPECT_NE(line.find("\"latitude\":null"), std::string::npos);
  EXPECT_NE(line.find("\"speed\":null"), std::string::npos);
}

TEST(FixJson, WorstCaseFitsTheBuffer) {
  pelmora::FixRecord r{};
  r.validFlags = 0xFFFF;
  r.status = -32768;
  r.fixMode = -32768;
  for (double* d : {&r.utcSeconds, &r.latitude, &r.longitude, &r.ellipsoidHeight, &r.geoidHeight,
                    &r.speed, &r.trueHeading, &r.magVariation, &r.depth}) {
    *d = -1.2345678901234567e-300;
  }
  r.pdop = -1.234567e-38f;
  r.satCount = -32768;
  for (pelmora::SatInfo& s : r.sats)
    s = {-32768, -32768, -32768, -32768, -32768};
  EXPECT_LT(Json(r).size() + 48, kMaxJsonLine);  // number writers may write 48 bytes ahead
}

// ShortestFraction writes exactly what std::to_chars writes, or nothing (null) outside its range:
// powers of two and their neighbours (a narrower interval below), the ends of the range, whole
// numbers, values too small or not finite, then random bit patterns and short decimals.
template <typename Real, typename Bits>
void ExpectShortestAsToChars(std::vector<Real> values, Real smallest, Real wholeFrom) {
  for (int e = -12; e <= std::numeric_limits<Real>::digits + 1; ++e) {
    const Real power = std::ldexp(Real{1}, e);
    for (Real v : {power, std::nextafter(power, Real{0}), std::nextafter(power, Real{1e30}),
                   power * Real{1.1}, -power})
      values.push_back(v);
  }
  constexpr int kFraction = std::numeric_limits<Real>::digits - 1;
  constexpr Bits kBias = std::numeric_limits<Real>::max_exponent - 1;
  std::mt19937_64 random(12);
  for (int i = 0; i < 200000; ++i) {
    const Bits fraction = static_cast<Bits>(random()) & ((Bits{1} << kFraction) - 1);
    const Bits biased = static_cast<Bits>(kBias - 15 + random() % (kFraction + 20));
    const Bits sign = static_cast<Bits>(random() & 1) << (8 * sizeof(Bits) - 1);
    values.push_back(std::bit_cast<Real>(sign | biased << kFraction | fraction));
    values.push_back(static_cast<Real>(static_cast<double>(random() % 100000000) /
                                       std::pow(10.0, static_cast<double>(random() % 12))));
  }
  int handled = 0;
  for (Real v : values) {
    char ours[64];
    char theirs[64];
    char* end = ShortestFraction(v, ours);
    const std::string want(theirs, std::to_chars(theirs, theirs + 64, v).ptr);
    const bool inRange = std::isfinite(v) && std::fabs(v) >= smallest && std::fabs(v) < wholeFrom &&
                         v != std::trunc(v);
    if (end == nullptr) {
      ASSERT_TRUE(!inRange || want.size() - want.find('.') > 18) << want;
      continue;
    }
    ASSERT_TRUE(inRange) << want;
    ++handled;
    ASSERT_EQ(std::string(ours, end), want);
  }
  EXPECT_GT(handled, 200000);
}

TEST(FixJson, ShortestFractionWritesWhatToCharsWrites) {
  const double inf = std::numeric_limits<double>::infinity();
  ExpectShortestAsToChars<double, uint64_t>({0.1,
                                             0.2,
                                             0.3,
                                             1.0 / 3,
                                             2.0 / 3,
                                             25042.583984375,
                                             53.53848441503942,
                                             -113.4989215247333,
                                             679.149,
                                             0.0009765625,
                                             0.0009765624999999999,
                                             4503599627370495.5,
                                             0.0,
                                             -0.0,
                                             1.0,
                                             -7.0,
                                             4503599627370496.0,
                                             1e300,
                                             1e-300,
                                             5e-324,
                                             inf,
                                             -inf,
                                             std::nan("")},
                                            0x1p-10, 0x1p52);
  // Many short decimals need more than 17 decimals below 0.01: those stay with to_chars.
  char out[64];
  EXPECT_EQ(ShortestFraction(0.006988060909184518, out), nullptr);
  const float finf = std::numeric_limits<float>::infinity();
  ExpectShortestAsToChars<float, uint32_t>(
      {0.1f, 2.9294994f, 1.05f, 8388607.5f, 0.0f, 1.0f, 8388608.0f, 1e30f, 1e-30f, finf, -finf},
      0x1p-10f, 0x1p23f);
}

// The formatter that reuses the previous record's number texts writes what the plain one does,
// record after record, whatever changes between them (signed zero and NaN included).
TEST(FixJson, FormatterRemembersOnlyWhatStaysTheSame) {
  std::vector<pelmora::FixRecord> records(6, Sample());
  records[1].latitude += 1e-9;
  records[2].sats[3].snr = 41;
  records[3].speed = -0.0;
  records[4].geoidHeight = std::numeric_limits<double>::quiet_NaN();
  records[4].validFlags = 123456 & 0xFFFF;
  records[5] = pelmora::FixRecord{};
  FixJsonFormatter formatter;
  char buffer[kMaxJsonLine];
  for (int pass = 0; pass < 2; ++pass) {
    for (const pelmora::FixRecord& r : records)
      EXPECT_EQ(std::string(buffer, formatter.Format(r, buffer)), Json(r));
  }
}

// The receiver's date closes the line when known; an unknown one (year 0) adds nothing.
TEST(FixJson, UtcDateLastWhenKnown) {
  const pelmora::FixRecord r = Sample();
  char buffer[kMaxJsonLineAllSats];
  const std::string plain(buffer, FormatFixJson(r, buffer));
  const std::string dated(buffer, FormatFixJson(r, buffer, UtcDate{2024, 3, 5}));
  EXPECT_EQ(dated, plain.substr(0, plain.size() - 2) + ",\"utcDate\":\"2024-03-05\"}\n");
  EXPECT_EQ(std::string(buffer, FormatFixJson(r, buffer, UtcDate{})), plain);
  const std::string all(buffer, FormatFixJson(r, nullptr, 0, buffer, UtcDate{2024, 3, 5}));
  EXPECT_TRUE(all.ends_with("\"allSats\":[],\"utcDate\":\"2024-03-05\"}\n")) << all;
}

TEST(FixJson, GpxPointOnlyForAValidPosition) {
  pelmora::FixRecord r = Sample();
  char buffer[kMaxGpxPoint];
  UtcDate date{2019, 4, 12};
  std::string point(buffer, FormatGpxPoint(r, date, buffer));
  EXPECT_EQ(point,
            "<trkpt lat=\"-45.87756717\" lon=\"170.50011133\"><ele>14.200</ele>"
            "<time>2019-04-12T12:34:56.250Z</time></trkpt>\n");
  // No date: no time stamp; no MSL height: no elevation.
  r.validFlags &= static_cast<uint16_t>(~pelmora::kValidGeoidHeight);
  point.assign(buffer, FormatGpxPoint(r, UtcDate{}, buffer));
  EXPECT_EQ(point, "<trkpt lat=\"-45.87756717\" lon=\"170.50011133\"></trkpt>\n");
  r.validFlags &= static_cast<uint16_t>(~pelmora::kValidPosition);
  EXPECT_EQ(FormatGpxPoint(r, date, buffer), 0u);
  const std::string header = GpxHeader();
  EXPECT_NE(header.find("version=\"1.1\""), std::string::npos);
  EXPECT_NE(std::string(GpxFooter()).find("</gpx>"), std::string::npos);
}

}  // namespace
}  // namespace navdump
