// libFuzzer target of log replay. The input (after one control byte) is a log: replayed from
// memory through LogReplay with fuzzer-chosen short reads, then through the engine from a
// temporary file exactly as Pelmora_Open/Pelmora_Poll/Pelmora_GetInfo do, then played again by
// seeks and steps. Polling is bounded:
// every epoch takes at least one byte of the log, so more polls than bytes is a hang.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/FuzzChecks.h"
#include "navlib32/Engine.h"
#include "navlib32/LogReplay.h"
#include "navlib32/MakeDecoder.h"

namespace {

// A log in memory, handed out in the chunker's short reads.
class MemorySource final : public navlib::ByteSource {
 public:
  MemorySource(const uint8_t* data, std::size_t size, uint8_t control)
      : data_(data), size_(size), chunker_(control) {}
  navlib::ReadStatus Read(uint8_t* out, std::size_t size, std::size_t* got) override {
    *got = 0;
    if (pos_ == size_) return navlib::ReadStatus::End;
    const std::size_t n = std::min(chunker_.Next(size_ - pos_), size);
    std::copy(data_ + pos_, data_ + pos_ + n, out);
    pos_ += n;
    *got = n;
    return navlib::ReadStatus::Ok;
  }
  bool Write(const uint8_t*, std::size_t) override { return false; }

 private:
  const uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  fuzzcheck::Chunker chunker_;
};

void ReplayFromMemory(const uint8_t* data, std::size_t size, uint8_t control) {
  navlib::LogReplay replay(std::make_unique<MemorySource>(data, size, control),
                           navlib::MakeDecoder);
  const navlib::Protocol expected =
      (control & 0x80) != 0 ? navlib::Protocol::Tsip : navlib::Protocol::Nmea;
  if (replay.Start(expected) != navlib::LogReplay::StartResult::Ok) return;
  double now = 0.0;
  for (std::size_t polls = 0;; ++polls) {
    FUZZ_REQUIRE(polls <= size + 2);
    now += 1.0;
    const navlib::LogReplay::Step step = replay.Advance(now);
    FUZZ_REQUIRE(step != navlib::LogReplay::Step::Failed);
    FUZZ_REQUIRE(replay.bytesRead() <= size);
    if (step == navlib::LogReplay::Step::End) break;
    auto record = std::make_unique<pelmora::FixRecord>();
    replay.decoder().GetFix(*record, now);
    fuzzcheck::CheckRecord(*record);
  }
  FUZZ_REQUIRE(replay.bytesRead() == size);
  // Ended: further polls stay at the end.
  FUZZ_REQUIRE(replay.Advance(now + 1.0) == navlib::LogReplay::Step::End);
}

std::string TempLogPath() {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/pelmora-replay-fuzz-" +
         std::to_string(getpid()) + ".log";
}

// An epoch's bytes, hashed (FNV-1a).
uint64_t Hash(const pelmora::Epoch& epoch) {
  uint64_t h = 1469598103934665603u;
  const auto* p = reinterpret_cast<const uint8_t*>(&epoch);
  for (std::size_t i = 0; i < sizeof epoch; ++i)
    h = (h ^ p[i]) * 1099511628211u;
  return h;
}

// The player over the whole log: a seek shows the epoch it names exactly as the straight replay
// showed it (straight: the hash of each); stepping back and seeking by a time the index holds
// never fail otherwise.
void ExercisePlayer(navlib::Engine& engine, uint8_t control,
                    const std::vector<uint64_t>& straight) {
  pelmora::PlayerState state{};
  for (int i = 0; i < 1000 && state.indexComplete == 0; ++i)
    FUZZ_REQUIRE(engine.GetPlayerState(&state) == 0);
  FUZZ_REQUIRE(state.indexComplete == 1);
  FUZZ_REQUIRE(static_cast<std::size_t>(state.epochCount) == straight.size());
  if (state.epochCount == 0) return;
  const int64_t target = static_cast<int64_t>(control) % state.epochCount;
  auto epoch = std::make_unique<pelmora::Epoch>();
  for (const int64_t at : {target, state.epochCount - 1, int64_t{0}}) {
    FUZZ_REQUIRE(engine.SeekEpoch(at) == 0);
    FUZZ_REQUIRE(engine.GetEpoch(epoch.get()) == 0);
    FUZZ_REQUIRE(epoch->sequence == static_cast<uint64_t>(at) + 1);
    FUZZ_REQUIRE(Hash(*epoch) == straight[static_cast<std::size_t>(at)]);
    fuzzcheck::CheckRecord(epoch->fix);
  }
  FUZZ_REQUIRE(engine.SeekEpoch(state.epochCount) != 0);  // past the end: refused
  FUZZ_REQUIRE(engine.SeekEpoch(target) == 0);
  if (target > 0) FUZZ_REQUIRE(engine.StepBack() == 0);
  if (state.firstUtcSeconds >= 0) {
    int64_t found = -1;
    FUZZ_REQUIRE(engine.SeekTime(state.firstUtcSeconds, 0, 0, 0, &found) == 0);
    FUZZ_REQUIRE(found >= 0 && found < state.epochCount);
  }
}

// The poll's messages come as whole records of a known protocol and status, none empty.
void CheckMessages(navlib::Engine& engine) {
  static uint8_t buffer[4096];
  int32_t length = -1;
  int64_t dropped = -1;
  FUZZ_REQUIRE(engine.TakeMessages(buffer, sizeof buffer, &length, &dropped) == 0);
  FUZZ_REQUIRE(length >= 0 && static_cast<std::size_t>(length) <= sizeof buffer && dropped >= 0);
  const std::size_t whole = pelmora::ForEachMessage(
      buffer, static_cast<std::size_t>(length),
      [](const pelmora::MessageHeader& h, const uint8_t*) {
        FUZZ_REQUIRE(h.protocol == 1 || h.protocol == 2);
        FUZZ_REQUIRE(h.status <= static_cast<uint8_t>(pelmora::MessageStatus::Noise));
        FUZZ_REQUIRE(h.length > 0 && h.wireBytes >= h.length);
      });
  FUZZ_REQUIRE(whole == static_cast<std::size_t>(length));
}

void ReplayThroughEngine(const uint8_t* data, std::size_t size, uint8_t control) {
  static const std::string path = TempLogPath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  FUZZ_REQUIRE(file != nullptr);
  FUZZ_REQUIRE(std::fwrite(data, 1, size, file) == size);
  FUZZ_REQUIRE(std::fclose(file) == 0);

  navlib::EngineServices services;
  services.makeDecoder = navlib::MakeDecoder;
  double clock = 0.0;
  services.now = [&clock] { return clock; };
  services.checkpointBytes = 64;  // many checkpoints, thinned on larger inputs
  navlib::Engine engine(std::move(services));
  const int32_t type = (control & 0x80) != 0 ? 2 : 1;
  const int32_t opened = engine.Open(type, path.c_str(), nullptr, nullptr);
  if (opened != 0) {
    FUZZ_REQUIRE(opened == kNavOpenFileNotGps);
    FUZZ_REQUIRE(engine.Poll() == kNavPollNotOpen);
    return;
  }
  std::vector<uint64_t> straight;
  auto epoch = std::make_unique<pelmora::Epoch>();
  for (std::size_t polls = 0;; ++polls) {
    FUZZ_REQUIRE(polls <= size + 2);
    clock += 1.0;
    const int32_t result = engine.Poll();
    if (result != 0) {
      FUZZ_REQUIRE(result == kNavPollEndOfLog);
      break;
    }
    FUZZ_REQUIRE(engine.GetEpoch(epoch.get()) == 0);
    straight.push_back(Hash(*epoch));
    CheckMessages(engine);
    auto record = std::make_unique<pelmora::FixRecord>();
    const int32_t info = engine.GetInfo(record.get());
    fuzzcheck::CheckRecord(*record);
    FUZZ_REQUIRE(info == (navlib::RecordHasFix(*record) ? 1 : 0));
  }
  // The end of the log stays reported.
  FUZZ_REQUIRE(engine.Poll() == kNavPollEndOfLog);
  ExercisePlayer(engine, control, straight);
  FUZZ_REQUIRE(engine.Close() == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const uint8_t control = data[0];
  ReplayFromMemory(data + 1, size - 1, control);
  ReplayThroughEngine(data + 1, size - 1, control);
  return 0;
}
