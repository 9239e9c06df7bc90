// Byte sources for replay and engine tests: a string served in reads of a bounded size, and a
// serial port whose incoming bytes, failures and outgoing bytes the test controls.
#pragma once

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <string>

#include "navlib32/ByteSource.h"

namespace navlib::testing {

// Serves text; each read returns at most maxRead bytes. failAt: the read that starts at or
// beyond this offset fails.
class StringSource final : public ByteSource {
 public:
  explicit StringSource(std::string text, std::size_t maxRead = SIZE_MAX,
                        std::size_t failAt = SIZE_MAX)
      : text_(std::move(text)), maxRead_(maxRead), failAt_(failAt) {}
  ReadStatus Read(uint8_t* data, std::size_t size, std::size_t* got) override {
    *got = 0;
    ++reads;
    largestRequest = std::max(largestRequest, size);
    if (pos_ >= failAt_) return ReadStatus::Failed;
    if (pos_ == text_.size()) return ReadStatus::End;
    *got = std::min({size, maxRead_, text_.size() - pos_});
    std::memcpy(data, text_.data() + pos_, *got);
    pos_ += *got;
    return ReadStatus::Ok;
  }
  bool Write(const uint8_t*, std::size_t) override { return false; }

  int reads = 0;
  std::size_t largestRequest = 0;

 private:
  std::string text_;
  std::size_t maxRead_;
  std::size_t failAt_;
  std::size_t pos_ = 0;
};

struct FakePortState {
  std::deque<std::string> incoming;  // one entry per read
  std::string written;
  bool readFails = false;
  bool writeFails = false;
  bool destroyed = false;
};

class FakePort final : public ByteSource {
 public:
  explicit FakePort(FakePortState* state) : state_(state) {}
  ~FakePort() override { state_->destroyed = true; }
  ReadStatus Read(uint8_t* data, std::size_t size, std::size_t* got) override {
    *got = 0;
    if (state_->readFails) return ReadStatus::Failed;
    if (state_->incoming.empty()) return ReadStatus::Ok;
    std::string& front = state_->incoming.front();
    *got = std::min(size, front.size());
    std::memcpy(data, front.data(), *got);
    front.erase(0, *got);
    if (front.empty()) state_->incoming.pop_front();
    return ReadStatus::Ok;
  }
  bool Write(const uint8_t* data, std::size_t size) override {
    if (state_->writeFails) return false;
    state_->written.append(reinterpret_cast<const char*>(data), size);
    return true;
  }

 private:
  FakePortState* state_;
};

}  // namespace navlib::testing
