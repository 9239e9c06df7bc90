// The replay player on large logs: index build in MB/s with its memory per epoch, the index
// built on the engine's worker while the caller keeps calling the engine as the window does, and
// the latency (p50, p99) of a seek to a random epoch, a step back and a step forward (a poll).
// The logs are gpssim logs of kEpochs seconds written to the temporary folder, or the file in
// PLAYER_BENCH_NMEA / PLAYER_BENCH_TSIP (e.g. receiver logs joined by bench/run_bench.sh).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "navlib32/Engine.h"
#include "navlib32/LogIndex.h"
#include "navlib32/MakeDecoder.h"
#include "tools/gpssim/Simulator.h"

namespace {

namespace fs = std::filesystem;
constexpr int kEpochs = 100000;  // about 28 hours at 1 Hz

const std::string& LogPath(navlib::Protocol protocol) {
  static std::string paths[2];
  std::string& path = paths[protocol == navlib::Protocol::Nmea ? 0 : 1];
  if (!path.empty()) return path;
  const char* given =
      std::getenv(protocol == navlib::Protocol::Nmea ? "PLAYER_BENCH_NMEA" : "PLAYER_BENCH_TSIP");
  if (given != nullptr && *given != '\0') return path = given;
  path = (fs::temp_directory_path() / (protocol == navlib::Protocol::Nmea
                                           ? "navlib_player_bench.nmea"
                                           : "navlib_player_bench.tsip"))
             .string();
  gpssim::SimConfig c;
  c.protocol = protocol == navlib::Protocol::Nmea ? gpssim::Protocol::Nmea : gpssim::Protocol::Tsip;
  c.turnRateDegPerSec = 0.2;
  gpssim::Simulator sim(c);
  std::ofstream out(path, std::ios::binary);
  for (int i = 0; i < kEpochs; ++i)
    out << sim.Next().bytes;
  return path;
}

navlib::EngineServices Services() {
  navlib::EngineServices s;
  s.makeDecoder = [](navlib::Protocol p) { return navlib::MakeDecoder(p); };
  return s;
}

void IndexBuild(benchmark::State& state) {
  const auto protocol = static_cast<navlib::Protocol>(state.range(0));
  const std::string& path = LogPath(protocol);
  int64_t epochs = 0;
  std::size_t memory = 0;
  for (auto _ : state) {
    navlib::LogIndex index(navlib::FileByteSource::Open(path), protocol,
                           [](navlib::Protocol p) { return navlib::MakeDecoder(p); });
    while (!index.Step(navlib::Engine::kIndexBytesPerPoll)) {
    }
    epochs = index.size();
    memory = index.MemoryBytes();
  }
  const auto bytes = static_cast<int64_t>(fs::file_size(path));
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["logMB"] = static_cast<double>(bytes) / 1e6;
  state.counters["epochs"] = static_cast<double>(epochs);
  state.counters["indexBytesPerEpoch"] = static_cast<double>(memory) / static_cast<double>(epochs);
}
BENCHMARK(IndexBuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);

void Percentiles(benchmark::State& state, std::vector<double>& us, const std::string& prefix = "");

// A log opened in the engine, its index built on the engine's worker (background 1) or a step on
// every player-state call (0), while this thread calls Pelmora_GetPlayerState as the window does
// (every 10 ms with the worker, back to back without): the wall time until the index is
// complete, and how long each call keeps the caller (p50, p99, max).
void IndexWhileCalling(benchmark::State& state) {
  const auto protocol = static_cast<navlib::Protocol>(state.range(0));
  const bool background = state.range(1) != 0;
  const std::string& path = LogPath(protocol);
  std::vector<double> us;
  double seconds = 0;
  for (auto _ : state) {
    navlib::EngineServices services = Services();
    services.indexInBackground = background;
    navlib::Engine engine(services);
    const auto start = std::chrono::steady_clock::now();
    if (engine.Open(protocol == navlib::Protocol::Nmea ? 1 : 2, path.c_str(), nullptr, nullptr) !=
        0)
      state.SkipWithError("open failed");
    pelmora::PlayerState s{};
    do {
      const auto before = std::chrono::steady_clock::now();
      engine.GetPlayerState(&s);
      us.push_back(
          std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - before)
              .count());
      if (background) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (s.indexComplete == 0);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  const auto bytes = static_cast<double>(fs::file_size(path));
  state.counters["complete_s"] = seconds;
  state.counters["wallMBps"] = bytes / 1e6 / seconds;
  state.counters["calls"] = static_cast<double>(us.size());
  state.counters["call_max_us"] = us.empty() ? 0 : *std::max_element(us.begin(), us.end());
  Percentiles(state, us, "call_");
}
BENCHMARK(IndexWhileCalling)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"tsip", "background"})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Opens the log in engine and indexes it whole.
void OpenIndexed(navlib::Engine& engine, navlib::Protocol protocol) {
  const int32_t type = protocol == navlib::Protocol::Nmea ? 1 : 2;
  if (engine.Open(type, LogPath(protocol).c_str(), nullptr, nullptr) != 0) std::abort();
  pelmora::PlayerState s{};
  while (engine.GetPlayerState(&s) == 0 && s.indexComplete == 0) {
  }
}

void Percentiles(benchmark::State& state, std::vector<double>& us, const std::string& prefix) {
  if (us.empty()) return;
  std::sort(us.begin(), us.end());
  state.counters[prefix + "p50_us"] = us[us.size() / 2];
  state.counters[prefix + "p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
}

// kind 0: a seek to a random epoch; 1: a step back; 2: a step forward (Poll).
void PlayerLatency(benchmark::State& state) {
  const auto protocol = static_cast<navlib::Protocol>(state.range(0));
  const int kind = static_cast<int>(state.range(1));
  navlib::Engine engine(Services());
  OpenIndexed(engine, protocol);
  const int64_t count = engine.index()->size();
  std::mt19937_64 rng(7);
  std::vector<double> us;
  if (engine.SeekEpoch(count / 2) != 0) state.SkipWithError("seek failed");
  for (auto _ : state) {
    const int64_t target = static_cast<int64_t>(rng() % static_cast<uint64_t>(count));
    const auto start = std::chrono::steady_clock::now();
    int32_t result = 0;
    if (kind == 0) result = engine.SeekEpoch(target);
    if (kind == 1) result = engine.StepBack();
    if (kind == 2) result = engine.Poll();
    us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                     .count());
    if (result != 0) {
      state.PauseTiming();
      engine.SeekEpoch(count / 2);  // ran off an end: go on from the middle
      state.ResumeTiming();
    }
  }
  Percentiles(state, us);
}
BENCHMARK(PlayerLatency)
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->ArgNames({"tsip", "seek0_back1_fwd2"})
    ->Unit(benchmark::kMicrosecond);

// Seek exactness: kSampled epochs spread over the log, each sought and compared whole with what
// the straight replay showed there (counter "differ"), and the index's memory with its
// checkpoints.
void SeekExact(benchmark::State& state) {
  constexpr int64_t kSampled = 2000;
  const auto protocol = static_cast<navlib::Protocol>(state.range(0));
  int64_t differ = 0, sampled = 0, count = 0;
  std::size_t memory = 0;
  for (auto _ : state) {
    navlib::Engine engine(Services());
    OpenIndexed(engine, protocol);
    count = engine.index()->size();
    memory = engine.index()->MemoryBytes();
    const int64_t every = std::max<int64_t>(1, count / kSampled);
    std::vector<pelmora::Epoch> straight;
    for (int64_t n = 0; engine.Poll() == 0; ++n)
      if (n % every == 0) engine.GetEpoch(&straight.emplace_back());
    differ = 0;
    sampled = static_cast<int64_t>(straight.size());
    for (int64_t k = 0; k < sampled; ++k) {
      pelmora::Epoch sought{};
      if (engine.SeekEpoch(k * every) != 0 || engine.GetEpoch(&sought) != 0 ||
          std::memcmp(&sought, &straight[static_cast<std::size_t>(k)], sizeof sought) != 0)
        ++differ;
    }
  }
  state.counters["epochs"] = static_cast<double>(count);
  state.counters["sampled"] = static_cast<double>(sampled);
  state.counters["differ"] = static_cast<double>(differ);
  state.counters["indexBytesPerEpoch"] = static_cast<double>(memory) / static_cast<double>(count);
}
BENCHMARK(SeekExact)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
