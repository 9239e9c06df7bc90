// A line-based stand-in for the real decoders, for replay and engine tests: a line "$ID,T,..."
// belongs to the epoch of time T; the first line with a different T completes the epoch before
// it (Feed stops right after that line's '\n'). Other lines are ignored; a partial last line is
// dropped at Flush. Everything fed is recorded in a shared log.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "navlib32/GpsDecoder.h"

namespace navlib::testing {

struct FakeDecoderLog {
  std::vector<Protocol> made;  // protocols asked of the factory
  std::string fed;             // every byte fed, in order
  double lastNow = -1;
};

class FakeDecoder final : public GpsDecoder {
 public:
  static constexpr double kSilenceSeconds = 5.0;

  explicit FakeDecoder(FakeDecoderLog* log) : log_(log) {}

  std::size_t Feed(const uint8_t* data, std::size_t size, double now) override {
    for (std::size_t i = 0; i < size; ++i) {
      const char c = static_cast<char>(data[i]);
      log_->fed.push_back(c);
      log_->lastNow = now;
      if (c == '\r') continue;
      if (c != '\n') {
        if (line_.size() < 128) line_.push_back(c);
        continue;
      }
      const bool completed = EndLine(now);
      if (completed) return i + 1;
    }
    return size;
  }
  bool EpochComplete() const override { return pending_; }
  void TakeEpoch() override { pending_ = false; }
  void Flush() override {
    line_.clear();
    if (curLines_ > 0) Complete();
  }
  // One satellite per line of the last epoch, numbered from 1.
  int GetSatellites(pelmora::SatDetail* out, int capacity, double now) const override {
    if (!hasDone_ || now - lastActivity_ > kSilenceSeconds) return 0;
    const int n = std::min(doneLines_, capacity);
    for (int i = 0; i < n; ++i)
      out[i] = pelmora::SatDetail{static_cast<int16_t>(i + 1), 0, 1, 0, 0, 40};
    return n;
  }
  void GetFix(pelmora::FixRecord& out, double now) const override {
    out = pelmora::FixRecord{};
    if (!hasDone_ || now - lastActivity_ > kSilenceSeconds) return;
    out.validFlags = pelmora::kValidTime | pelmora::kValidPosition;
    out.utcSeconds = doneTime_;
    out.latitude = doneLines_;
  }

 private:
  bool EndLine(double now) {
    std::string line;
    line.swap(line_);
    if (line.size() < 4 || line[0] != '$') return false;
    const std::size_t a = line.find(',');
    if (a == std::string::npos) return false;
    const std::size_t b = line.find(',', a + 1);
    const std::string time = line.substr(a + 1, b == std::string::npos ? b : b - a - 1);
    lastActivity_ = now;
    bool completed = false;
    if (curLines_ > 0 && time != curTime_) {
      Complete();
      completed = true;
    }
    curTime_ = time;
    ++curLines_;
    return completed;
  }
  void Complete() {
    doneTime_ = std::strtod(curTime_.c_str(), nullptr);
    doneLines_ = curLines_;
    hasDone_ = true;
    pending_ = true;
    curLines_ = 0;
  }

  FakeDecoderLog* log_;
  std::string line_;
  std::string curTime_;
  int curLines_ = 0;
  double doneTime_ = 0;
  int doneLines_ = 0;
  bool hasDone_ = false;
  bool pending_ = false;
  double lastActivity_ = 0;
};

inline DecoderFactory MakeFakeFactory(FakeDecoderLog* log) {
  return [log](Protocol p) -> std::unique_ptr<GpsDecoder> {
    log->made.push_back(p);
    return std::make_unique<FakeDecoder>(log);
  };
}

}  // namespace navlib::testing
