// LogIndex: a LogReplay of its own, paused whenever the byte budget is spent, and a packed
// array of its epochs, appended under the mutex in batches of decoded epochs.
#include "navlib32/LogIndex.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <system_error>
#include <utility>

namespace navlib {
namespace {

void PutVarint(std::vector<uint8_t>& out, uint64_t v) {
  while (v >= 0x80) {
    out.push_back(static_cast<uint8_t>(v | 0x80));
    v >>= 7;
  }
  out.push_back(static_cast<uint8_t>(v));
}

uint64_t GetVarint(const uint8_t*& p) {
  uint64_t v = 0;
  for (int shift = 0;; shift += 7) {
    const uint8_t b = *p++;
    v |= static_cast<uint64_t>(b & 0x7F) << shift;
    if ((b & 0x80) == 0) return v;
  }
}

uint64_t ZigZag(int64_t v) {
  return (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63);
}

int64_t UnZigZag(uint64_t v) {
  return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1);
}

}  // namespace

LogIndex::LogIndex(std::unique_ptr<ByteSource> source, Protocol protocol,
                   DecoderFactory makeDecoder, uint64_t checkpointBytes)
    : reader_(std::move(source), std::move(makeDecoder)),
      protocol_(protocol),
      checkpointEvery_(std::max<uint64_t>(checkpointBytes, 1)) {}

LogIndex::~LogIndex() {
  stop_.store(true, std::memory_order_relaxed);
  if (worker_.joinable()) worker_.join();
}

bool LogIndex::Step(uint64_t byteBudget) {
  if (ended_) return true;  // published whole already
  if (!started_) {
    started_ = true;
    if (!reader_.StartAt(0, protocol_)) ended_ = true;
  }
  std::vector<Decoded> batch;
  const uint64_t start = reader_.bytesFed();
  while (!ended_) {
    const uint64_t fed = reader_.bytesFed() - start;
    if (fed >= byteBudget) break;
    const LogReplay::Step step = reader_.Advance(clock_ + 1, byteBudget - fed);
    if (step == LogReplay::Step::Paused) break;
    if (step != LogReplay::Step::Epoch) {
      ended_ = true;
      break;
    }
    clock_ += 1;
    const GpsDecoder& decoder = reader_.decoder();
    pelmora::FixRecord fix{};
    decoder.GetFix(fix, clock_);
    Decoded& d = batch.emplace_back();
    d.offset = reader_.EpochOffset();
    d.utcSeconds = fix.utcSeconds;
    d.timed = (fix.validFlags & pelmora::kValidTime) != 0 && std::isfinite(fix.utcSeconds) &&
              fix.utcSeconds >= 0 && fix.utcSeconds < 86400.0;
    d.hasDate = decoder.GetDate(d.year, d.month, d.day, clock_);
    if (reader_.position() - lastCheckpoint_ >= checkpointEvery_) KeepCheckpoint(decoded_);
    ++decoded_;
    if (batch.size() == kPublishEpochs) Publish(batch, false);
  }
  Publish(batch, ended_);
  return ended_;
}

bool LogIndex::StartWorker() {
  if (worker_.joinable()) return true;
  try {
    worker_ = std::thread([this] {
      try {
        while (!stop_.load(std::memory_order_relaxed) && !Step(kWorkerStepBytes)) {
        }
      } catch (...) {
        // Out of memory: what was published stays; nobody waits for the rest.
        {
          const std::lock_guard<std::mutex> lock(mutex_);
          complete_ = true;
        }
        published_.notify_all();
      }
    });
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

// Room for `more` elements made by copying outside the lock: this thread is the index's only
// writer, and the readers only read meanwhile; the storage changes hands under the lock.
template <typename T>
void LogIndex::Reserve(std::vector<T>& v, std::size_t more) {
  if (v.capacity() - v.size() >= more) return;
  std::vector<T> bigger;
  bigger.reserve(std::max(v.capacity() * 2, v.size() + more));
  bigger.assign(v.begin(), v.end());
  const std::lock_guard<std::mutex> lock(mutex_);
  v.swap(bigger);
}

// Storage of exactly the elements held, copied outside the lock as above.
template <typename T>
void LogIndex::Compact(std::vector<T>& v) {
  std::vector<T> exact(v.begin(), v.end());
  const std::lock_guard<std::mutex> lock(mutex_);
  v.swap(exact);
}

void LogIndex::Publish(std::vector<Decoded>& batch, bool ended) {
  // Readers never wait for a reallocation of the index.
  Reserve(stream_, batch.size() * kMaxEntryBytes);
  Reserve(blocks_, batch.size() / kBlockEpochs + 1);
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const Decoded& d : batch)
      Add(d);
    if (ended) complete_ = true;
  }
  batch.clear();
  if (ended) {
    Compact(stream_);
    Compact(blocks_);
  }
  published_.notify_all();
}

void LogIndex::KeepCheckpoint(int64_t epoch) {
  lastCheckpoint_ = reader_.position();
  std::shared_ptr<const GpsDecoder> copy = reader_.decoder().Clone();
  if (!copy) return;
  const std::lock_guard<std::mutex> lock(mutex_);
  if (checkpoints_.size() == kMaxCheckpoints) {  // every other one goes, twice as far apart
    std::size_t kept = 0;
    for (std::size_t i = 1; i < checkpoints_.size(); i += 2)
      checkpoints_[kept++] = std::move(checkpoints_[i]);
    checkpoints_.resize(kept);
    checkpointEvery_ *= 2;
  }
  checkpoints_.push_back(Checkpoint{epoch, lastCheckpoint_, std::move(copy)});
}

LogIndex::Checkpoint LogIndex::CheckpointBefore(int64_t epoch) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto after = std::partition_point(checkpoints_.begin(), checkpoints_.end(),
                                          [&](const Checkpoint& c) { return c.epoch < epoch; });
  return after == checkpoints_.begin() ? Checkpoint{} : *std::prev(after);
}

LogIndex::Snapshot LogIndex::SnapshotLocked() const {
  return Snapshot{count_, complete_, firstTime_, lastTime_, maxTime_, dayZero_};
}

LogIndex::Snapshot LogIndex::snapshot() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return SnapshotLocked();
}

LogIndex::Snapshot LogIndex::WaitFor(const std::function<bool(const Snapshot&)>& ready,
                                     std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  if (worker_.joinable())
    published_.wait_for(lock, timeout, [&] { return complete_ || ready(SnapshotLocked()); });
  return SnapshotLocked();
}

int64_t LogIndex::Unwrap(double utcSecondsOfDay, bool hasDate, int year, int month, int day) {
  const int64_t tod = std::clamp<int64_t>(std::llround(utcSecondsOfDay * 1000), 0, kMsPerDay - 1);
  const bool dropped = lastTodMs_ >= 0 && tod < lastTodMs_ - kMsPerDay / 2;
  if (hasDate) {
    const int64_t civil = DaysFromCivil(year, month, day);
    if (!dayZero_) dayZero_ = civil - day_;
    const int64_t dated = civil - *dayZero_;
    // A date held over from before midnight does not take the time back a day.
    day_ = dated == day_ && dropped ? day_ + 1 : dated;
  } else if (dropped) {
    ++day_;
  }
  lastTodMs_ = tod;
  return day_ * kMsPerDay + tod;
}

void LogIndex::Add(const Decoded& d) {
  const uint64_t at =
      std::max<uint64_t>(d.offset < 0 ? 0 : static_cast<uint64_t>(d.offset), lastOffset_);
  if (count_ % kBlockEpochs == 0)
    blocks_.push_back(Block{lastOffset_, refTime_, kNoTime, stream_.size()});
  PutVarint(stream_, at - lastOffset_);
  lastOffset_ = at;
  if (d.timed) {
    const int64_t t = Unwrap(d.utcSeconds, d.hasDate, d.year, d.month, d.day);
    PutVarint(stream_, ZigZag(t - refTime_) + 1);
    refTime_ = t;
    Block& b = blocks_.back();
    b.maxTime = std::max(b.maxTime, t);
    if (firstTime_ == kNoTime) firstTime_ = t;
    lastTime_ = t;
    maxTime_ = std::max(maxTime_, t);
  } else {
    PutVarint(stream_, 0);
  }
  ++count_;
}

template <typename F>
void LogIndex::ScanBlock(std::size_t block, F f) const {
  const Block& b = blocks_[block];
  const uint8_t* p = stream_.data() + b.streamPos;
  Entry e{b.offsetBefore, kNoTime};
  int64_t ref = b.timeBefore;
  const int64_t first = static_cast<int64_t>(block) * kBlockEpochs;
  const int64_t end = std::min<int64_t>(first + kBlockEpochs, count_);
  for (int64_t epoch = first; epoch < end; ++epoch) {
    e.offset += GetVarint(p);
    const uint64_t code = GetVarint(p);
    e.timeMs = code == 0 ? kNoTime : (ref += UnZigZag(code - 1));
    if (f(epoch, e)) return;
  }
}

LogIndex::Entry LogIndex::At(int64_t epoch) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  Entry found;
  if (epoch < 0 || epoch >= count_) return found;
  ScanBlock(static_cast<std::size_t>(epoch / kBlockEpochs), [&](int64_t n, const Entry& e) {
    found = e;
    return n == epoch;
  });
  return found;
}

int64_t LogIndex::FindTime(int64_t timeMs) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  for (std::size_t block = 0; block < blocks_.size(); ++block) {
    if (blocks_[block].maxTime == kNoTime || blocks_[block].maxTime < timeMs) continue;
    int64_t found = -1;
    ScanBlock(block, [&](int64_t n, const Entry& e) {
      if (e.timeMs == kNoTime || e.timeMs < timeMs) return false;
      found = n;
      return true;
    });
    return found;
  }
  return -1;
}

std::size_t LogIndex::MemoryBytes() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  std::size_t bytes = blocks_.capacity() * sizeof(Block) + stream_.capacity() +
                      checkpoints_.capacity() * sizeof(Checkpoint);
  for (const Checkpoint& c : checkpoints_)
    bytes += c.decoder->StateBytes();
  return bytes;
}

}  // namespace navlib
