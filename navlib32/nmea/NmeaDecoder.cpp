// NMEA decoder: feeds framed sentences to the handlers and stops after an epoch completes.
#include "navlib32/nmea/NmeaDecoder.h"

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
    used += framer_.Next(data + used, size - used, sentence, got);
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
  if (framer_.Finish(sentence)) Handle(sentence, lastNow_);
  state_.CompleteEpoch(lastNow_);
}

}  // namespace navlib::nmea
