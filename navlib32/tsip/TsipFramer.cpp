// TSIP byte stream → frames; the state machine is described in TsipFramer.h.
#include "navlib32/tsip/TsipFramer.h"

#include <cstring>

namespace navlib::tsip {

void TsipFramer::Reset() {
  state_ = State::Ground;
  length_ = 0;
}

void TsipFramer::StartFrame(uint8_t id) {
  length_ = 0;
  buffer_[length_++] = id;
  state_ = State::InFrame;
}

void TsipFramer::Append(uint8_t byte) {
  if (length_ >= buffer_.size()) {
    ++counters_.overlong;
    length_ = 0;
    state_ = State::Overflowing;
    return;
  }
  buffer_[length_++] = byte;
  state_ = State::InFrame;
}

bool TsipFramer::Push(uint8_t byte) {
  ++counters_.bytes;
  switch (state_) {
    case State::Ground:
      if (byte == kDle) {
        state_ = State::SawDle;
      } else {
        ++counters_.skipped;
      }
      return false;
    case State::SawDle:
      // DLE ETX is the tail of a frame we joined late; a second DLE may be a stuffed data
      // byte or the real start: keep waiting for the id either way.
      if (byte == kEtx) {
        counters_.skipped += 2;
        state_ = State::Ground;
      } else if (byte == kDle) {
        ++counters_.skipped;
      } else {
        StartFrame(byte);
      }
      return false;
    case State::InFrame:
      if (byte == kDle) {
        state_ = State::SawDleInFrame;
      } else {
        Append(byte);
      }
      return false;
    case State::SawDleInFrame:
      if (byte == kDle) {
        Append(byte);
        return false;
      }
      if (byte == kEtx) {
        state_ = State::Ground;
        ++counters_.frames;
        return true;
      }
      ++counters_.interrupted;
      StartFrame(byte);
      return false;
    case State::Overflowing:
      if (byte == kDle) state_ = State::SawDleOverflow;
      return false;
    case State::SawDleOverflow:
      if (byte == kEtx) {
        state_ = State::Ground;
      } else if (byte == kDle) {
        state_ = State::Overflowing;
      } else {
        StartFrame(byte);
      }
      return false;
  }
  return false;
}

std::size_t TsipFramer::Push(const uint8_t* data, std::size_t size, bool& completed) {
  completed = false;
  std::size_t i = 0;
  while (i < size) {
    if (state_ == State::InFrame || state_ == State::Ground || state_ == State::Overflowing) {
      // Up to the next DLE nothing but InFrame's copying happens.
      const uint8_t* start = data + i;
      const void* dle = std::memchr(start, kDle, size - i);
      const std::size_t run =
          dle ? static_cast<std::size_t>(static_cast<const uint8_t*>(dle) - start) : size - i;
      counters_.bytes += run;
      if (state_ == State::Ground) {
        counters_.skipped += run;
      } else if (state_ == State::InFrame) {
        const std::size_t room = buffer_.size() - length_;
        if (run > room) {
          std::memcpy(buffer_.data() + length_, start, room);
          ++counters_.overlong;
          length_ = 0;
          state_ = State::Overflowing;
        } else {
          std::memcpy(buffer_.data() + length_, start, run);
          length_ += run;
        }
      }
      i += run;
      if (i == size) break;
    }
    if (Push(data[i++])) {
      completed = true;
      break;
    }
  }
  return i;
}

}  // namespace navlib::tsip
