// Throughput of the bare decoders (MB/s of log bytes) on logs held in memory: NMEA and TSIP, fed
// in 64 KiB reads as log replay and navdump do, with and without rendering the record of every
// epoch. The logs are gpssim's, or the files named by DECODER_BENCH_NMEA and DECODER_BENCH_TSIP
// (run_bench.sh passes real receiver logs that way). Rates are per CPU second of the benchmark
// thread, which other work on a shared machine disturbs less than wall time.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "navlib32/GpsDecoder.h"
#include "navlib32/MakeDecoder.h"
#include "tools/gpssim/Simulator.h"

namespace {

constexpr int kEpochs = 20000;  // about 10 MB of each protocol
constexpr std::size_t kRead = 1 << 16;

const std::string& Log(gpssim::Protocol protocol) {
  auto make = [](gpssim::Protocol p) {
    const char* file =
        std::getenv(p == gpssim::Protocol::Nmea ? "DECODER_BENCH_NMEA" : "DECODER_BENCH_TSIP");
    if (file != nullptr && *file != '\0') {
      std::ifstream in(file, std::ios::binary);
      std::string log;
      if (in) log.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      if (log.empty()) {
        std::fprintf(stderr, "decoder_bench: cannot read %s\n", file);
        std::exit(2);
      }
      return log;
    }
    gpssim::SimConfig config;
    config.protocol = p;
    config.turnRateDegPerSec = 0.5;  // a moving, turning receiver: varied digits
    gpssim::Simulator sim(config);
    std::string log;
    for (int i = 0; i < kEpochs; ++i)
      log += sim.Next().bytes;
    return log;
  };
  static const std::string nmea = make(gpssim::Protocol::Nmea);
  static const std::string tsip = make(gpssim::Protocol::Tsip);
  return protocol == gpssim::Protocol::Nmea ? nmea : tsip;
}

// Decodes the whole log; with records, renders every completed epoch as navdump does.
void DecodeLog(benchmark::State& state, gpssim::Protocol simProtocol, navlib::Protocol protocol,
               bool records) {
  const std::string& log = Log(simProtocol);
  const auto* data = reinterpret_cast<const uint8_t*>(log.data());
  int64_t epochs = 0;
  for (auto _ : state) {
    std::unique_ptr<navlib::GpsDecoder> decoder = navlib::MakeDecoder(protocol);
    double now = 0.0;
    for (std::size_t begin = 0; begin < log.size(); begin += kRead) {
      const std::size_t end = std::min(log.size(), begin + kRead);
      std::size_t pos = begin;
      while (pos < end) {
        pos += decoder->Feed(data + pos, end - pos, now);
        if (decoder->EpochComplete()) {
          if (records) {
            pelmora::FixRecord record;
            decoder->GetFix(record, now);
            benchmark::DoNotOptimize(record);
          }
          decoder->TakeEpoch();
          now += 1.0;
          ++epochs;
        }
      }
    }
    decoder->Flush();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(log.size()));
  state.counters["epochs"] =
      benchmark::Counter(static_cast<double>(epochs), benchmark::Counter::kAvgIterations);
  state.counters["log_MB"] = static_cast<double>(log.size()) / 1e6;
  // Decimal megabytes per second (Google Benchmark's bytes_per_second counts in MiB).
  state.counters["MB_per_s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * static_cast<double>(log.size()) / 1e6,
      benchmark::Counter::kIsRate);
}

void BM_NmeaDecoder(benchmark::State& state) {
  DecodeLog(state, gpssim::Protocol::Nmea, navlib::Protocol::Nmea, false);
}
void BM_NmeaDecoderWithRecords(benchmark::State& state) {
  DecodeLog(state, gpssim::Protocol::Nmea, navlib::Protocol::Nmea, true);
}
void BM_TsipDecoder(benchmark::State& state) {
  DecodeLog(state, gpssim::Protocol::Tsip, navlib::Protocol::Tsip, false);
}
void BM_TsipDecoderWithRecords(benchmark::State& state) {
  DecodeLog(state, gpssim::Protocol::Tsip, navlib::Protocol::Tsip, true);
}

BENCHMARK(BM_NmeaDecoder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NmeaDecoderWithRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TsipDecoder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TsipDecoderWithRecords)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
