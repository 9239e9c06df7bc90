// The index of a replayed log: every epoch with the byte offset decoding restarts from and its
// receiver time, found by decoding the log with a reader and decoder of its own. Built in steps
// of a byte budget so that no caller stalls. Portable.
//
// Times are milliseconds since midnight of the log's day 0 (the day of its first timed epoch):
// the receiver's UTC time of day, unwrapped across midnights by the receiver's date when it
// states one, else by a day counter that advances when the time of day drops by more than 12 h.
//
// Memory: epochs are packed in blocks of kBlockEpochs, each entry two varints (the offset's
// growth since the previous epoch and the time's change since the previous timed epoch), about
// 4 bytes an epoch at 1 Hz, plus a 32-byte block header (0.5 byte an epoch).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
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

  struct Entry {
    uint64_t offset = 0;       // where decoding yields the epoch
    int64_t timeMs = kNoTime;  // unwrapped receiver time; kNoTime when the epoch has none
  };

  // source: a reader of its own on the log; protocol: the one the replay decodes.
  LogIndex(std::unique_ptr<ByteSource> source, Protocol protocol, DecoderFactory makeDecoder);

  // Decodes up to byteBudget more bytes of the log; true once the index is complete (the end of
  // the log, or a read error: what was decodable before it is indexed).
  bool Step(uint64_t byteBudget);

  bool complete() const { return complete_; }
  int64_t size() const { return count_; }
  // Epoch number 0 .. size() - 1.
  Entry At(int64_t epoch) const;
  // The first epoch in log order whose time is at or after timeMs; -1 when none is indexed.
  int64_t FindTime(int64_t timeMs) const;
  int64_t firstTime() const { return firstTime_; }
  int64_t lastTime() const { return lastTime_; }
  // Days since 1970-01-01 of day 0, once the receiver has stated a date.
  std::optional<int64_t> dayZero() const { return dayZero_; }
  // Bytes the index holds (capacity of its arrays).
  std::size_t MemoryBytes() const;

 private:
  struct Block {
    uint64_t offsetBefore;  // offset of the epoch before the block (0 for the first)
    int64_t timeBefore;     // time of the last timed epoch before the block (0 when none)
    int64_t maxTime;        // latest time in the block; kNoTime when none
    uint64_t streamPos;     // where the block's entries begin in stream_
  };

  void Add(int64_t offset, const pelmora::FixRecord& fix, bool hasDate, int year, int month,
           int day);
  int64_t Unwrap(double utcSecondsOfDay, bool hasDate, int year, int month, int day);
  // Calls f(epoch, entry) for the block's entries in order until f returns true.
  template <typename F>
  void ScanBlock(std::size_t block, F f) const;

  LogReplay reader_;
  Protocol protocol_;
  bool started_ = false;
  bool complete_ = false;
  double clock_ = 0;  // one second per epoch, as the engine's replay clock
  std::vector<Block> blocks_;
  std::vector<uint8_t> stream_;
  int64_t count_ = 0;
  uint64_t lastOffset_ = 0;
  int64_t refTime_ = 0;  // time of the last timed epoch, the base of the next time delta
  int64_t firstTime_ = kNoTime;
  int64_t lastTime_ = kNoTime;
  // Unwrapping: the current day, the previous time of day, day 0 as a civil day.
  int64_t day_ = 0;
  int64_t lastTodMs_ = -1;
  std::optional<int64_t> dayZero_;
};

}  // namespace navlib
