// The workbench's history: a compact record per epoch for strip charts over a window of 1 min to
// 24 h, read decimated per pixel column as each column's minimum and maximum, and a list of
// outages. Portable: standard C++ only.
//
// Memory: a ring of capacity records (default 864000, 24 h at 10 Hz) of 16 bytes, plus a
// summary (minimum and maximum of every series) per block of 64 records, plus at most kMaxOutages
// outages: 13.8 MB + 0.7 MB + 0.3 MB at the default (MemoryBudget()), allocated on the first
// epoch. HDOP and VDOP are not kept: the engine's epoch does not carry them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <span>
#include <vector>

#include "app/workbench/EpochSample.h"

namespace pelmora::workbench {

enum class Series { SatsUsed, SatsInView, Pdop, FixMode, MeanSignal, Deviation };
constexpr std::size_t kSeriesCount = 6;

struct SeriesRange {
  float min = std::numeric_limits<float>::infinity();
  float max = -std::numeric_limits<float>::infinity();
  bool empty() const { return min > max; }
  void Add(float v) {
    if (v < min) min = v;
    if (v > max) max = v;
  }
  void Merge(const SeriesRange& o) {
    if (o.min < min) min = o.min;
    if (o.max > max) max = o.max;
  }
};

// One pixel column: how many epochs fell in it and, per series, the extremes of the values
// present (a series without a value in the column is empty).
struct HistoryColumn {
  uint32_t epochs = 0;
  std::array<SeriesRange, kSeriesCount> series;
  const SeriesRange& operator[](Series s) const { return series[static_cast<std::size_t>(s)]; }
};

enum class OutageKind {
  FixLost,        // from the first epoch without a fix to the one that regains it
  TimeJump,       // the receiver's clock stepped back (or repeated a time)
  EpochsMissing,  // a gap: epochs the receiver did not send or the program did not read
};

struct Outage {
  OutageKind kind;
  double start;       // time (EpochClock seconds) where it began; NaN when unknown
  double end;         // where it ended: fix regained, the clock's new time, the next epoch; NaN
                      // while a fix is still lost
  double axis;        // where it begins on the charts' time axis (a gap: the epoch before it)
  double axisEnd;     // where it ends there (a time jump: axis); NaN while a fix is still lost
  uint64_t missing;   // EpochsMissing: how many epochs
  uint64_t sequence;  // the epoch that showed it (Epoch::sequence)
  int64_t logOffset;  // replay: where the player can jump to (the epoch that showed it); -1 live
  bool ongoing;       // FixLost: not regained yet
};

class History {
 public:
  static constexpr std::size_t kDefaultCapacity = 864000;
  static constexpr std::size_t kBlock = 64;
  static constexpr std::size_t kMaxOutages = 4096;

  // capacity is rounded up to a whole number of blocks.
  explicit History(std::size_t capacity = kDefaultCapacity);

  // One new epoch; deviation: horizontal metres from the accuracy reference (NaN when none).
  // A replay's player may jump: an epoch of the log already in the history (a jump back) is
  // passed over, and a jump ahead over epochs never read is no outage.
  void Add(const EpochSample& sample, double deviation);
  void Clear();

  std::size_t size() const { return size_; }
  std::size_t capacity() const { return capacity_; }
  // The charts' time axis: the receiver's time, kept increasing across steps back of its clock.
  double FirstTime() const;
  double LastTime() const;
  // The smallest step between epochs seen; 0 until known.
  double Interval() const { return interval_; }

  // Splits [from, to) into columns.size() equal columns and fills each.
  void Decimate(double from, double to, std::span<HistoryColumn> columns) const;

  const std::deque<Outage>& outages() const { return outages_; }

  std::size_t MemoryBudget() const;
  std::size_t MemoryUsed() const;

 private:
  struct Record {     // 16 bytes
    uint32_t timeMs;  // axis time − base_, milliseconds
    float deviation;  // NaN when none
    uint16_t pdop;    // hundredths; kAbsent when not given
    uint16_t signal;  // tenths of dB-Hz; kAbsent when none
    uint8_t used, inView;
    int8_t fixMode;  // -1 when not given
    uint8_t reserved;
  };
  static constexpr uint16_t kAbsent = 0xFFFF;

  double AxisTime(const EpochSample& s, bool jumped);
  void Note(OutageKind kind, double start, double end, double axis, double axisEnd,
            uint64_t missing, const EpochSample& s);
  void Store(const Record& r);
  const Record& At(std::size_t logical) const { return ring_[(head_ + logical) % capacity_]; }
  double TimeOf(std::size_t logical) const { return base_ + At(logical).timeMs / 1000.0; }
  std::size_t LowerBound(double t) const;
  static void AddRecord(const Record& r, HistoryColumn& c);

  std::size_t capacity_;
  std::vector<Record> ring_;
  std::vector<HistoryColumn> blocks_;  // summary of block b at b % (capacity_ / kBlock)
  std::size_t head_ = 0;               // physical index of the oldest record
  std::size_t size_ = 0;
  uint64_t total_ = 0;  // records ever stored: absolute index of the next
  double base_ = 0.0;   // axis time of timeMs 0

  // Tracking between epochs.
  bool started_ = false;
  double lastTime_ = 0.0;  // the receiver's time of the last timed epoch
  bool lastTimed_ = false;
  double lastAxis_ = 0.0;
  double axisShift_ = 0.0;  // axis time − receiver time
  double interval_ = 0.0;   // smallest step between epochs seen; 0 until known
  uint64_t lastSequence_ = 0;
  uint64_t furthest_ = 0;  // replay: the furthest epoch of the log recorded
  bool hadFix_ = false;
  std::deque<Outage> outages_;
};

}  // namespace pelmora::workbench
