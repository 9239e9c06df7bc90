// The workbench's accuracy statistics over an averaging session: deviations of each fix in the
// local east-north-up frame at a reference (WGS84), their spread and percentiles, with quality
// gates that keep poor epochs out. Portable: standard C++ only.
//
// Means and the covariance update incrementally (Welford) over every used epoch, in the frame
// of the session's first used fix; the summary rotates them into the reference's frame. The
// percentiles, the scatter and the height strip need the deviations themselves: each used epoch
// is kept as four floats (16 bytes: east, north, up in millimetres within some 100 km of the first
// fix, and its time from the session's first), at most maxStored of them (default 864000, 24 h at
// 10 Hz: 13.8 MB, plus 6.9 MB of distances while a summary runs). When full, every
// other kept sample is dropped and from then on only every second (then fourth, ...) used epoch
// is kept, so the percentiles stay spread evenly over the whole session; means and σ still count
// every epoch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/workbench/EpochSample.h"
#include "app/workbench/Geodesy.h"

namespace pelmora::workbench {

enum class ReferenceKind {
  RunningAverage,  // the mean of the session; deviations are taken about the final mean
  FirstFix,        // the session's first used fix
  Surveyed,        // a mark the user gives
};

// An epoch is used only when it passes every gate; otherwise it is counted as excluded.
struct QualityGates {
  int minFixDimension = 2;  // 2 or 3; epochs without a fix never pass
  double maxPdop = 0.0;     // 0: no limit; with a limit, an epoch without PDOP fails
  int minSatsUsed = 0;
};

struct AccuracySummary {
  uint64_t samples = 0;   // used epochs
  uint64_t excluded = 0;  // epochs the gates kept out
  double duration = 0.0;  // seconds from the first to the last used epoch with a time
  Geodetic reference;     // valid with samples > 0 (or a surveyed mark)
  Geodetic mean;
  // Standard deviations about the mean (divided by the number of samples), in the reference's
  // frame; percentiles of the deviations from the reference, interpolated between ranks.
  double sigmaE = 0, sigmaN = 0, sigmaU = 0;
  double cep50 = 0, cep95 = 0;
  double twoDrms = 0;     // 2·√(σE² + σN²)
  double vertical95 = 0;  // 95th percentile of |up|
  // The largest |east| or |north| and the largest |up| of the kept deviations (the graphs' range).
  double maxHorizontalAxis = 0, maxVertical = 0;
};

// The p-quantile (0..1) of values, linearly interpolated between the ranks around p·(n−1); values
// are reordered. NaN when empty.
double Percentile(std::vector<float>& values, double p);

class AccuracyStats {
 public:
  static constexpr std::size_t kDefaultStored = 864000;
  explicit AccuracyStats(std::size_t maxStored = kDefaultStored);

  void SetGates(const QualityGates& gates) { gates_ = gates; }
  const QualityGates& gates() const { return gates_; }
  // May change during a session: the summary is recomputed for the new reference. A mark
  // without a height (markHasHeight false) takes the session's mean height.
  void SetReference(ReferenceKind kind, const Geodetic& mark = {}, bool markHasHeight = true);
  ReferenceKind referenceKind() const { return kind_; }

  // Start (or resume after Stop) taking epochs; Stop keeps what was gathered; Reset forgets it
  // (gates and reference choice stay).
  void Start() { running_ = true; }
  void Stop() { running_ = false; }
  void Reset();
  bool running() const { return running_; }

  enum class Outcome { NotRunning, Used, Excluded };
  Outcome Add(const EpochSample& sample);
  bool Passes(const EpochSample& sample) const;

  // The current reference; none before the first used fix (unless surveyed).
  std::optional<Geodetic> Reference() const;
  // Horizontal distance in metres of a position from the current reference; NaN without one.
  double HorizontalDeviation(const Geodetic& position) const;

  AccuracySummary Summary() const;
  // The kept deviations from the reference (east, north, up), oldest first.
  std::vector<Enu> Deviations() const;
  // Calls visit(const Enu& deviation, float seconds) for every kept sample, oldest first: its
  // deviation from the current reference in the reference's frame, and its time in seconds after
  // the session's first epoch with a time (NaN when it had none). Copies nothing, for the scatter
  // and the height strip.
  template <typename Visit>
  void ForEachDeviation(Visit&& visit) const {
    if (!origin_) return;
    Geodetic reference;
    const LocalFrame::Transform t = ToReference(&reference);
    for (const Packed& p : stored_)
      visit(t.Apply(p.east, p.north, p.up), p.seconds);
  }

  uint64_t samples() const { return count_; }
  uint64_t excluded() const { return excluded_; }
  std::size_t storedSamples() const { return stored_.size(); }
  // Bytes the kept deviations may take at most.
  std::size_t MemoryBudget() const { return maxStored_ * sizeof(Packed); }

 private:
  struct Packed {
    float east, north, up;
    float seconds;  // after firstTime_; NaN without a time
  };
  LocalFrame::Transform ToReference(Geodetic* reference) const;

  std::size_t maxStored_;
  QualityGates gates_;
  ReferenceKind kind_ = ReferenceKind::RunningAverage;
  Geodetic mark_;
  bool markHasHeight_ = true;
  bool running_ = false;

  std::optional<LocalFrame> origin_;  // the first used fix
  uint64_t count_ = 0;
  uint64_t excluded_ = 0;
  double mean_[3] = {0, 0, 0};
  double comoment_[3][3] = {};  // Σ (x − mean)(x − mean)ᵀ
  double firstTime_ = 0.0, lastTime_ = 0.0;
  bool timed_ = false;
  std::vector<Packed> stored_;
  uint64_t stride_ = 1;  // every stride-th used epoch is kept
};

}  // namespace pelmora::workbench
