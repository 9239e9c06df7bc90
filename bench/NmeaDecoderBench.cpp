// Throughput of the bare NMEA decoder (framing, sentences, fix state, one record per epoch) on
// a simulated multi-sentence log held in memory.
#include <benchmark/benchmark.h>

#include <string>

#include "navlib32/nmea/NmeaDecoder.h"
#include "tools/gpssim/Simulator.h"

namespace {

const std::string& SimulatedLog() {
  static const std::string log = [] {
    gpssim::SimConfig config;
    config.turnRateDegPerSec = 1.0;
    gpssim::Simulator sim(config);
    std::string out;
    for (int i = 0; i < 4000; ++i)
      out += sim.Next().bytes;
    return out;
  }();
  return log;
}

void BM_NmeaDecoder(benchmark::State& state) {
  const std::string& log = SimulatedLog();
  const auto* bytes = reinterpret_cast<const uint8_t*>(log.data());
  int64_t epochs = 0;
  for (auto _ : state) {
    navlib::nmea::NmeaDecoder decoder;
    pelmora::FixRecord record;
    for (std::size_t at = 0; at < log.size();) {
      at += decoder.Feed(bytes + at, log.size() - at, 0.0);
      if (decoder.EpochComplete()) {
        decoder.GetFix(record, 0.0);
        benchmark::DoNotOptimize(record);
        decoder.TakeEpoch();
        ++epochs;
      }
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(log.size()));
  state.counters["epochs"] = static_cast<double>(epochs);
}
BENCHMARK(BM_NmeaDecoder)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
