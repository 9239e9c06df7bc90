// The workbench's numbers at 24 h of 10 Hz epochs: the history's memory (computed budget and
// bytes allocated, as counters), adding an epoch to the history, to the accuracy statistics and
// through the whole model, reading a 1000-column decimated window over 24 h, the statistics'
// summary (the percentiles) over 864000 samples, and the accuracy graphs' per-pixel passes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "app/workbench/AccuracyStats.h"
#include "app/workbench/DeviationPlot.h"
#include "app/workbench/History.h"
#include "app/workbench/Workbench.h"

namespace {

using namespace pelmora::workbench;

constexpr int kDay = 864000;  // 24 h at 10 Hz

EpochSample Sample(int i) {
  EpochSample s;
  s.time = i / 10.0;
  s.sequence = static_cast<uint64_t>(i) + 1;
  s.hasFix = true;
  s.fixMode = s.fixDimension = 3;
  // A few metres of wander around a point.
  s.position = {52.52 + 2e-5 * std::sin(i * 0.013), 13.405 + 3e-5 * std::cos(i * 0.007),
                80 + 3 * std::sin(i * 0.011)};
  s.pdop = 1.2 + 0.5 * std::sin(i * 0.001);
  s.satsUsed = 8 + i % 5;
  s.satsInView = 14;
  s.meanSignalUsed = 40 + i % 7;
  return s;
}

const std::unique_ptr<History>& DayOfHistory() {
  static const std::unique_ptr<History> history = [] {
    auto h = std::make_unique<History>();
    for (int i = 0; i < kDay; ++i)
      h->Add(Sample(i), 0.01 * (i % 300));
    return h;
  }();
  return history;
}

void BM_HistoryAddEpoch(benchmark::State& state) {
  History history;
  std::vector<EpochSample> samples;
  for (int i = 0; i < 4096; ++i)
    samples.push_back(Sample(i));
  int i = 0;
  for (auto _ : state) {
    EpochSample s = samples[i & 4095];
    s.time = i / 10.0;
    s.sequence = static_cast<uint64_t>(i) + 1;
    history.Add(s, 1.5);
    ++i;
  }
  state.counters["epochs_kept"] = static_cast<double>(history.size());
}
BENCHMARK(BM_HistoryAddEpoch);

void BM_HistoryMemory24h(benchmark::State& state) {
  const History& history = *DayOfHistory();
  for (auto _ : state)
    benchmark::DoNotOptimize(history.MemoryUsed());
  state.counters["epochs"] = static_cast<double>(history.size());
  state.counters["budget_bytes"] = static_cast<double>(history.MemoryBudget());
  state.counters["used_bytes"] = static_cast<double>(history.MemoryUsed());
  state.counters["accuracy_budget_bytes"] = static_cast<double>(AccuracyStats().MemoryBudget());
}
BENCHMARK(BM_HistoryMemory24h)->Iterations(1);

void BM_HistoryDecimate24h(benchmark::State& state) {
  const History& history = *DayOfHistory();
  std::vector<HistoryColumn> columns(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    history.Decimate(history.FirstTime(), history.LastTime() + 0.1, columns);
    benchmark::DoNotOptimize(columns.data());
  }
}
BENCHMARK(BM_HistoryDecimate24h)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_HistoryDecimate1min(benchmark::State& state) {
  const History& history = *DayOfHistory();
  std::vector<HistoryColumn> columns(1000);
  for (auto _ : state) {
    history.Decimate(history.LastTime() - 60.0, history.LastTime() + 0.1, columns);
    benchmark::DoNotOptimize(columns.data());
  }
}
BENCHMARK(BM_HistoryDecimate1min)->Unit(benchmark::kMicrosecond);

void BM_AccuracyAddEpoch(benchmark::State& state) {
  AccuracyStats stats;
  stats.Start();
  int i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(stats.Add(Sample(i++ % kDay)));
}
BENCHMARK(BM_AccuracyAddEpoch);

void BM_AccuracySummary24h(benchmark::State& state) {
  AccuracyStats stats;
  stats.Start();
  for (int i = 0; i < kDay; ++i)
    stats.Add(Sample(i));
  for (auto _ : state)
    benchmark::DoNotOptimize(stats.Summary());
  state.counters["samples_kept"] = static_cast<double>(stats.storedSamples());
}
BENCHMARK(BM_AccuracySummary24h)->Unit(benchmark::kMillisecond);

// The Accuracy tab's graphs without GDI: one pass over 864000 kept samples into the scatter's
// per-pixel mask (800 x 600) and the height strip's 800 pixel columns.
void BM_AccuracyGraphPasses24h(benchmark::State& state) {
  AccuracyStats stats;
  stats.Start();
  for (int i = 0; i < kDay; ++i)
    stats.Add(Sample(i));
  const AccuracySummary summary = stats.Summary();
  std::size_t dots = 0;
  for (auto _ : state) {
    const PlotAxes axes = ChooseAxes(summary.maxHorizontalAxis, 290, 36);
    PixelMask mask(800, 600);
    stats.ForEachDeviation([&](const Enu& d, float) {
      mask.Mark(400.5 + d.east / axes.metresPerPixel, 300.5 - d.north / axes.metresPerPixel);
    });
    dots = mask.pixels().size();
    ColumnRanges strip(800);
    const double perSecond = 799 / summary.duration;
    stats.ForEachDeviation(
        [&](const Enu& d, float seconds) { strip.Add(seconds * perSecond, d.up); });
    benchmark::DoNotOptimize(strip.columns().data());
  }
  state.counters["pixels_drawn"] = static_cast<double>(dots);
}
BENCHMARK(BM_AccuracyGraphPasses24h)->Unit(benchmark::kMillisecond);

// The whole model per engine epoch: sample, statistics, deviation from the running mean, history.
void BM_WorkbenchOnEpoch(benchmark::State& state) {
  Workbench workbench;
  workbench.accuracy().Start();
  pelmora::Epoch epoch{};
  epoch.flags = pelmora::kEpochHasFix;
  epoch.fix.validFlags = pelmora::kValidTime | pelmora::kValidFixMode | pelmora::kValidGeometry |
                         pelmora::kValidEllipsoidHeight;
  epoch.fix.fixMode = 3;
  epoch.fix.pdop = 1.4f;
  epoch.satCount = 24;
  for (int k = 0; k < 24; ++k)
    epoch.sats[k] = {static_cast<int16_t>(k / 8), static_cast<int16_t>(k % 8 + 1), 30, 90, 41,
                     static_cast<int16_t>(k % 2)};
  int i = 0;
  for (auto _ : state) {
    const EpochSample s = Sample(i);
    epoch.fix.utcSeconds = std::fmod(s.time, 86400.0);
    epoch.fix.latitude = s.position.latitude;
    epoch.fix.longitude = s.position.longitude;
    epoch.fix.ellipsoidHeight = s.position.height;
    epoch.sequence = static_cast<uint64_t>(++i);
    benchmark::DoNotOptimize(workbench.OnEpoch(epoch));
  }
}
BENCHMARK(BM_WorkbenchOnEpoch);

}  // namespace

BENCHMARK_MAIN();
