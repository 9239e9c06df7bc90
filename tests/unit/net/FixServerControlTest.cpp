// The fix server's options and its on/off life: defaults, odd stored values, the menu toggle
// that stores FixServer, publishing from the engine only while on, and the close.
#include "app/net/FixServerControl.h"

#include <gtest/gtest.h>

#include "tests/unit/net/FakeSockets.h"
#include "tests/unit/net/NetTestSupport.h"
#include "tests/unit/settings/FakeOptionBackend.h"

namespace pelmora::net {
namespace {

constexpr char kApp[] = "Pelmora";

// An epoch of the fix FullFix() from an NMEA (or TSIP) source.
Epoch EpochOf(bool nmea, const FixRecord& fix = testing::FullFix()) {
  Epoch e{};
  e.fix = fix;
  e.flags = kEpochHasFix | (nmea ? kEpochNmea : 0);
  return e;
}

class FixServerControlTest : public ::testing::Test {
 protected:
  void Store(const char* key, const char* value) { backend_.values[{kApp, key}] = value; }
  std::string Stored(const char* key) { return backend_.values[{kApp, key}]; }

  test::FakeOptionBackend backend_;
  OptionStore store_{backend_, kApp};
  testing::FakeSockets sockets_;
  FixServer server_{sockets_, [] { return std::string("2026-12-08T10:54:56.000Z"); }};
  FixServerControl control_{server_, store_};
};

TEST_F(FixServerControlTest, OptionsWithDefaultsAndOddValues) {
  const struct {
    const char* key;
    const char* value;
    bool problem;
  } cases[] = {
      {"FixServerNmeaPort", "10111", false},    {"FixServerNmeaPort", "0", true},
      {"FixServerNmeaPort", "70000", true},     {"FixServerGpsdPort", "-1", true},
      {"FixServerGpsdPort", "junk", true},      {"FixServerAddress", "0.0.0.0", false},
      {"FixServerAddress", "localhost", false}, {"FixServerAddress", "256.1.1.1", true},
      {"FixServerAddress", "1.2.3", true},      {"FixServerAddress", "1.2.3.4 ", true},
      {"FixServerAddress", "::1", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + c.value);
    backend_.values.clear();
    Store(c.key, c.value);
    std::vector<std::string> problems;
    const FixServerOptions o = LoadFixServerOptions(store_, problems);
    EXPECT_EQ(problems.size(), c.problem ? 1u : 0u);
    EXPECT_FALSE(o.enabled);
    EXPECT_GE(o.nmeaPort, 1);
    EXPECT_GE(o.gpsdPort, 1);
    if (c.problem) {
      EXPECT_NE(problems[0].find(c.key), std::string::npos) << problems[0];
      const FixServerOptions defaults;
      EXPECT_EQ(o.address, defaults.address);
    }
  }
  backend_.values.clear();
  std::vector<std::string> problems;
  const FixServerOptions o = LoadFixServerOptions(store_, problems);
  EXPECT_EQ(o.address, "127.0.0.1");
  EXPECT_EQ(o.nmeaPort, 10110);
  EXPECT_EQ(o.gpsdPort, 2947);
}

TEST_F(FixServerControlTest, OffByDefaultTheMenuTogglesAndStores) {
  EXPECT_TRUE(control_.Load().empty());
  EXPECT_FALSE(control_.Checked());
  EXPECT_FALSE(server_.Running());
  Store("FixServerGpsdPort", "3000");
  EXPECT_TRUE(control_.Toggle().empty());
  EXPECT_TRUE(control_.Checked());
  EXPECT_TRUE(server_.Running());
  EXPECT_EQ(Stored("FixServer"), "1");
  std::set<uint16_t> ports;
  for (const auto& [id, port] : sockets_.listeners)
    ports.insert(port);
  EXPECT_EQ(ports, (std::set<uint16_t>{10110, 3000}));
  EXPECT_TRUE(control_.Toggle().empty());
  EXPECT_FALSE(control_.Checked());
  EXPECT_FALSE(server_.Running());
  EXPECT_EQ(Stored("FixServer"), "0");
  // Stored on: the next start serves at once; a port in use is reported, the rest runs.
  Store("FixServer", "1");
  sockets_.busyPorts = {10110};
  const auto problems = control_.Load();
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("port 10110"), std::string::npos);
  EXPECT_TRUE(control_.Checked());
  EXPECT_TRUE(server_.Running());
  control_.Shutdown();
  EXPECT_FALSE(server_.Running());
  EXPECT_EQ(Stored("FixServer"), "1");  // closing is no choice of the user
}

TEST_F(FixServerControlTest, PublishesOnlyWhileOn) {
  const std::string gga = "$GPGGA,1*00\r\n";
  const SocketId early = sockets_.Connect(10110);
  control_.Publish(EpochOf(true), gga);  // off: nothing served
  EXPECT_TRUE(sockets_.Take(early).empty());
  ASSERT_TRUE(control_.Toggle().empty());
  const SocketId client = sockets_.Connect(10110);
  server_.Pump();
  control_.Publish(EpochOf(true), gga);
  EXPECT_EQ(sockets_.Take(client), gga);
  // A TSIP source: sentences written from the record.
  FixRecord next = testing::FullFix();
  next.utcSeconds += 1;
  control_.Publish(EpochOf(false, next), "");
  EXPECT_EQ(sockets_.Take(client).substr(0, 7), "$GPGGA,");
}

TEST_F(FixServerControlTest, SkyListsEverySatelliteOfTheEpochAndTpvTheReceiversDate) {
  Epoch epoch = EpochOf(false);
  for (int i = 0; i < 40; ++i) {
    const auto system = static_cast<int16_t>(i % 4 == 0 ? SatSystem::Glonass : SatSystem::Galileo);
    const auto svid = static_cast<int16_t>(i % 4 == 0 ? 1 + i / 4 : 1 + i);
    epoch.sats[epoch.satCount++] = EpochSat{system, svid, 45, 90, 40, 1};
  }
  ASSERT_TRUE(control_.Toggle().empty());
  const SocketId client = sockets_.Connect(2947);
  server_.Pump();
  sockets_.conns[client].in = "?WATCH={\"enable\":true,\"json\":true};";
  server_.Pump();
  sockets_.Take(client);
  control_.Publish(epoch, "");
  std::string out = sockets_.Take(client);
  const size_t sky = out.find("{\"class\":\"SKY\"");
  ASSERT_NE(sky, std::string::npos) << out;
  const std::string line = out.substr(sky, out.find('\n', sky) - sky);
  size_t count = 0;
  for (size_t at = line.find("\"PRN\""); at != std::string::npos; at = line.find("\"PRN\"", at + 1))
    ++count;
  EXPECT_EQ(count, 40u);
  EXPECT_NE(line.find("\"gnssid\":6,\"svid\":1"), std::string::npos);  // GLONASS 1
  EXPECT_NE(line.find("\"gnssid\":2,\"svid\":40"), std::string::npos);
  // No date said: no time in TPV, never the computer's day. Said: that day.
  EXPECT_EQ(out.find("\"time\""), std::string::npos) << out;
  epoch.fix.utcSeconds += 1;
  epoch.flags |= kEpochHasDate;
  epoch.utcYear = 2024;
  epoch.utcMonth = 2;
  epoch.utcDay = 29;
  control_.Publish(epoch, "");
  out = sockets_.Take(client);
  EXPECT_NE(out.find("\"time\":\"2024-02-29T12:34:57.500Z\""), std::string::npos) << out;
}

}  // namespace
}  // namespace pelmora::net
