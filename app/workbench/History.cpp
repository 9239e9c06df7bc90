// The workbench's epoch history: a ring of compact records with block summaries, and outages.
#include "app/workbench/History.h"

#include <algorithm>
#include <cmath>

namespace pelmora::workbench {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMaxOffsetMs = 4.0e9;  // below 2^32

uint16_t Scaled(double value, double scale, bool present) {
  if (!present || !std::isfinite(value) || value < 0.0) return 0xFFFF;
  return static_cast<uint16_t>(std::min(65534.0, std::round(value * scale)));
}

}  // namespace

History::History(std::size_t capacity)
    : capacity_(std::max<std::size_t>(1, (capacity + kBlock - 1) / kBlock) * kBlock) {}

void History::Clear() {
  const std::size_t capacity = capacity_;
  std::vector<Record> ring = std::move(ring_);
  std::vector<HistoryColumn> blocks = std::move(blocks_);
  *this = History(capacity);
  ring_ = std::move(ring);  // keep the allocation; contents are unreachable until overwritten
  blocks_ = std::move(blocks);
}

double History::FirstTime() const {
  return size_ == 0 ? kNaN : TimeOf(0);
}
double History::LastTime() const {
  return size_ == 0 ? kNaN : TimeOf(size_ - 1);
}

void History::Note(OutageKind kind, double start, double end, double axis, double axisEnd,
                   uint64_t missing, const EpochSample& s) {
  if (outages_.size() == kMaxOutages) outages_.pop_front();
  outages_.push_back({kind, start, end, axis, axisEnd, missing, s.sequence, s.logOffset,
                      kind == OutageKind::FixLost});
}

double History::AxisTime(const EpochSample& s, bool jumped) {
  const bool timed = std::isfinite(s.time);
  if (!started_) {
    started_ = true;
    lastAxis_ = timed ? s.time : 0.0;
    axisShift_ = 0.0;
    return lastAxis_;
  }
  if (jumped) {
    // The axis follows the receiver's time when it ran on, else it steps on by one interval.
    const double axis = timed && lastTimed_ && s.time > lastTime_
                            ? s.time + axisShift_
                            : lastAxis_ + (interval_ > 0.0 ? interval_ : 1.0);
    if (timed) axisShift_ = axis - s.time;
    return axis;
  }
  uint64_t missing = 0;
  if (lastSequence_ != 0 && s.sequence > lastSequence_ + 1)
    missing = s.sequence - lastSequence_ - 1;
  double axis;
  if (timed && lastTimed_ && s.time > lastTime_) {
    const double dt = s.time - lastTime_;
    if (interval_ > 0.0 && dt > 1.5 * interval_) {
      missing = std::max(missing, static_cast<uint64_t>(std::llround(dt / interval_) - 1));
    } else if (interval_ == 0.0 || dt < interval_) {
      interval_ = dt;
    }
    axis = s.time + axisShift_;
  } else {
    axis = lastAxis_ + (interval_ > 0.0 ? interval_ : 1.0);
    if (timed && lastTimed_) Note(OutageKind::TimeJump, lastTime_, s.time, axis, axis, 0, s);
    if (timed) axisShift_ = axis - s.time;
  }
  if (missing > 0)
    Note(OutageKind::EpochsMissing, lastTimed_ ? lastTime_ : kNaN, s.time, lastAxis_, axis, missing,
         s);
  return axis;
}

void History::Add(const EpochSample& s, double deviation) {
  const bool replayed = s.logOffset >= 0 && s.sequence != 0;
  if (replayed && s.sequence <= furthest_) return;
  const bool jumped = replayed && lastSequence_ != 0 && s.sequence > lastSequence_ + 1;
  if (replayed) furthest_ = s.sequence;
  const double axis = AxisTime(s, jumped);
  if (std::isfinite(s.time)) {
    lastTime_ = s.time;
    lastTimed_ = true;
  }
  lastAxis_ = axis;
  lastSequence_ = s.sequence;
  if (hadFix_ && !s.hasFix && !jumped) Note(OutageKind::FixLost, s.time, kNaN, axis, kNaN, 0, s);
  if (!hadFix_ && s.hasFix) {
    for (auto it = outages_.rbegin(); it != outages_.rend(); ++it) {
      if (it->kind != OutageKind::FixLost) continue;
      if (it->ongoing) it->end = s.time, it->axisEnd = axis, it->ongoing = false;
      break;
    }
  }
  hadFix_ = s.hasFix;

  if (size_ == 0) base_ = axis;
  double offsetMs = std::round((axis - base_) * 1000.0);
  if (offsetMs > kMaxOffsetMs) {
    // Move the base up to the oldest record (rare: a ring spanning weeks).
    const uint32_t shift = At(0).timeMs;
    for (Record& r : ring_)
      r.timeMs = r.timeMs >= shift ? r.timeMs - shift : 0;
    base_ += shift / 1000.0;
    offsetMs = std::min(kMaxOffsetMs, std::round((axis - base_) * 1000.0));
  }
  Record r{};
  r.timeMs = static_cast<uint32_t>(std::max(0.0, offsetMs));
  r.deviation = static_cast<float>(deviation);
  r.pdop = Scaled(s.pdop, 100.0, s.pdop > 0.0);
  r.signal = Scaled(s.meanSignalUsed, 10.0, true);
  r.used = static_cast<uint8_t>(std::clamp(s.satsUsed, 0, 255));
  r.inView = static_cast<uint8_t>(std::clamp(s.satsInView, 0, 255));
  r.fixMode = static_cast<int8_t>(std::clamp(s.fixMode, -1, 127));
  Store(r);
}

void History::Store(const Record& r) {
  if (ring_.empty()) {
    ring_.resize(capacity_);
    blocks_.resize(capacity_ / kBlock);
  }
  const uint64_t a = total_;
  ring_[a % capacity_] = r;
  HistoryColumn& block = blocks_[(a / kBlock) % blocks_.size()];
  if (a % kBlock == 0) block = {};
  AddRecord(r, block);
  ++total_;
  if (size_ < capacity_) {
    ++size_;
  } else {
    head_ = (head_ + 1) % capacity_;
  }
}

void History::AddRecord(const Record& r, HistoryColumn& c) {
  ++c.epochs;
  auto at = [&c](Series s) -> SeriesRange& { return c.series[static_cast<std::size_t>(s)]; };
  at(Series::SatsUsed).Add(r.used);
  at(Series::SatsInView).Add(r.inView);
  if (r.pdop != kAbsent) at(Series::Pdop).Add(r.pdop / 100.0f);
  if (r.fixMode >= 0) at(Series::FixMode).Add(r.fixMode);
  if (r.signal != kAbsent) at(Series::MeanSignal).Add(r.signal / 10.0f);
  if (std::isfinite(r.deviation)) at(Series::Deviation).Add(r.deviation);
}

std::size_t History::LowerBound(double t) const {
  std::size_t lo = 0, hi = size_;
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (TimeOf(mid) < t) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo;
}

void History::Decimate(double from, double to, std::span<HistoryColumn> columns) const {
  std::fill(columns.begin(), columns.end(), HistoryColumn{});
  if (columns.empty() || !(to > from) || size_ == 0) return;
  const double width = (to - from) / static_cast<double>(columns.size());
  const uint64_t oldest = total_ - size_;
  std::size_t begin = LowerBound(from);
  for (std::size_t j = 0; j < columns.size(); ++j) {
    const double edge = j + 1 == columns.size() ? to : from + static_cast<double>(j + 1) * width;
    const std::size_t end = std::max(begin, LowerBound(edge));
    HistoryColumn& column = columns[j];
    for (uint64_t a = oldest + begin, last = oldest + end; a < last;) {
      if (a % kBlock == 0 && a + kBlock <= last) {
        const HistoryColumn& block = blocks_[(a / kBlock) % blocks_.size()];
        column.epochs += block.epochs;
        for (std::size_t s = 0; s < kSeriesCount; ++s)
          column.series[s].Merge(block.series[s]);
        a += kBlock;
      } else {
        AddRecord(ring_[a % capacity_], column);
        ++a;
      }
    }
    begin = end;
  }
}

std::size_t History::MemoryBudget() const {
  return capacity_ * sizeof(Record) + capacity_ / kBlock * sizeof(HistoryColumn) +
         kMaxOutages * sizeof(Outage);
}

std::size_t History::MemoryUsed() const {
  return ring_.capacity() * sizeof(Record) + blocks_.capacity() * sizeof(HistoryColumn) +
         outages_.size() * sizeof(Outage);
}

}  // namespace pelmora::workbench
