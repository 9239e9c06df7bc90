// The checksum-valid NMEA sentences a decoder was fed, kept for a caller that passes them on
// (the program's fix server sends them to its clients unchanged). A TappedDecoder sits in front
// of any GpsDecoder and hands the bytes the decoder consumed to a SentenceTap, which frames them
// with its own NmeaFramer and keeps the complete ones, bounded: when nobody takes them, the
// oldest go first. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "navlib32/GpsDecoder.h"
#include "navlib32/nmea/NmeaFramer.h"

namespace navlib {

class SentenceTap {
 public:
  // Bytes of sentences kept for the caller at most: a minute of a 9600-baud receiver.
  static constexpr std::size_t kMaxPending = 64 * 1024;

  // Frames the bytes; every checksum-valid sentence is kept as "$body*HH" CR LF. Sentences
  // without a checksum are not kept: nothing vouches for them.
  void Add(const uint8_t* data, std::size_t size);

  // Moves whole sentences, oldest first, into out (capacity bytes, zero-terminated when room is
  // left) and returns the bytes written; the ones that do not fit wait for the next call.
  std::size_t Take(char* out, std::size_t capacity);

  // Forgets the pending sentences and any partial one (a new source).
  void Clear();

  std::size_t PendingBytes() const { return pendingBytes_; }
  uint64_t Dropped() const { return dropped_; }

 private:
  nmea::NmeaFramer framer_;
  std::deque<std::string> pending_;
  std::size_t pendingBytes_ = 0;
  uint64_t dropped_ = 0;  // sentences pushed out unread
};

// A decoder whose consumed input also goes to a tap. The tap must outlive the decoder.
class TappedDecoder final : public GpsDecoder {
 public:
  TappedDecoder(std::unique_ptr<GpsDecoder> inner, SentenceTap& tap)
      : inner_(std::move(inner)), tap_(tap) {}

  std::size_t Feed(const uint8_t* data, std::size_t size, double nowSeconds) override;
  bool EpochComplete() const override { return inner_->EpochComplete(); }
  void TakeEpoch() override { inner_->TakeEpoch(); }
  void Flush() override { inner_->Flush(); }
  void GetFix(pelmora::FixRecord& out, double nowSeconds) const override {
    inner_->GetFix(out, nowSeconds);
  }
  int GetSatellites(pelmora::SatDetail* out, int capacity, double nowSeconds) const override {
    return inner_->GetSatellites(out, capacity, nowSeconds);
  }
  bool GetDate(int& year, int& month, int& day, double nowSeconds) const override {
    return inner_->GetDate(year, month, day, nowSeconds);
  }
  int64_t EpochOffset() const override { return inner_->EpochOffset(); }
  void SetMessageTap(MessageTap* tap) override { inner_->SetMessageTap(tap); }
  // The copy reports to neither tap.
  std::unique_ptr<GpsDecoder> Clone() const override { return inner_->Clone(); }
  std::size_t StateBytes() const override { return inner_->StateBytes(); }

 private:
  std::unique_ptr<GpsDecoder> inner_;
  SentenceTap& tap_;
};

}  // namespace navlib
