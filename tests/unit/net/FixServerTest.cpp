// The server over fake sockets: what each kind of client receives, what is sent when, and the
// limits (client count, slow readers, floods, ports in use, stop).
#include "app/net/FixServer.h"

#include <gtest/gtest.h>

#include "tests/unit/net/FakeSockets.h"
#include "tests/unit/net/NetTestSupport.h"

namespace pelmora::net {
namespace {

using testing::FakeSockets;
using testing::FullFix;
using testing::JsonChecker;
using testing::Lines;

class FixServerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.Start(FixServerOptions{}).empty()); }
  SocketId Connect(uint16_t port) {
    const SocketId s = sockets_.Connect(port);
    server_.Pump();
    return s;
  }
  SocketId WatchJson() {
    const SocketId s = Connect(2947);
    sockets_.conns[s].in = "?WATCH={\"enable\":true,\"json\":true};";
    server_.Pump();
    sockets_.Take(s);
    return s;
  }
  // The engine's date of the sentences below (their RMC).
  void PublishNmea(const std::string& sentences, FixRecord fix = FullFix()) {
    FixEpoch e;
    e.fix = fix;
    e.receiverSpeaksNmea = true;
    e.sentences = sentences;
    e.date = CivilDate{2025, 1, 7};
    e.satellites = testing::SkyOf(fix);
    server_.Publish(e);
  }
  void PublishTsip(const FixRecord& fix, std::optional<CivilDate> date = CivilDate{2024, 3, 5}) {
    FixEpoch e;
    e.fix = fix;
    e.date = date;
    e.satellites = testing::SkyOf(fix);
    server_.Publish(e);
  }

  FakeSockets sockets_;
  FixServer server_{sockets_, [] { return std::string("2026-12-08T10:54:56.000Z"); }};
};

std::vector<std::string> Classes(const std::string& text) {
  std::vector<std::string> classes;
  for (const std::string& line : Lines(text)) {
    EXPECT_TRUE(JsonChecker(line).ok()) << line;
    const std::size_t at = line.find("\"class\":\"");
    classes.push_back(
        at == std::string::npos ? "?" : line.substr(at + 9, line.find('"', at + 9) - at - 9));
  }
  return classes;
}

using Strings = std::vector<std::string>;

TEST_F(FixServerTest, GpsdClientsGetTheHandshakeAndTheirRequestsAnswered) {
  const SocketId s = Connect(2947);
  EXPECT_EQ(Classes(sockets_.Take(s)), Strings{"VERSION"});
  const struct {
    std::string request;
    Strings classes;
  } cases[] = {
      {"?WATCH={\"enable\":true,\"json\":true};", {"DEVICES", "WATCH"}},
      {"?WATCH;", {"WATCH"}},
      {"?WATCH={\"enable\":false};", {"WATCH"}},
      {"?VERSION;?DEVICES;\n?DEVICE;", {"VERSION", "DEVICES", "DEVICE"}},
      {"?POLL;", {"POLL"}},
      {"?FOO;", {"ERROR"}},
      {"?WATCH={\"json\":\"yes\"};", {"ERROR"}},
      {"?DEVICE={\"path\":\"x\",\"bps\":9600};", {"ERROR"}},
      {"GET / HTTP/1.1\r\nHost: x\r\n\r\n", {"ERROR", "ERROR"}},
  };
  for (const auto& c : cases) {
    sockets_.conns[s].in = c.request;
    server_.Pump();
    EXPECT_EQ(Classes(sockets_.Take(s)), c.classes) << c.request;
  }
  EXPECT_EQ(server_.ClientCount(), 1u);
}

TEST_F(FixServerTest, EachClientGetsWhatItWatches) {
  const SocketId json = WatchJson();
  const SocketId nmeaPort = Connect(10110);
  const SocketId gpsdNmea = Connect(2947);
  sockets_.conns[gpsdNmea].in = "?WATCH={\"enable\":true,\"nmea\":true};";
  const SocketId idle = Connect(2947);
  server_.Pump();
  sockets_.Take(gpsdNmea);
  sockets_.Take(idle);

  // An NMEA receiver: its sentences pass through unchanged; JSON from the record.
  const std::string received =
      "$GPGGA,123456.50,4807.038,N,01131.000,E,1,08,0.9,545.4,M,47.0,M,,*4F\r\n"
      "$GPRMC,123456.50,A,4807.038,N,01131.000,E,022.4,084.4,070125,,*1A\r\n";
  PublishNmea(received);
  EXPECT_EQ(sockets_.Take(nmeaPort), received);
  EXPECT_EQ(sockets_.Take(gpsdNmea), received);
  const std::string tpvSky = sockets_.Take(json);
  EXPECT_EQ(Classes(tpvSky), (Strings{"TPV", "SKY"}));
  // The date is the receiver's, not the clock's.
  EXPECT_NE(tpvSky.find("\"time\":\"2025-01-07T12:34:56.500Z\""), std::string::npos) << tpvSky;
  EXPECT_EQ(sockets_.Take(idle), "");
  // POLL answers with the latest fix.
  sockets_.conns[idle].in = "?POLL;";
  server_.Pump();
  const std::string poll = sockets_.Take(idle);
  EXPECT_NE(poll.find("\"active\":1,\"tpv\":[{\"class\":\"TPV\""), std::string::npos) << poll;

  // A TSIP receiver: sentences written from the record, dated by the receiver.
  FixRecord tsip = FullFix();
  tsip.utcSeconds += 1;
  PublishTsip(tsip);
  Strings types;
  for (const std::string& line : Lines(sockets_.Take(nmeaPort)))
    types.push_back(line.substr(3, 3));
  EXPECT_EQ(types, (Strings{"GGA", "RMC", "GSA", "GSV", "GSV", "VTG"}));
  EXPECT_NE(sockets_.Take(json).find("\"time\":\"2024-03-05T12:34:57.500Z\""), std::string::npos);
  // No date yet: TPV without a time, as gpsd sends it.
  tsip.utcSeconds += 1;
  PublishTsip(tsip, std::nullopt);
  const std::string undated = sockets_.Take(json);
  EXPECT_EQ(Classes(undated), (Strings{"TPV", "SKY"}));
  EXPECT_EQ(undated.find("\"time\""), std::string::npos) << undated;
}

TEST_F(FixServerTest, NothingIsSentWithoutNewData) {
  const SocketId json = WatchJson();
  const SocketId nmea = Connect(10110);
  FixRecord silent{};
  silent.validFlags = kValidStatus;
  silent.status = 8;
  const struct {
    const char* name;
    bool speaksNmea;
    FixRecord fix;
  } quiet[] = {{"NMEA receiver sending nothing", true, FullFix()},
               {"TSIP receiver gone silent", false, silent}};
  for (const auto& q : quiet) {
    FixEpoch e;
    e.fix = q.fix;
    e.receiverSpeaksNmea = q.speaksNmea;
    server_.Publish(e);
    EXPECT_EQ(sockets_.Take(nmea), "") << q.name;
    EXPECT_EQ(sockets_.Take(json), "") << q.name;
  }
  // The same TSIP record twice: the second is no new epoch.
  PublishTsip(FullFix());
  EXPECT_NE(sockets_.Take(nmea), "");
  PublishTsip(FullFix());
  EXPECT_EQ(sockets_.Take(nmea), "");
  EXPECT_EQ(server_.Counters().epochs, 1u);
}

TEST_F(FixServerTest, AtMost64ClientsTheNextIsRefusedCleanly) {
  std::vector<SocketId> clients;
  for (std::size_t i = 0; i < FixServer::kMaxClients; ++i)
    clients.push_back(Connect(i % 2 ? 2947 : 10110));
  const SocketId extra = Connect(2947);
  EXPECT_EQ(server_.ClientCount(), FixServer::kMaxClients);
  EXPECT_TRUE(sockets_.conns[extra].closed);
  EXPECT_EQ(Classes(sockets_.Take(extra)), Strings{"ERROR"});
  EXPECT_EQ(server_.Counters().refused, 1u);
  // One leaves: the next is taken.
  sockets_.conns[clients[0]].peerClosed = true;
  server_.Pump();
  EXPECT_TRUE(sockets_.conns[clients[0]].closed);
  const SocketId late = Connect(10110);
  EXPECT_FALSE(sockets_.conns[late].closed);
  EXPECT_EQ(server_.ClientCount(), FixServer::kMaxClients);
}

TEST_F(FixServerTest, SlowReadersAndFloodersAreDroppedOthersServed) {
  const SocketId good = WatchJson();
  const SocketId stalled = WatchJson();
  sockets_.conns[stalled].window = 0;
  const SocketId flooder = Connect(2947);
  const SocketId junk = Connect(10110);
  std::string line(4096, 'x');
  std::size_t published = 0;
  for (int epoch = 0; epoch < 200; ++epoch) {
    sockets_.conns[flooder].in += line;  // one endless line
    if (!sockets_.conns[junk].closed) sockets_.conns[junk].in += line + "\n";
    server_.Pump();  // their sockets report the input
    FixRecord fix = FullFix();
    fix.utcSeconds += epoch;
    PublishTsip(fix);
    published += Lines(sockets_.Take(good)).size();
  }
  EXPECT_EQ(published, 400u);  // TPV and SKY every time
  EXPECT_TRUE(sockets_.conns[stalled].closed);
  EXPECT_TRUE(sockets_.conns[flooder].closed);
  EXPECT_FALSE(sockets_.conns[junk].closed);  // NMEA clients' input is read and forgotten
  EXPECT_FALSE(sockets_.conns[good].closed);
  EXPECT_EQ(server_.Counters().droppedSlow, 1u);
  EXPECT_EQ(server_.Counters().droppedFlood, 1u);
}

TEST_F(FixServerTest, APortInUseIsNamedAndTheOtherListenerWorks) {
  sockets_.busyPorts = {2947};
  const auto problems = server_.Start(FixServerOptions{true, "127.0.0.1", 10110, 2947});
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("port 2947"), std::string::npos) << problems[0];
  EXPECT_NE(problems[0].find("in use"), std::string::npos) << problems[0];
  EXPECT_TRUE(server_.Running());
  const SocketId nmea = Connect(10110);
  PublishTsip(FullFix());
  EXPECT_NE(sockets_.Take(nmea), "");
  // Both taken: not running, publishing is harmless.
  sockets_.busyPorts = {2947, 10110};
  EXPECT_EQ(server_.Start(FixServerOptions{}).size(), 2u);
  EXPECT_FALSE(server_.Running());
  PublishTsip(FullFix());
}

TEST_F(FixServerTest, StopSendsWhatIsQueuedAndClosesEverything) {
  const SocketId json = WatchJson();
  const SocketId nmea = Connect(10110);
  sockets_.conns[json].window = 0;
  PublishTsip(FullFix());
  sockets_.conns[json].window = SIZE_MAX;
  server_.Stop();
  EXPECT_EQ(Classes(sockets_.Take(json)), (Strings{"TPV", "SKY"}));
  EXPECT_TRUE(sockets_.conns[json].closed);
  EXPECT_TRUE(sockets_.conns[nmea].closed);
  EXPECT_TRUE(sockets_.listeners.empty());
  EXPECT_EQ(server_.ClientCount(), 0u);
  EXPECT_FALSE(server_.Running());
}

}  // namespace
}  // namespace pelmora::net
