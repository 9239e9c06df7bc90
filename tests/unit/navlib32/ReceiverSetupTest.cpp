// Set-up messages sent at open: TSIP commands built from ReceiverSettings (order, layouts,
// clamps, DLE stuffing) and NMEA settings-file lines (checksums added, comments skipped).
#include "navlib32/ReceiverSetup.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace navlib {
namespace {

namespace fs = std::filesystem;
constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

// Splits DLE-framed packets, undoing the stuffing; a framing error fails the test.
std::vector<std::pair<uint8_t, std::string>> Packets(const std::string& bytes) {
  std::vector<std::pair<uint8_t, std::string>> out;
  std::size_t i = 0;
  while (i + 1 < bytes.size()) {
    EXPECT_EQ(static_cast<uint8_t>(bytes[i]), 0x10);
    const uint8_t id = static_cast<uint8_t>(bytes[i + 1]);
    std::string payload;
    for (i += 2; i + 1 < bytes.size(); ++i) {
      if (bytes[i] != '\x10') {
        payload.push_back(bytes[i]);
        continue;
      }
      ++i;
      if (bytes[i] == '\x03') break;
      EXPECT_EQ(bytes[i], '\x10') << "unstuffed DLE";
      payload.push_back('\x10');
    }
    ++i;
    out.emplace_back(id, payload);
  }
  EXPECT_EQ(i, bytes.size());
  return out;
}

float F32(const std::string& p, std::size_t at) {
  uint32_t v = 0;
  for (int k = 0; k < 4; ++k)
    v = v << 8 | static_cast<uint8_t>(p[at + k]);
  return std::bit_cast<float>(v);
}

pelmora::ReceiverSettings Defaults() {
  pelmora::ReceiverSettings s{};
  s.changed = 1;
  s.fixMode = 0;
  s.fixedTwo = 2;
  s.trackMode = 1;
  s.heightReference = 0;
  s.dynamics = 1;
  s.elevationMask = 10;
  s.signalMask = 4;
  s.pdopMask = 12;
  s.pdopSwitch = 5;
  return s;
}

TEST(ReceiverSetup, TsipCommandsCarryTheSettings) {
  pelmora::ReceiverSettings s = Defaults();
  s.fixMode = 4;
  s.dynamics = 3;
  s.heightReference = 1;
  s.altitude2d = 2.25;  // 0x40100000: a DLE byte that must be stuffed
  s.initLatitude = -33;
  s.initLongitude = 151;
  const std::string bytes = BuildTsipSetup(s);
  EXPECT_NE(bytes.find(std::string("\x10\x10", 2)), std::string::npos);
  const auto packets = Packets(bytes);
  ASSERT_EQ(packets.size(), 6u);
  const uint8_t order[] = {0x35, 0x2C, 0xBB, 0x22, 0x2A, 0x2B};
  for (std::size_t i = 0; i < packets.size(); ++i)
    EXPECT_EQ(packets[i].first, order[i]) << i;

  const std::string& io = packets[0].second;
  ASSERT_EQ(io.size(), 4u);
  EXPECT_EQ(static_cast<uint8_t>(io[0]) & 0x02, 0x02);  // LLA
  EXPECT_EQ(static_cast<uint8_t>(io[0]) & 0x04, 0x04);  // MSL heights
  EXPECT_EQ(static_cast<uint8_t>(io[0]) & 0x10, 0x10);  // double precision
  EXPECT_EQ(static_cast<uint8_t>(io[0]) & 0x20, 0x20);  // superpackets
  EXPECT_EQ(io[1], 0x02);                               // ENU velocity

  const std::string& op = packets[1].second;
  ASSERT_EQ(op.size(), 17u);
  EXPECT_EQ(op[0], 3);
  EXPECT_FLOAT_EQ(F32(op, 1), static_cast<float>(10 * kDegToRad));
  EXPECT_FLOAT_EQ(F32(op, 5), 4.0f);
  EXPECT_FLOAT_EQ(F32(op, 9), 12.0f);
  EXPECT_FLOAT_EQ(F32(op, 13), 5.0f);

  const std::string& cfg = packets[2].second;
  ASSERT_EQ(cfg.size(), 40u);
  EXPECT_EQ(cfg[0], 0x00);
  EXPECT_EQ(cfg[1], 4);
  EXPECT_EQ(cfg[3], 3);
  EXPECT_FLOAT_EQ(F32(cfg, 5), static_cast<float>(10 * kDegToRad));
  EXPECT_FLOAT_EQ(F32(cfg, 13), 12.0f);

  EXPECT_EQ(packets[3].second, std::string(1, '\x04'));
  ASSERT_EQ(packets[4].second.size(), 4u);
  EXPECT_FLOAT_EQ(F32(packets[4].second, 0), 2.25f);
  const std::string& pos = packets[5].second;
  ASSERT_EQ(pos.size(), 12u);
  EXPECT_FLOAT_EQ(F32(pos, 0), static_cast<float>(-33 * kDegToRad));
  EXPECT_FLOAT_EQ(F32(pos, 4), static_cast<float>(151 * kDegToRad));
}

TEST(ReceiverSetup, TsipClampsOutOfRangeSettings) {
  pelmora::ReceiverSettings s = Defaults();
  s.dynamics = 9;
  s.fixMode = 7;
  s.heightReference = 0;
  s.elevationMask = 200;
  s.signalMask = -5;
  s.pdopMask = 500;
  s.pdopSwitch = 0;
  s.altitude2d = std::nan("");
  const auto packets = Packets(BuildTsipSetup(s));
  ASSERT_EQ(packets.size(), 5u) << "no initial position at 0/0";
  EXPECT_EQ(static_cast<uint8_t>(packets[0].second[0]) & 0x04, 0);  // ellipsoid heights
  const std::string& op = packets[1].second;
  EXPECT_EQ(op[0], 1);
  EXPECT_FLOAT_EQ(F32(op, 1), static_cast<float>(90 * kDegToRad));
  EXPECT_FLOAT_EQ(F32(op, 5), 0.0f);
  EXPECT_FLOAT_EQ(F32(op, 9), 99.0f);
  EXPECT_FLOAT_EQ(F32(op, 13), 1.0f);
  EXPECT_EQ(packets[2].second[1], 0);
  EXPECT_EQ(packets[3].second, std::string(1, '\0'));
  EXPECT_FLOAT_EQ(F32(packets[4].second, 0), 0.0f);
}

TEST(ReceiverSetup, NmeaSetupSentence) {
  const struct {
    const char* line;
    const char* sent;
  } cases[] = {
      {"$GPGLL,4916.45,N,12311.12,W,225444,A", "$GPGLL,4916.45,N,12311.12,W,225444,A*31\r\n"},
      {"$PGRMO,,2", "$PGRMO,,2*75\r\n"},
      {"  $PGRMO,,2 \t\r\n", "$PGRMO,,2*75\r\n"},
      {"$PSRF100,1,4800,8,1,0*0E", "$PSRF100,1,4800,8,1,0*0E\r\n"},
      {"$PSRF100,1,4800,8,1,0*0e", "$PSRF100,1,4800,8,1,0*0e\r\n"},
      {"$PGRMO,,2*7", ""},  // damaged checksum: not sent
      {"$PGRMO,*,2", ""},
      {"PGRMO,,2", ""},
      {"; comment", ""},
      {"$", ""},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NmeaSetupSentence(c.line), c.sent) << c.line;
}

TEST(ReceiverSetup, ReadsTheSettingsFile) {
  const fs::path dir = fs::temp_directory_path() / "navlib_receiver_setup_test";
  fs::create_directories(dir);
  const fs::path file = dir / "a.nsf";
  {
    std::ofstream out(file, std::ios::binary);
    out << "# Garmin set-up\r\n$PGRMO,,2\r\n\r\n$PGRMO,GPRMC,1\n"
        << std::string(400, 'x') << "\n$" << std::string(300, 'A') << "\n$PGRMC*";
  }
  std::vector<std::string> sentences;
  ASSERT_TRUE(ReadNmeaSetup(file.string(), &sentences));
  ASSERT_EQ(sentences.size(), 2u);
  EXPECT_EQ(sentences[0], "$PGRMO,,2*75\r\n");
  EXPECT_EQ(sentences[1].substr(0, 15), "$PGRMO,GPRMC,1*");

  // A long file is cut at kMaxSetupLines sentences.
  {
    std::ofstream out(file, std::ios::binary);
    for (std::size_t i = 0; i < kMaxSetupLines + 50; ++i)
      out << "$PXXX," << i << "\n";
  }
  ASSERT_TRUE(ReadNmeaSetup(file.string(), &sentences));
  EXPECT_EQ(sentences.size(), kMaxSetupLines);

  EXPECT_FALSE(ReadNmeaSetup((dir / "missing.nsf").string(), &sentences));
  EXPECT_TRUE(sentences.empty());
  EXPECT_FALSE(ReadNmeaSetup("", &sentences));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace navlib
