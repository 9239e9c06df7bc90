// SentenceTap and TappedDecoder.
#include "navlib32/SentenceTap.h"

#include <algorithm>
#include <cstring>

#include "navlib32/nmea/NmeaChecksum.h"

namespace navlib {

void SentenceTap::Add(const uint8_t* data, std::size_t size) {
  std::size_t pos = 0;
  while (pos < size) {
    nmea::NmeaSentence sentence;
    bool got = false;
    pos += framer_.Next(data + pos, size - pos, sentence, got);
    if (!got || !sentence.hasChecksum) continue;
    std::string text = nmea::NmeaSentenceOf(sentence.body);
    pendingBytes_ += text.size();
    pending_.push_back(std::move(text));
    while (pendingBytes_ > kMaxPending) {
      pendingBytes_ -= pending_.front().size();
      pending_.pop_front();
      ++dropped_;
    }
  }
}

std::size_t SentenceTap::Take(char* out, std::size_t capacity) {
  std::size_t written = 0;
  while (!pending_.empty() && pending_.front().size() <= capacity - written) {
    const std::string& s = pending_.front();
    std::memcpy(out + written, s.data(), s.size());
    written += s.size();
    pendingBytes_ -= s.size();
    pending_.pop_front();
  }
  if (written < capacity) out[written] = '\0';
  return written;
}

void SentenceTap::Clear() {
  framer_.Reset();
  pending_.clear();
  pendingBytes_ = 0;
}

std::size_t TappedDecoder::Feed(const uint8_t* data, std::size_t size, double nowSeconds) {
  const std::size_t used = std::min(inner_->Feed(data, size, nowSeconds), size);
  tap_.Add(data, used);
  return used;
}

}  // namespace navlib
