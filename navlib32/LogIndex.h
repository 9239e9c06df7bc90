// The index of a replayed log: every epoch with the byte offset decoding restarts from and its
// receiver time, found by decoding the log with a reader and decoder of its own. Built in steps
// of a byte budget so that no caller stalls, or whole on a worker thread of its own that
// publishes each step; the readers may run on another thread. Portable.
//
// Times are milliseconds since midnight of the log's day 0 (the day of its first timed epoch):
// the receiver's UTC time of day, unwrapped across midnights by the receiver's date when it
// states one, else by a day counter that advances when the time of day drops by more than 12 h.
//
// Memory: epochs are packed in blocks of kBlockEpochs, each entry two varints (the offset's
// growth since the previous epoch and the time's change since the previous timed epoch), about
// 4 bytes an epoch at 1 Hz, plus a 32-byte block header (0.5 byte an epoch). The arrays grow by
// doubling, copied outside the lock, and shrink to their contents once the index is complete.
// Beside them, copies of the decoder's state (checkpoints, below) that seeks resume from.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "navlib32/ByteSource.h"
#include "navlib32/Calendar.h"
#include "navlib32/LogReplay.h"

namespace navlib {

constexpr int64_t kMsPerDay = 86400000;

class LogIndex {
 public:
  static constexpr int kBlockEpochs = 64;
  static constexpr int64_t kNoTime = INT64_MIN;

  // Log bytes a worker decodes between publications (a few milliseconds; also how soon it
  // stops when asked).
  static constexpr uint64_t kWorkerStepBytes = 1u << 20;
  // Epochs decoded before they are published, at most (bounds a step's scratch memory).
  static constexpr std::size_t kPublishEpochs = 4096;

  // Copies of the decoder's state are kept every kCheckpointBytes of log at first, so that a seek
  // decodes at most that much; at most kMaxCheckpoints of them: when full, every other one goes
  // and the spacing doubles (a 1 GB log keeps one every 4 MB, about 4 MB of copies in all).
  static constexpr uint64_t kCheckpointBytes = 64u << 10;
  static constexpr std::size_t kMaxCheckpoints = 256;

  struct Entry {
    uint64_t offset = 0;       // where decoding yields the epoch
    int64_t timeMs = kNoTime;  // unwrapped receiver time; kNoTime when the epoch has none
  };

  // What is published, read at one moment.
  struct Snapshot {
    int64_t size = 0;
    bool complete = false;
    int64_t firstTime = kNoTime, lastTime = kNoTime;
    int64_t maxTime = kNoTime;  // latest time of any epoch indexed
    std::optional<int64_t> dayZero;
  };

  // The decoder's state just after an epoch, and where in the log its next byte comes from.
  struct Checkpoint {
    int64_t epoch = -1;  // -1: none
    uint64_t offset = 0;
    std::shared_ptr<const GpsDecoder> decoder;
  };

  // source: a reader of its own on the log; protocol: the one the replay decodes; checkpointBytes:
  // the first spacing of the checkpoints.
  LogIndex(std::unique_ptr<ByteSource> source, Protocol protocol, DecoderFactory makeDecoder,
           uint64_t checkpointBytes = kCheckpointBytes);
  // Stops the worker, if one runs, and waits for it.
  ~LogIndex();
  LogIndex(const LogIndex&) = delete;
  LogIndex& operator=(const LogIndex&) = delete;

  // Decodes up to byteBudget more bytes of the log; true once the index is complete (the end of
  // the log, or a read error: what was decodable before it is indexed). Not while a worker runs.
  bool Step(uint64_t byteBudget);
  // Indexes the rest of the log on a thread of its own; false when no thread could be started
  // (the caller goes on with Step).
  bool StartWorker();
  bool HasWorker() const { return worker_.joinable(); }
  // Waits up to timeout while a worker runs, until ready(snapshot) holds or the index is
  // complete; then, and without a worker at once, the snapshot.
  Snapshot WaitFor(const std::function<bool(const Snapshot&)>& ready,
                   std::chrono::milliseconds timeout) const;

  Snapshot snapshot() const;
  bool complete() const { return snapshot().complete; }
  int64_t size() const { return snapshot().size; }
  // Epoch number 0 .. size() - 1.
  Entry At(int64_t epoch) const;
  // The first epoch in log order whose time is at or after timeMs; -1 when none is indexed.
  int64_t FindTime(int64_t timeMs) const;
  // The latest checkpoint of an epoch before `epoch`; epoch -1 when there is none.
  Checkpoint CheckpointBefore(int64_t epoch) const;
  int64_t firstTime() const { return snapshot().firstTime; }
  int64_t lastTime() const { return snapshot().lastTime; }
  // Days since 1970-01-01 of day 0, once the receiver has stated a date.
  std::optional<int64_t> dayZero() const { return snapshot().dayZero; }
  // Bytes the index holds (capacity of its arrays, and the checkpoints).
  std::size_t MemoryBytes() const;

 private:
  // An epoch as the decoder gave it, before it is packed.
  struct Decoded {
    int64_t offset;
    double utcSeconds;
    bool timed, hasDate;
    int year, month, day;
  };
  struct Block {
    uint64_t offsetBefore;  // offset of the epoch before the block (0 for the first)
    int64_t timeBefore;     // time of the last timed epoch before the block (0 when none)
    int64_t maxTime;        // latest time in the block; kNoTime when none
    uint64_t streamPos;     // where the block's entries begin in stream_
  };

  // An entry's two varints take at most this many bytes.
  static constexpr std::size_t kMaxEntryBytes = 20;

  // Packs the batch into the index (and marks it complete once ended), then wakes the waiters.
  void Publish(std::vector<Decoded>& batch, bool ended);
  template <typename T>
  void Reserve(std::vector<T>& v, std::size_t more);
  template <typename T>
  void Compact(std::vector<T>& v);
  void Add(const Decoded& epoch);  // under mutex_
  Snapshot SnapshotLocked() const;
  // Keeps a copy of the reader's decoder as the checkpoint of epoch.
  void KeepCheckpoint(int64_t epoch);
  int64_t Unwrap(double utcSecondsOfDay, bool hasDate, int year, int month, int day);
  // Calls f(epoch, entry) for the block's entries in order until f returns true.
  template <typename F>
  void ScanBlock(std::size_t block, F f) const;

  // The stepping side: used by one thread at a time (the caller of Step, or the worker).
  LogReplay reader_;
  Protocol protocol_;
  bool started_ = false;
  bool ended_ = false;
  double clock_ = 0;     // one second per epoch, as the engine's replay clock
  int64_t decoded_ = 0;  // epochs decoded
  uint64_t checkpointEvery_;
  uint64_t lastCheckpoint_ = 0;  // log position of the last checkpoint

  // The published index, under mutex_.
  mutable std::mutex mutex_;
  mutable std::condition_variable published_;
  bool complete_ = false;
  std::vector<Block> blocks_;
  std::vector<uint8_t> stream_;
  int64_t count_ = 0;
  uint64_t lastOffset_ = 0;
  int64_t refTime_ = 0;  // time of the last timed epoch, the base of the next time delta
  int64_t firstTime_ = kNoTime;
  int64_t lastTime_ = kNoTime;
  int64_t maxTime_ = kNoTime;
  // Unwrapping: the current day, the previous time of day, day 0 as a civil day.
  int64_t day_ = 0;
  int64_t lastTodMs_ = -1;
  std::optional<int64_t> dayZero_;
  std::vector<Checkpoint> checkpoints_;  // in epoch order

  std::atomic<bool> stop_{false};
  std::thread worker_;  // last: started after everything it uses, stopped first
};

}  // namespace navlib
