// Log replay through the engine on gpssim NMEA logs written to disk: the time to open a log
// (which should not grow with its size), and replay throughput in MB/s with the resident memory
// it ends with (which should not grow either).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "navlib32/Engine.h"
#include "navlib32/MakeDecoder.h"
#include "tools/gpssim/Simulator.h"

namespace {

namespace fs = std::filesystem;

// A log of `epochs` seconds, written once per size.
const std::string& LogPath(int epochs) {
  static std::map<int, std::string> paths;
  auto it = paths.find(epochs);
  if (it != paths.end()) return it->second;
  const fs::path path =
      fs::temp_directory_path() / ("navlib_replay_bench_" + std::to_string(epochs) + ".gps");
  std::ofstream out(path, std::ios::binary);
  gpssim::Simulator sim(gpssim::SimConfig{});
  for (int i = 0; i < epochs; ++i)
    out << sim.Next().bytes;
  return paths.emplace(epochs, path.string()).first->second;
}

// Resident set size in KiB (Linux), 0 elsewhere.
double ResidentKiB() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return 0;
  long pages = 0, resident = 0;
  const int n = std::fscanf(f, "%ld %ld", &pages, &resident);
  std::fclose(f);
  return n == 2 ? resident * 4.0 : 0;
}

navlib::EngineServices Services() {
  navlib::EngineServices s;
  s.makeDecoder = [](navlib::Protocol p) { return navlib::MakeDecoder(p); };
  return s;
}

void OpenLog(benchmark::State& state) {
  const std::string& path = LogPath(static_cast<int>(state.range(0)));
  navlib::Engine engine(Services());
  for (auto _ : state) {
    if (engine.Open(1, path.c_str(), nullptr, nullptr) != 0) state.SkipWithError("open failed");
    benchmark::DoNotOptimize(engine.Poll());
    engine.Close();
  }
  state.counters["logMB"] = fs::file_size(path) / 1e6;
}

void ReplayLog(benchmark::State& state) {
  const std::string& path = LogPath(static_cast<int>(state.range(0)));
  const double before = ResidentKiB();
  navlib::Engine engine(Services());
  int64_t epochs = 0;
  for (auto _ : state) {
    engine.Open(1, path.c_str(), nullptr, nullptr);
    pelmora::FixRecord record;
    while (engine.Poll() == 0) {
      engine.GetInfo(&record);
      ++epochs;
    }
    engine.Close();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fs::file_size(path)));
  state.counters["epochs/s"] =
      benchmark::Counter(static_cast<double>(epochs), benchmark::Counter::kIsRate);
  state.counters["rssGrowthKiB"] = ResidentKiB() - before;
}

BENCHMARK(OpenLog)->Arg(600)->Arg(60000)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReplayLog)->Arg(600)->Arg(60000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
