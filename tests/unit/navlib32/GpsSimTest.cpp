// gpssim's core: valid NMEA and TSIP framing, a plausible sky and motion, injected faults,
// determinism and the UTC parser.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/gpssim/Simulator.h"

namespace gpssim {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t nl; (nl = text.find("\r\n", start)) != std::string::npos; start = nl + 2)
    out.push_back(text.substr(start, nl - start));
  EXPECT_EQ(start, text.size()) << "every line ends in CR LF";
  return out;
}

bool ChecksumOk(const std::string& line) {
  if (line.size() < 4 || line[0] != '$' || line[line.size() - 3] != '*') return false;
  uint8_t sum = 0;
  for (std::size_t i = 1; i + 3 < line.size(); ++i)
    sum ^= static_cast<uint8_t>(line[i]);
  return std::stoi(line.substr(line.size() - 2), nullptr, 16) == sum;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> f;
  std::stringstream ss(line.substr(0, line.find('*')));
  for (std::string item; std::getline(ss, item, ',');)
    f.push_back(item);
  if (!line.empty() && line[line.find('*') - 1] == ',') f.push_back("");
  return f;
}

// TSIP packets (id + unstuffed payload) of a byte stream; fails on bad framing.
std::vector<std::pair<uint8_t, std::string>> TsipPackets(const std::string& bytes) {
  std::vector<std::pair<uint8_t, std::string>> out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    EXPECT_EQ(static_cast<uint8_t>(bytes[i]), 0x10) << "packet start at " << i;
    if (static_cast<uint8_t>(bytes[i]) != 0x10 || i + 1 >= bytes.size()) return out;
    const uint8_t id = static_cast<uint8_t>(bytes[i + 1]);
    std::string payload;
    i += 2;
    for (;;) {
      if (i + 1 >= bytes.size()) {
        ADD_FAILURE() << "unterminated packet";
        return out;
      }
      const uint8_t b = static_cast<uint8_t>(bytes[i]);
      if (b == 0x10) {
        const uint8_t next = static_cast<uint8_t>(bytes[i + 1]);
        if (next == 0x03) {
          i += 2;
          break;
        }
        EXPECT_EQ(next, 0x10) << "a lone DLE inside a packet";
        payload.push_back(static_cast<char>(0x10));
        i += 2;
      } else {
        payload.push_back(static_cast<char>(b));
        ++i;
      }
    }
    out.emplace_back(id, payload);
  }
  return out;
}

double BeF64(const std::string& p, std::size_t at) {
  uint64_t v = 0;
  for (int k = 0; k < 8; ++k)
    v = v << 8 | static_cast<uint8_t>(p[at + k]);
  return std::bit_cast<double>(v);
}

float BeF32(const std::string& p, std::size_t at) {
  uint32_t v = 0;
  for (int k = 0; k < 4; ++k)
    v = v << 8 | static_cast<uint8_t>(p[at + k]);
  return std::bit_cast<float>(v);
}

TEST(GpsSim, NmeaSentencesAreWellFormed) {
  Simulator sim(SimConfig{});
  for (int k = 0; k < 30; ++k) {
    const EncodedEpoch e = sim.Next();
    EXPECT_FALSE(e.damaged);
    std::map<std::string, int> count;
    for (const std::string& line : Lines(e.bytes)) {
      EXPECT_TRUE(ChecksumOk(line)) << line;
      EXPECT_LE(line.size() + 2, 82u) << line;  // NMEA's longest sentence
      ++count[line.substr(1, 5)];
    }
    EXPECT_EQ(count["GPGGA"], 1);
    EXPECT_EQ(count["GPRMC"], 1);
    EXPECT_EQ(count["GPGSA"], 1);
    EXPECT_EQ(count["GPVTG"], 1);
    EXPECT_EQ(count["GPZDA"], 1);
    EXPECT_EQ(count["GPGSV"], static_cast<int>((e.epoch.sats.size() + 3) / 4));
  }
}

TEST(GpsSim, NmeaCarriesTheEpoch) {
  SimConfig c;
  c.latitudeDeg = -33.8568;
  c.longitudeDeg = -70.25;
  c.magVariationDeg = 4.0;  // westerly
  Simulator sim(c);
  const EncodedEpoch e = sim.Next();
  for (const std::string& line : Lines(e.bytes)) {
    const std::vector<std::string> f = Fields(line);
    if (f[0] == "$GPGGA") {
      EXPECT_EQ(f[1], "120000.00");
      const double lat = std::stod(f[2].substr(0, 2)) + std::stod(f[2].substr(2)) / 60.0;
      EXPECT_NEAR(lat, 33.8568, 1e-6);
      EXPECT_EQ(f[3], "S");
      const double lon = std::stod(f[4].substr(0, 3)) + std::stod(f[4].substr(3)) / 60.0;
      EXPECT_NEAR(lon, 70.25, 1e-6);
      EXPECT_EQ(f[5], "W");
      EXPECT_EQ(std::stoi(f[7]), e.epoch.usedCount);
      EXPECT_NEAR(std::stod(f[9]), c.heightMetres, 1e-9);
      EXPECT_NEAR(std::stod(f[11]), c.geoidSeparationMetres, 1e-9);
    } else if (f[0] == "$GPRMC") {
      EXPECT_EQ(f[2], "A");
      EXPECT_NEAR(std::stod(f[7]) * 1852.0 / 3600.0, c.speedMps, 1e-3);
      EXPECT_EQ(f[9], "150324");
      EXPECT_EQ(f[10], "4.0");
      EXPECT_EQ(f[11], "W");
    } else if (f[0] == "$GPZDA") {
      EXPECT_EQ(f[2], "15");
      EXPECT_EQ(f[3], "03");
      EXPECT_EQ(f[4], "2024");
    }
  }
}

TEST(GpsSim, SkyIsPlausibleAndMovesSlowly) {
  SimConfig c;
  Simulator sim(c);
  std::map<int, SimSat> previous;
  for (int k = 0; k < 600; ++k) {
    const Epoch e = sim.NextEpoch();
    EXPECT_GE(e.usedCount, 4);
    EXPECT_LE(e.usedCount, 12);
    EXPECT_GE(e.sats.size(), 6u);
    EXPECT_GT(e.pdop, 0.5);
    EXPECT_LT(e.pdop, 6.0);
    EXPECT_NEAR(e.pdop * e.pdop, e.hdop * e.hdop + e.vdop * e.vdop, 1e-9);
    std::set<int> prns;
    for (const SimSat& s : e.sats) {
      EXPECT_TRUE(prns.insert(s.prn).second) << "duplicate PRN " << s.prn;
      EXPECT_GE(s.prn, 1);
      EXPECT_LE(s.prn, 32);
      EXPECT_GE(s.elevationDeg, 0);
      EXPECT_LE(s.elevationDeg, 90);
      EXPECT_GE(s.azimuthDeg, 0);
      EXPECT_LT(s.azimuthDeg, 360);
      EXPECT_TRUE(s.snrDbHz == 0 || (s.snrDbHz >= 25 && s.snrDbHz <= 55)) << s.snrDbHz;
      if (s.used) {
        EXPECT_GE(s.elevationDeg, c.elevationMaskDeg);
      }
      auto it = previous.find(s.prn);
      if (it != previous.end()) {
        EXPECT_LE(std::fabs(s.elevationDeg - it->second.elevationDeg), 1.0);
        const double daz = std::fabs(s.azimuthDeg - it->second.azimuthDeg);
        if (s.elevationDeg < 80) {
          EXPECT_LE(std::min(daz, 360 - daz), 1.0);
        }
      }
    }
    previous.clear();
    for (const SimSat& s : e.sats)
      previous[s.prn] = s;
  }
}

TEST(GpsSim, MovesAtTheConfiguredSpeedAndHeading) {
  SimConfig c;
  c.speedMps = 25.0;
  c.headingDeg = 90.0;
  c.turnRateDegPerSec = 0.5;
  Simulator sim(c);
  Epoch prev = sim.NextEpoch();
  for (int k = 1; k < 100; ++k) {
    const Epoch e = sim.NextEpoch();
    EXPECT_EQ(e.unixSeconds, prev.unixSeconds + 1);
    const double lat = e.latitudeDeg * kPi / 180, plat = prev.latitudeDeg * kPi / 180;
    const double dlat = lat - plat, dlon = (e.longitudeDeg - prev.longitudeDeg) * kPi / 180;
    const double a = std::sin(dlat / 2) * std::sin(dlat / 2) +
                     std::cos(lat) * std::cos(plat) * std::sin(dlon / 2) * std::sin(dlon / 2);
    const double metres = 2 * 6371000.0 * std::asin(std::sqrt(a));
    EXPECT_NEAR(metres, 25.0, 0.25);
    EXPECT_NEAR(e.trueHeadingDeg, std::fmod(prev.trueHeadingDeg + 0.5, 360.0), 1e-9);
    EXPECT_NEAR(std::hypot(e.eastMps, e.northMps), 25.0, 1e-9);
    prev = e;
  }
}

TEST(GpsSim, CrossesMidnightIntoTheNextDate) {
  SimConfig c;
  ASSERT_TRUE(ParseUtc("2024-12-31T23:59:59", &c.startUnixSeconds));
  Simulator sim(c);
  const Epoch a = sim.NextEpoch(), b = sim.NextEpoch();
  EXPECT_EQ(a.utcSecondsOfDay, 86399);
  EXPECT_EQ(a.year, 2024);
  EXPECT_EQ(b.utcSecondsOfDay, 0);
  EXPECT_EQ(b.year, 2025);
  EXPECT_EQ(b.month, 1);
  EXPECT_EQ(b.day, 1);
}

TEST(GpsSim, TsipPacketsAreFramedAndCarryTheEpoch) {
  SimConfig c;
  c.protocol = Protocol::Tsip;
  c.latitudeDeg = 47.25;
  c.longitudeDeg = -122.5;
  Simulator sim(c);
  const EncodedEpoch e = sim.Next();
  const std::map<uint8_t, std::size_t> lengths = {{0x41, 10}, {0x46, 2},  {0x4B, 3}, {0x84, 36},
                                                  {0x56, 20}, {0x8F, 56}, {0x5C, 24}};
  std::map<uint8_t, int> seen;
  bool sawDle = false;
  for (const auto& [id, payload] : TsipPackets(e.bytes)) {
    ++seen[id];
    sawDle |= payload.find('\x10') != std::string::npos;
    if (id == 0x6D) {
      EXPECT_EQ(payload.size(), 17u + (static_cast<uint8_t>(payload[0]) >> 4));
      EXPECT_EQ(static_cast<uint8_t>(payload[0]) >> 4, e.epoch.usedCount);
      EXPECT_NEAR(BeF32(payload, 1), e.epoch.pdop, 1e-5);
    } else {
      ASSERT_EQ(lengths.count(id), 1u) << std::hex << int(id);
      EXPECT_EQ(payload.size(), lengths.at(id)) << std::hex << int(id);
    }
    if (id == 0x84) {
      EXPECT_NEAR(BeF64(payload, 0) * 180 / kPi, 47.25, 1e-12);
      EXPECT_NEAR(BeF64(payload, 8) * 180 / kPi, -122.5, 1e-12);
      EXPECT_NEAR(BeF64(payload, 16), e.epoch.ellipsoidHeightMetres, 1e-9);
    }
    if (id == 0x8F) {
      EXPECT_EQ(static_cast<uint8_t>(payload[0]), 0x20);
    }
  }
  for (uint8_t id : {0x41, 0x46, 0x4B, 0x6D, 0x84, 0x56, 0x8F})
    EXPECT_EQ(seen[id], 1) << int(id);
  EXPECT_EQ(seen[0x5C], static_cast<int>(e.epoch.sats.size()));
  EXPECT_TRUE(sawDle) << "some payload should exercise DLE stuffing";
}

// Several systems: NMEA 4.10 style (GN fix sentences, a GSA per system with its system id, GSV
// under each system's talker with a signal id), TSIP with 0x5D and 0x6C; every satellite in view
// is described once.
TEST(GpsSim, MultiGnssSkyAndSentences) {
  SimConfig c;
  c.systems = kAllSystems;
  Simulator sim(c);
  const EncodedEpoch e = sim.Next();
  std::map<System, int> inView;
  for (const SimSat& s : e.epoch.sats)
    ++inView[s.system];
  EXPECT_EQ(inView.size(), 4u);
  std::map<std::string, int> described;
  std::set<std::string> gsaIds;
  for (const std::string& line : Lines(e.bytes)) {
    ASSERT_TRUE(ChecksumOk(line)) << line;
    const std::vector<std::string> f = Fields(line);
    const std::string type = f[0].substr(3);
    if (type == "GGA" || type == "RMC") {
      EXPECT_EQ(f[0].substr(1, 2), "GN");
    }
    if (type == "GSA") gsaIds.insert(f.back());
    if (type != "GSV") continue;
    EXPECT_EQ(f.size() % 4, 1u) << "signal id after the satellites: " << line;
    described[f[0].substr(1, 2)] += static_cast<int>(f.size() - 5) / 4;
  }
  EXPECT_EQ(described["GP"], inView[System::Gps]);
  EXPECT_EQ(described["GL"], inView[System::Glonass]);
  EXPECT_EQ(described["GA"], inView[System::Galileo]);
  EXPECT_EQ(described["GB"], inView[System::Beidou]);
  EXPECT_EQ(gsaIds, (std::set<std::string>{"1", "2", "3", "4"}));

  c.protocol = Protocol::Tsip;
  Simulator tsip(c);
  std::map<uint8_t, int> packets;
  for (const auto& [id, payload] : TsipPackets(tsip.Next().bytes))
    ++packets[id];
  EXPECT_EQ(packets[0x5D], static_cast<int>(e.epoch.sats.size()));
  EXPECT_EQ(packets[0x6C], 1);
  EXPECT_EQ(packets[0x5C] + packets[0x6D], 0);
}

TEST(GpsSim, InjectsChecksumFaultsAndNoise) {
  SimConfig c;
  c.faults.badChecksumEvery = 7;
  c.faults.noiseEvery = 3;
  Simulator sim(c);
  int sentences = 0, bad = 0, damaged = 0;
  for (int k = 1; k <= 30; ++k) {
    const EncodedEpoch e = sim.Next();
    damaged += e.damaged;
    const bool noisy = k % 3 == 0;
    EXPECT_EQ(e.bytes[0] != '$', noisy) << k;
    if (noisy) {
      EXPECT_TRUE(e.damaged);
    }
    for (const std::string& line : Lines(e.bytes)) {
      if (line.empty() || line[0] != '$') continue;
      ++sentences;
      if (!ChecksumOk(line)) {
        ++bad;
        EXPECT_EQ(sentences % 7, 0) << line;
        EXPECT_TRUE(e.damaged);
      }
    }
  }
  EXPECT_EQ(bad, sentences / 7);
  EXPECT_GT(damaged, 10);
}

TEST(GpsSim, SameConfigSameBytes) {
  SimConfig c;
  c.protocol = Protocol::Tsip;
  c.faults.noiseEvery = 2;
  Simulator a(c), b(c);
  for (int k = 0; k < 20; ++k)
    EXPECT_EQ(a.Next().bytes, b.Next().bytes);
}

TEST(GpsSim, ParseSystems) {
  unsigned systems = 0;
  EXPECT_TRUE(ParseSystems("all", &systems));
  EXPECT_EQ(systems, kAllSystems);
  EXPECT_TRUE(ParseSystems("gps,galileo", &systems));
  EXPECT_EQ(systems, static_cast<unsigned>(System::Gps) | static_cast<unsigned>(System::Galileo));
  for (const char* bad : {"", "gps,", "galileo,qzss", "GPS"})
    EXPECT_FALSE(ParseSystems(bad, &systems)) << bad;
}

TEST(GpsSim, ParseUtc) {
  int64_t t = 0;
  ASSERT_TRUE(ParseUtc("2024-03-15T12:00:00", &t));
  EXPECT_EQ(t, 1710504000);
  ASSERT_TRUE(ParseUtc("1980-01-06 00:00:00", &t));
  EXPECT_EQ(t, 315964800);
  ASSERT_TRUE(ParseUtc("2000-02-29T23:59:59", &t));
  EXPECT_EQ(t, 951868799);
  for (const char* bad :
       {"", "2024-03-15", "2024-13-01T00:00:00", "2024-03-15T24:00:00", "2024-03-15X12:00:00",
        "1979-12-31T23:59:59", "2024-03-15T12:00:0a", "2024-03-15T12:00:000"})
    EXPECT_FALSE(ParseUtc(bad, &t)) << bad;
}

}  // namespace
}  // namespace gpssim
