// The fix server's own cost per epoch: Publish to N clients over sockets that take everything
// at once, for NMEA-port clients (a TSIP receiver: sentences written from the record) and gpsd
// JSON watchers (TPV and SKY). The sentences and reports are written once per epoch; each client
// adds the copy into its queue and the send. What Winsock adds is measured by
// bench/net_latency.sh.
#include <benchmark/benchmark.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/net/FixServer.h"

namespace {

using pelmora::net::IoResult;
using pelmora::net::SocketId;

// N connections waiting at each listener; every send is taken whole and forgotten.
class SinkSockets final : public pelmora::net::NetSockets {
 public:
  explicit SinkSockets(int waiting) : waiting_(waiting) {}
  SocketId Listen(const std::string&, uint16_t port, std::string&) override { return port; }
  IoResult Accept(SocketId listener, SocketId* client) override {
    if (listener != acceptOn_ || waiting_ == 0) return IoResult::WouldBlock;
    --waiting_;
    *client = next_++;
    return IoResult::Done;
  }
  // A gpsd client's one request, as gpspipe -w sends it; then silence.
  IoResult Receive(SocketId s, char* buffer, std::size_t size, std::size_t* got) override {
    static constexpr std::string_view kWatch = "?WATCH={\"enable\":true,\"json\":true};";
    *got = 0;
    if (acceptOn_ != 2947 || !asked_.insert(s).second || size < kWatch.size())
      return IoResult::WouldBlock;
    kWatch.copy(buffer, kWatch.size());
    *got = kWatch.size();
    return IoResult::Done;
  }
  IoResult Send(SocketId, const char*, std::size_t size, std::size_t* sent) override {
    *sent = size;
    bytes += size;
    return IoResult::Done;
  }
  void Close(SocketId) override {}
  void AcceptOn(SocketId listener) { acceptOn_ = listener; }
  uint64_t bytes = 0;

 private:
  int waiting_;
  SocketId acceptOn_ = 0;
  SocketId next_ = 100000;
  std::set<SocketId> asked_;
};

pelmora::FixRecord Fix(int second) {
  pelmora::FixRecord f{};
  f.validFlags = 0x31F7;
  f.status = 1;
  f.fixMode = 3;
  f.utcSeconds = 36000 + second;
  f.latitude = 47.5 + second * 1e-5;
  f.longitude = 8.25;
  f.ellipsoidHeight = 439.7;
  f.geoidHeight = 400;
  f.speed = 12;
  f.trueHeading = 45;
  f.pdop = 1.8f;
  f.satCount = 8;
  for (int i = 0; i < 12; ++i)
    f.sats[i] = {static_cast<int16_t>(i + 1), static_cast<int16_t>(i < 8), 30, 45, 40};
  return f;
}

void Publish(benchmark::State& state, bool json) {
  const int clients = static_cast<int>(state.range(0));
  SinkSockets sockets(clients);
  pelmora::net::FixServer server(sockets, [] { return std::string("2027-01-15T08:00:00.000Z"); });
  server.Start(pelmora::net::FixServerOptions{true});
  sockets.AcceptOn(json ? 2947 : 10110);
  server.Pump();
  server.Pump();  // the watchers' requests
  // The record's twelve satellites as GPS, dated as the receiver would.
  std::vector<pelmora::net::SkySatellite> sats;
  for (const pelmora::SatInfo& slot : Fix(0).sats)
    sats.push_back({pelmora::net::Gnss::Gps, slot.prn, slot.elevation, slot.azimuth, slot.snr,
                    slot.used == 1});
  int second = 0;
  for (auto _ : state) {
    pelmora::net::FixEpoch e;
    e.fix = Fix(second++);
    e.date = pelmora::net::CivilDate{2027, 1, 15};
    e.satellites = sats;
    server.Publish(e);
  }
  state.counters["per_client_s"] = benchmark::Counter(
      static_cast<double>(clients),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["bytes_per_epoch"] =
      static_cast<double>(sockets.bytes) / static_cast<double>(state.iterations());
}

void PublishNmea(benchmark::State& state) {
  Publish(state, false);
}
BENCHMARK(PublishNmea)->Arg(1)->Arg(10)->Arg(40)->Arg(64);

void PublishJson(benchmark::State& state) {
  Publish(state, true);
}
BENCHMARK(PublishJson)->Arg(1)->Arg(10)->Arg(40)->Arg(64);

}  // namespace

BENCHMARK_MAIN();
