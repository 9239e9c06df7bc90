// The engine behind navlib32's exports: one receiver source at a time (a serial port or a
// replayed log), its decoder, the recording of live bytes and the call-order rules. Portable:
// the serial port, the decoders and the clock come in through EngineServices, so the Win32
// layer (exports_win.cpp) stays thin and everything here is tested natively with fakes.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "navlib32/ByteSource.h"
#include "navlib32/GpsDecoder.h"
#include "navlib32/LogIndex.h"
#include "navlib32/LogReplay.h"
#include "navlib32/MessageTap.h"
#include "navlib32/SentenceTap.h"
#include "navlib32/navlib32.h"
#include "navlib32/navlib32_records.h"

namespace navlib {

struct EngineServices {
  DecoderFactory makeDecoder;
  // Opens serial port n (1-based) with the line settings; on failure returns nullptr and sets
  // *openResult to kNavOpenPortMissing or kNavOpenPortSetup.
  std::function<std::unique_ptr<ByteSource>(int port, const pelmora::CommInfo& line,
                                            int32_t* openResult)>
      openSerial;
  // Monotonic seconds; steady_clock when empty.
  std::function<double()> now;
  // A replay's index is built on a worker thread of its own (the DLL's choice); otherwise in
  // steps on every Poll and GetPlayerState (deterministic, for tests and fuzzers).
  bool indexInBackground = false;
  // The first spacing of the index's checkpoints (LogIndex::kCheckpointBytes; tests use less).
  uint64_t checkpointBytes = LogIndex::kCheckpointBytes;
};

// The port number of "COMn" or "\\.\COMn" (case-insensitive, n 1..255, an optional trailing
// ':'); 0 when the text names no serial port (it is then a log path).
int ParseComPort(const char* source);

// The line settings a receiver type starts with: NMEA 4800 8N1, TSIP 9600 8O1.
int32_t DefaultCommInfo(int32_t receiverType, pelmora::CommInfo* commInfo);

class Engine {
 public:
  // Live reads per poll at most, each of kReadSize bytes: far beyond what 9600 baud delivers in
  // a second, and a bound on the time one poll can take.
  static constexpr std::size_t kReadSize = 4096;
  static constexpr int kMaxReadsPerPoll = 64;
  // Longest source or log path, as the callers promise (zero-terminated, at most 255).
  static constexpr std::size_t kMaxPathLength = 255;
  // Log bytes indexed per Poll and per GetPlayerState while replaying without a worker (a few
  // milliseconds).
  static constexpr uint64_t kIndexBytesPerPoll = 4u << 20;
  // With a worker, how long a seek waits for the index to reach its target before it is refused
  // as not indexed (the worker decodes some hundreds of megabytes meanwhile).
  static constexpr std::chrono::milliseconds kIndexWait{1000};
  // While a seek decodes on to its target it keeps copies of the decoder's state every
  // kNearbyBytes of log, at most kMaxNearby of them, so that the next seek or step back near the
  // target decodes little.
  static constexpr uint64_t kNearbyBytes = 64u << 10;
  static constexpr std::size_t kMaxNearby = 64;

  explicit Engine(EngineServices services);
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // The exports' contracts; results as in navlib32.h.
  int32_t Open(int32_t receiverType, const char* source, const pelmora::CommInfo* commInfo,
               const pelmora::ReceiverSettings* settings);
  int32_t Poll();
  int32_t GetInfo(pelmora::FixRecord* record);
  int32_t StartLog(const char* path);
  int32_t StopLog();
  int32_t Close();
  // Pelmora_GetEpoch: the last completed epoch whole.
  int32_t GetEpoch(pelmora::Epoch* epoch);
  // Pelmora_GetSatellites: every satellite the receiver reports now.
  int32_t GetSatellites(pelmora::SatDetail* sats, int32_t capacity, int32_t* count);
  // Pelmora_GetSentences: the NMEA source's checksum-valid sentences since the last call.
  int32_t TakeSentences(char* buffer, int32_t size, int32_t* length);
  // Pelmora_GetMessages: every message framed since the last call, as records.
  int32_t TakeMessages(uint8_t* buffer, int32_t size, int32_t* length, int64_t* dropped);

  // The replay player (navlib32.h); results 0 or a NavSeekResult.
  int32_t SeekEpoch(int64_t epoch);
  int32_t SeekTime(double utcSeconds, int32_t year, int32_t month, int32_t day, int64_t* epoch);
  int32_t SeekStart() { return SeekEpoch(0); }
  int32_t SeekEnd();
  int32_t StepBack();
  int32_t GetPlayerState(pelmora::PlayerState* state);
  // The replay's index (null unless replaying); tests and benchmarks look into it.
  const LogIndex* index() const { return index_.get(); }

  bool IsOpen() const { return mode_ != Mode::Closed; }
  bool IsLive() const { return mode_ == Mode::Live; }
  bool IsRecording() const { return log_ != nullptr; }

 private:
  enum class Mode { Closed, Live, Replay };

  int32_t OpenLive(Protocol protocol, int port, const pelmora::CommInfo* commInfo,
                   const pelmora::ReceiverSettings* settings);
  int32_t OpenReplay(Protocol protocol, const char* path);
  bool SendSetup(Protocol protocol, const pelmora::ReceiverSettings& settings);
  int32_t PollLive();
  int32_t PollReplay();
  // A replay of the log resumed from the checkpoint (from the start when it is none) and advanced
  // to epoch; null when the log cannot be read again or ends first.
  std::unique_ptr<LogReplay> ReplayTo(const LogIndex::Checkpoint& checkpoint, int64_t epoch);
  // The latest decoder state kept before epoch: a nearby one, else the index's checkpoint (the
  // nearby ones then go: they lie elsewhere in the log).
  LogIndex::Checkpoint StartBefore(int64_t epoch);
  // Keeps the replay's state after epoch as a nearby one when it is far enough past the last.
  void KeepNearby(int64_t epoch, const LogReplay& replay);
  // The decoder reporting to the engine's taps.
  std::unique_ptr<GpsDecoder> Tapped(std::unique_ptr<GpsDecoder> decoder, Protocol protocol);
  double Now() const;
  void StepIndex();
  // The index once ready holds for it: waited for while a worker builds it (at most kIndexWait).
  LogIndex::Snapshot IndexWhen(const std::function<bool(const LogIndex::Snapshot&)>& ready) const;

  EngineServices services_;
  Mode mode_ = Mode::Closed;
  Protocol liveProtocol_ = Protocol::Nmea;
  int32_t stickyPollResult_ = 0;  // a failure or the end of the log stays reported
  std::unique_ptr<ByteSource> port_;
  std::unique_ptr<GpsDecoder> liveDecoder_;
  std::unique_ptr<LogReplay> replay_;
  DecoderFactory rawMakeDecoder_;  // the decoders without the sentence tap (for the index)
  std::string replayPath_;
  std::unique_ptr<LogIndex> index_;
  std::vector<LogIndex::Checkpoint> nearby_;  // in epoch order
  double replayClock_ = 0;                    // replay time: one second per poll
  uint64_t epochs_ = 0;                       // epochs completed since the open
  std::FILE* log_ = nullptr;
  SentenceTap sentences_;  // fed by every NMEA decoder the engine makes
  MessageTap messages_;    // fed by every decoder the engine makes
};

}  // namespace navlib
