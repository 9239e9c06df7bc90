// Log replay. Resynchronisation and stray lines are the decoder's business; this file only
// moves bytes: a chunk is read when the previous one is used up, and Feed reports how much of it
// belonged to the epoch that completed.
#include "navlib32/LogReplay.h"

#include <algorithm>
#include <utility>

namespace navlib {
LogReplay::LogReplay(std::unique_ptr<ByteSource> source, DecoderFactory makeDecoder)
    : source_(std::move(source)), makeDecoder_(std::move(makeDecoder)) {}

ReadStatus LogReplay::Fill() {
  pos_ = 0;
  len_ = 0;
  if (readFailed_) return ReadStatus::Failed;
  // Sources may return short reads: fill the whole chunk, so that protocol detection sees a
  // full chunk and polls do not depend on how the source splits its bytes.
  while (len_ < chunk_.size()) {
    std::size_t got = 0;
    const ReadStatus status = source_->Read(chunk_.data() + len_, chunk_.size() - len_, &got);
    if (status == ReadStatus::Failed) readFailed_ = true;
    // A log that has nothing to give right now has nothing more at all.
    if (status != ReadStatus::Ok || got == 0) break;
    len_ += std::min(got, chunk_.size() - len_);
  }
  bytesRead_ += len_;
  if (len_ > 0) return ReadStatus::Ok;
  return readFailed_ ? ReadStatus::Failed : ReadStatus::End;
}

LogReplay::StartResult LogReplay::Start(std::optional<Protocol> expected) {
  const ReadStatus status = Fill();
  if (status == ReadStatus::Failed) failed_ = true;
  if (status != ReadStatus::Ok) return StartResult::NotGps;
  const ProtocolEvidence e = SniffProtocol(chunk_.data(), len_);
  if (e.nmea == 0 && e.tsip == 0) return StartResult::NotGps;
  if (!expected) {
    protocol_ = DetectProtocol(chunk_.data(), len_);
  } else {
    const int expectedHits = *expected == Protocol::Nmea ? e.nmea : e.tsip;
    const Protocol other = *expected == Protocol::Nmea ? Protocol::Tsip : Protocol::Nmea;
    protocol_ = expectedHits > 0 ? *expected : other;
  }
  decoder_ = makeDecoder_(protocol_);
  return decoder_ ? StartResult::Ok : StartResult::NotGps;
}

bool LogReplay::StartAt(uint64_t offset, Protocol protocol) {
  if (!Resume(offset, protocol, makeDecoder_(protocol))) return false;
  startOffset_ = offset;
  bytesFed_ = 0;
  return true;
}

bool LogReplay::Resume(uint64_t offset, Protocol protocol, std::unique_ptr<GpsDecoder> decoder) {
  if (!decoder || !source_->Seek(offset)) return false;
  pos_ = len_ = 0;
  ended_ = readFailed_ = failed_ = false;
  startOffset_ = 0;
  bytesFed_ = offset;
  protocol_ = protocol;
  decoder_ = std::move(decoder);
  return true;
}

int64_t LogReplay::EpochOffset() const {
  const int64_t offset = decoder_ ? decoder_->EpochOffset() : -1;
  return offset < 0 ? -1 : offset + static_cast<int64_t>(startOffset_);
}

LogReplay::Step LogReplay::Advance(double nowSeconds, uint64_t byteBudget) {
  if (!decoder_ || failed_) return Step::Failed;
  if (ended_) decoder_->Flush();  // an epoch the decoder still holds at the end
  while (!ended_) {
    if (byteBudget == 0) return Step::Paused;
    if (pos_ == len_) {
      const ReadStatus status = Fill();
      if (status == ReadStatus::Failed) {
        failed_ = true;
        return Step::Failed;
      }
      if (status == ReadStatus::End) {
        ended_ = true;
        decoder_->Flush();
        break;
      }
    }
    const std::size_t remaining =
        static_cast<std::size_t>(std::min<uint64_t>(len_ - pos_, byteBudget));
    std::size_t used = decoder_->Feed(chunk_.data() + pos_, remaining, nowSeconds);
    // A decoder that consumed nothing without completing an epoch would stall us: skip on.
    if (used == 0 && !decoder_->EpochComplete()) used = remaining;
    used = std::min(used, remaining);
    pos_ += used;
    byteBudget -= used;
    bytesFed_ += used;
    if (decoder_->EpochComplete()) {
      decoder_->TakeEpoch();
      return Step::Epoch;
    }
  }
  if (decoder_->EpochComplete()) {
    decoder_->TakeEpoch();
    return Step::Epoch;
  }
  return Step::End;
}

}  // namespace navlib
