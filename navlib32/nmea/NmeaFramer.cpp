// Byte-level NMEA framing: a small state machine with a fast path for the sentence body.
#include "navlib32/nmea/NmeaFramer.h"

#include <cstring>

namespace navlib::nmea {
namespace {

// Bytes that may appear in a sentence body: printable ASCII except the delimiters '$' and '*'.
constexpr std::array<bool, 256> MakeBodyTable() {
  std::array<bool, 256> table{};
  for (int c = 0x20; c <= 0x7E; ++c)
    table[c] = c != '$' && c != '*';
  return table;
}
constexpr std::array<bool, 256> kBody = MakeBodyTable();

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighs = 0x8080808080808080ull;

constexpr uint64_t HasZeroByte(uint64_t v) {
  return (v - kOnes) & ~v & kHighs;
}

// True when all eight bytes of word are body bytes: none below 0x20, none 0x7F or above, no
// '$' and no '*'. (A carry out of a byte 0xFF can only mark bytes that are rejected anyway.)
constexpr bool AllBody(uint64_t word) {
  const uint64_t control = (word - kOnes * 0x20) & ~word & kHighs;
  const uint64_t high = (word | (word + kOnes)) & kHighs;
  return (control | high | HasZeroByte(word ^ (kOnes * '$')) | HasZeroByte(word ^ (kOnes * '*'))) ==
         0;
}

int HexValue(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

void NmeaFramer::Reset() {
  state_ = State::Ground;
  length_ = 0;
  cutLength_ = 0;
  counters_ = NmeaFramerCounters{};
}

void NmeaFramer::Start() {
  state_ = State::InBody;
  length_ = 0;
  sum_ = 0;
  joined_ = false;
}

bool NmeaFramer::CompleteChecked(NmeaSentence& sentence) {
  state_ = State::Ground;
  if (given_ != sum_) {
    ++counters_.checksumFailures;
    return false;
  }
  ++counters_.sentences;
  counters_.rejoined += joined_;
  sentence.body = std::string_view(buffer_.data(), length_);
  sentence.hasChecksum = true;
  return true;
}

std::size_t NmeaFramer::Next(const uint8_t* data, std::size_t size, NmeaSentence& sentence,
                             bool& got) {
  got = false;
  std::size_t i = 0;
  while (i < size) {
    switch (state_) {
      case State::Ground: {
        // Between sentences there are usually just a line end or two: look before searching.
        cutLength_ = 0;  // only the sentence right after a cut may end it
        if (data[i] == '$') {
          ++i;
          Start();
          break;
        }
        const void* dollar = std::memchr(data + i, '$', size - i);
        if (dollar == nullptr) {
          counters_.skipped += size - i;
          i = size;
          break;
        }
        const std::size_t at = static_cast<std::size_t>(static_cast<const uint8_t*>(dollar) - data);
        counters_.skipped += at - i;
        i = at + 1;
        Start();
        break;
      }
      case State::InBody: {
        // Fast path: copy body bytes while they fit, folding them into the checksum.
        std::size_t room = kMaxNmeaSentence - length_;
        std::size_t end = size - i < room ? size : i + room;
        std::size_t j = i;
        uint64_t wordSum = 0;
        while (j + 8 <= end) {  // eight body bytes at a time while no delimiter is among them
          uint64_t word;
          std::memcpy(&word, data + j, 8);
          if (!AllBody(word)) break;
          wordSum ^= word;
          j += 8;
        }
        const std::size_t words = j - i;
        while (j < end && kBody[data[j]])
          ++j;
        const std::size_t n = j - i;
        std::memcpy(buffer_.data() + length_, data + i, n);
        wordSum ^= wordSum >> 32;
        wordSum ^= wordSum >> 16;
        wordSum ^= wordSum >> 8;
        uint8_t sum = static_cast<uint8_t>(sum_ ^ wordSum);
        for (std::size_t k = words; k < n; ++k)
          sum ^= data[i + k];
        sum_ = sum;
        length_ += n;
        i = j;
        if (i == size) break;
        const uint8_t c = data[i];
        if (kBody[c]) {  // no room left
          ++counters_.overlong;
          state_ = State::Ground;
          break;
        }
        ++i;
        if (c == '*') {
          state_ = State::SawStar;
        } else if (c == '$') {
          ++counters_.interrupted;
          std::memcpy(cut_.data(), buffer_.data(), length_);
          cutLength_ = length_;
          cutSum_ = sum_;
          Start();
        } else if (joined_) {  // a joined sentence must prove itself by its checksum
          ++counters_.checksumFailures;
          state_ = State::Ground;
        } else if (c == '\r' || c == '\n') {
          // A sentence without checksum; the sentence layer decides whether to trust it.
          state_ = State::Ground;
          ++counters_.sentences;
          sentence.body = std::string_view(buffer_.data(), length_);
          sentence.hasChecksum = false;
          got = true;
          counters_.bytes += i;
          return i;
        } else {
          ++counters_.interrupted;
          state_ = State::Ground;
        }
        break;
      }
      case State::SawStar:
      case State::SawHex1: {
        const uint8_t c = data[i];
        const int v = HexValue(c);
        if (v < 0) {
          ++counters_.checksumFailures;
          state_ = State::Ground;
          break;  // the byte is looked at again from Ground (it may be '$')
        }
        ++i;
        if (state_ == State::SawStar) {
          given_ = static_cast<uint8_t>(v << 4);
          state_ = State::SawHex1;
        } else {
          given_ = static_cast<uint8_t>(given_ | v);
          state_ = State::SawHex2;
        }
        break;
      }
      case State::SawHex2: {
        const uint8_t c = data[i];
        if (c == '\r' || c == '\n' || c == '$') {
          if (c != '$') ++i;  // a '$' starts the next sentence from Ground
          got = CompleteChecked(sentence);
          if (got && c != '$' && cutLength_ > 0) state_ = State::Resume;
          if (got) {
            counters_.bytes += i;
            return i;
          }
        } else {
          ++counters_.checksumFailures;  // a third checksum character or stray text
          state_ = State::Ground;
        }
        break;
      }
      case State::Resume: {
        const uint8_t c = data[i];
        if (c == '\r' || c == '\n') {
          ++counters_.skipped;
          ++i;
          break;
        }
        state_ = State::Ground;  // a new sentence or noise: Ground looks at the byte again
        if (!kBody[c]) break;
        std::memcpy(buffer_.data(), cut_.data(), cutLength_);
        length_ = cutLength_;
        sum_ = cutSum_;
        cutLength_ = 0;
        joined_ = true;
        state_ = State::InBody;
        break;
      }
    }
  }
  counters_.bytes += i;
  return i;
}

bool NmeaFramer::Finish(NmeaSentence& sentence) {
  if (state_ == State::SawHex2) return CompleteChecked(sentence);
  state_ = State::Ground;
  return false;
}

}  // namespace navlib::nmea
