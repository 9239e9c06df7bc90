// NMEA decoder: feeds framed sentences to the handlers and stops after an epoch completes.
#include "navlib32/nmea/NmeaDecoder.h"

#include "navlib32/MessageTap.h"

namespace navlib::nmea {

void NmeaDecoder::Handle(const NmeaSentence& sentence, double nowSeconds) {
  switch (DecodeSentence(sentence.body, sentence.hasChecksum, state_, clock_, nowSeconds)) {
    case SentenceResult::Decoded:
      ++sentences_.decoded;
      break;
    case SentenceResult::Unknown:
      ++sentences_.unknown;
      break;
    case SentenceResult::Malformed:
      ++sentences_.malformed;
      break;
    case SentenceResult::Late:
      ++sentences_.late;
      break;
  }
}

std::size_t NmeaDecoder::Feed(const uint8_t* data, std::size_t size, double nowSeconds) {
  lastNow_ = nowSeconds;
  std::size_t used = 0;
  while (used < size) {
    NmeaSentence sentence;
    bool got = false;
    const std::size_t step = framer_.Next(data + used, size - used, sentence, got);
    if (tap_ != nullptr) [[unlikely]]
      Tap(data + used, step, got ? &sentence : nullptr);
    used += step;
    if (!got) continue;
    const uint64_t before = state_.CompletedEpochs();
    state_.NoteMessageStart(messageStart_);
    messageStart_ = consumed_ + static_cast<int64_t>(used);
    Handle(sentence, nowSeconds);
    if (state_.CompletedEpochs() != before) {
      consumed_ += static_cast<int64_t>(used);
      return used;
    }
  }
  consumed_ += static_cast<int64_t>(size);
  return size;
}

void NmeaDecoder::Flush() {
  NmeaSentence sentence;
  if (framer_.Finish(sentence)) {
    if (tap_ != nullptr) Tap(nullptr, 0, &sentence);
    Handle(sentence, lastNow_);
  } else if (tap_ != nullptr) {
    tap_->End(pelmora::MessageProtocol::Nmea);
  }
  state_.CompleteEpoch(lastNow_);
}

std::unique_ptr<GpsDecoder> NmeaDecoder::Clone() const {
  auto copy = std::make_unique<NmeaDecoder>(*this);
  copy->tap_ = nullptr;
  return copy;
}

void NmeaDecoder::SetMessageTap(MessageTap* tap) {
  tap_ = tap;
  tapRejoined_ = framer_.Counters().rejoined;
}

void NmeaDecoder::Tap(const uint8_t* data, std::size_t size, const NmeaSentence* sentence) {
  MessageTap::NmeaStep step;
  step.consumed = {data, size};
  if (sentence != nullptr) {
    step.completed = true;
    step.body = sentence->body;
    step.hasChecksum = sentence->hasChecksum;
  }
  const uint64_t rejoined = framer_.Counters().rejoined;
  step.rejoined = rejoined != tapRejoined_;
  tapRejoined_ = rejoined;
  tap_->Nmea(step);
}

}  // namespace navlib::nmea
