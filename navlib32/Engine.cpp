// Engine: the state machine Closed -> Live | Replay -> Closed. A failed read or the end of a log
// stays reported until the caller closes, a failed log write is told once; recording is possible
// only while live; every received byte goes to the log before it reaches the decoder, and the log
// is flushed at the end of every poll.
#include "navlib32/Engine.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstring>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "navlib32/ReceiverSetup.h"

namespace navlib {
namespace {

bool ValidPath(const char* text) {
  if (text == nullptr || text[0] == '\0') return false;
  return strnlen(text, Engine::kMaxPathLength + 1) <= Engine::kMaxPathLength;
}

// True for a name in the Win32 device namespace (\\.\PhysicalDrive0, \\.\pipe\x).
bool NamesDevice(const char* text) {
  return std::strncmp(text, "\\\\.\\", 4) == 0;
}

// True when the text begins with "COM" in any letter case.
bool NamesPort(const char* text) {
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
  return upper(text[0]) == 'C' && upper(text[1]) == 'O' && upper(text[2]) == 'M';
}

}  // namespace

int ParseComPort(const char* source) {
  if (source != nullptr && NamesDevice(source)) source += 4;  // \\.\COMn is the port too
  if (source == nullptr || !NamesPort(source)) return 0;
  int port = 0;
  const char* p = source + 3;
  if (*p < '0' || *p > '9') return 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    port = port * 10 + (*p - '0');
    if (port > 255) return 0;
  }
  if (*p == ':') ++p;
  return *p == '\0' && port >= 1 ? port : 0;
}

int32_t DefaultCommInfo(int32_t receiverType, pelmora::CommInfo* commInfo) {
  if (commInfo == nullptr) return kNavOpenBadArgument;
  if (receiverType == static_cast<int32_t>(pelmora::ReceiverType::Nmea)) {
    *commInfo = {4800, 0, 8, 0};  // NMEA 0183: 4800 baud, 8N1
    return 0;
  }
  if (receiverType == static_cast<int32_t>(pelmora::ReceiverType::Tsip)) {
    *commInfo = {9600, 1, 8, 0};  // Trimble TSIP: 9600 baud, 8 data bits, odd parity, 1 stop
    return 0;
  }
  return kNavOpenBadArgument;
}

Engine::Engine(EngineServices services)
    : services_(std::move(services)), rawMakeDecoder_(services_.makeDecoder) {
  // Every NMEA decoder reports the sentences it consumed to the sentence tap, and every decoder
  // its messages to the message tap.
  if (services_.makeDecoder) {
    services_.makeDecoder = [this, make = std::move(services_.makeDecoder)](Protocol p) {
      return Tapped(make(p), p);
    };
  }
}

std::unique_ptr<GpsDecoder> Engine::Tapped(std::unique_ptr<GpsDecoder> decoder, Protocol protocol) {
  if (decoder && protocol == Protocol::Nmea)
    decoder = std::make_unique<TappedDecoder>(std::move(decoder), sentences_);
  if (decoder) decoder->SetMessageTap(&messages_);
  return decoder;
}

Engine::~Engine() {
  Close();
}

double Engine::Now() const {
  if (services_.now) return services_.now();
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

int32_t Engine::Open(int32_t receiverType, const char* source, const pelmora::CommInfo* commInfo,
                     const pelmora::ReceiverSettings* settings) {
  Close();
  Protocol protocol;
  if (receiverType == static_cast<int32_t>(pelmora::ReceiverType::Nmea))
    protocol = Protocol::Nmea;
  else if (receiverType == static_cast<int32_t>(pelmora::ReceiverType::Tsip))
    protocol = Protocol::Tsip;
  else
    return kNavOpenBadArgument;
  if (!ValidPath(source) || !services_.makeDecoder) return kNavOpenBadArgument;
  const int port = ParseComPort(source);
  if (port > 0) return OpenLive(protocol, port, commInfo, settings);
  // The program takes every name beginning with "COM" for a port; one that names no port
  // ("compass.gps") is refused as a port rather than replayed under the Live menus.
  if (NamesPort(source)) return kNavOpenPortMissing;
  // A device is never read as a log: it may block, and holds no recording.
  if (NamesDevice(source)) return kNavOpenFileMissing;
  return OpenReplay(protocol, source);
}

int32_t Engine::OpenLive(Protocol protocol, int port, const pelmora::CommInfo* commInfo,
                         const pelmora::ReceiverSettings* settings) {
  if (!services_.openSerial) return kNavOpenPortMissing;
  pelmora::CommInfo line{};
  if (commInfo != nullptr)
    line = *commInfo;
  else
    DefaultCommInfo(protocol == Protocol::Nmea ? 1 : 2, &line);
  int32_t result = kNavOpenPortMissing;
  std::unique_ptr<ByteSource> source = services_.openSerial(port, line, &result);
  if (!source) return result != 0 ? result : kNavOpenPortMissing;
  std::unique_ptr<GpsDecoder> decoder = services_.makeDecoder(protocol);
  if (!decoder) return kNavOpenBadArgument;
  port_ = std::move(source);
  if (settings != nullptr && !SendSetup(protocol, *settings)) {
    port_.reset();
    return kNavOpenReceiverSetup;
  }
  liveDecoder_ = std::move(decoder);
  liveProtocol_ = protocol;
  mode_ = Mode::Live;
  stickyPollResult_ = 0;
  return 0;
}

bool Engine::SendSetup(Protocol protocol, const pelmora::ReceiverSettings& settings) {
  if (protocol == Protocol::Tsip) {
    // Settings the program has never stored (marker 0) are left to the receiver.
    if (settings.changed == 0) return true;
    const std::string bytes = BuildTsipSetup(settings);
    return port_->Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  // The path field may lack its terminator in a damaged record: read at most its size.
  const std::size_t length = strnlen(settings.nmeaSettingsPath, pelmora::kReceiverPathSize);
  if (length == 0 || length == pelmora::kReceiverPathSize) return true;
  std::vector<std::string> sentences;
  // A missing or unreadable settings file is skipped: the receiver keeps its own settings.
  if (!ReadNmeaSetup(std::string(settings.nmeaSettingsPath, length), &sentences)) return true;
  for (const std::string& s : sentences)
    if (!port_->Write(reinterpret_cast<const uint8_t*>(s.data()), s.size())) return false;
  return true;
}

int32_t Engine::OpenReplay(Protocol protocol, const char* path) {
  std::unique_ptr<FileByteSource> file = FileByteSource::Open(path);
  if (!file) return kNavOpenFileMissing;
  auto replay = std::make_unique<LogReplay>(std::move(file), services_.makeDecoder);
  if (replay->Start(protocol) != LogReplay::StartResult::Ok) return kNavOpenFileNotGps;
  replay_ = std::move(replay);
  replayPath_ = path;
  // The index reads the log on its own; without a second reader the replay just cannot seek.
  if (std::unique_ptr<FileByteSource> second = FileByteSource::Open(path)) {
    index_ = std::make_unique<LogIndex>(std::move(second), replay_->protocol(), rawMakeDecoder_,
                                        services_.checkpointBytes);
    if (services_.indexInBackground) index_->StartWorker();
  }
  replayClock_ = 0;
  mode_ = Mode::Replay;
  stickyPollResult_ = 0;
  return 0;
}

int32_t Engine::Poll() {
  if (mode_ == Mode::Closed) return kNavPollNotOpen;
  StepIndex();
  if (stickyPollResult_ != 0) return stickyPollResult_;
  const int32_t result = mode_ == Mode::Live ? PollLive() : PollReplay();
  // A recording that failed is told once: the port is still read.
  if (result != kNavPollLogFailed) stickyPollResult_ = result;
  return result;
}

int32_t Engine::PollLive() {
  std::array<uint8_t, kReadSize> buffer;
  const double now = Now();
  bool logFailed = false;
  for (int i = 0; i < kMaxReadsPerPoll; ++i) {
    std::size_t got = 0;
    const ReadStatus status = port_->Read(buffer.data(), buffer.size(), &got);
    if (status != ReadStatus::Ok) return kNavPollPortFailed;  // a port never "ends"
    if (got == 0) break;
    got = std::min(got, buffer.size());
    if (log_ != nullptr && std::fwrite(buffer.data(), 1, got, log_) != got) logFailed = true;
    std::size_t pos = 0;
    while (pos < got) {
      std::size_t used = liveDecoder_->Feed(buffer.data() + pos, got - pos, now);
      if (used == 0 && !liveDecoder_->EpochComplete()) used = got - pos;
      pos += std::min(used, got - pos);
      // Live, only the latest completed epoch matters.
      if (liveDecoder_->EpochComplete()) {
        liveDecoder_->TakeEpoch();
        ++epochs_;
      }
    }
  }
  if (log_ != nullptr && (logFailed || std::fflush(log_) != 0)) {
    // The log cannot take more (disk full, medium gone): stop recording and say so.
    StopLog();
    return kNavPollLogFailed;
  }
  return 0;
}

int32_t Engine::PollReplay() {
  replayClock_ += 1.0;
  switch (replay_->Advance(replayClock_)) {
    case LogReplay::Step::Epoch:
      ++epochs_;
      return 0;
    case LogReplay::Step::End:
      return kNavPollEndOfLog;
    case LogReplay::Step::Failed:
    case LogReplay::Step::Paused:  // no budget given: never
      break;
  }
  return kNavPollPortFailed;
}

int32_t Engine::GetInfo(pelmora::FixRecord* record) {
  if (record == nullptr) return 0;
  *record = pelmora::FixRecord{};
  if (mode_ == Mode::Live)
    liveDecoder_->GetFix(*record, Now());
  else if (mode_ == Mode::Replay)
    replay_->decoder().GetFix(*record, replayClock_);
  else
    return 0;
  return RecordHasFix(*record) ? 1 : 0;
}

int32_t Engine::GetEpoch(pelmora::Epoch* epoch) {
  if (epoch == nullptr) return kNavEpochBadArgument;
  *epoch = pelmora::Epoch{};
  epoch->logOffset = -1;
  if (mode_ == Mode::Closed) return kNavEpochNotOpen;
  const bool live = mode_ == Mode::Live;
  const GpsDecoder& decoder = live ? *liveDecoder_ : replay_->decoder();
  FillEpoch(decoder, live ? Now() : replayClock_, *epoch);
  epoch->sequence = epochs_;
  const Protocol protocol = live ? liveProtocol_ : replay_->protocol();
  if (protocol == Protocol::Nmea) epoch->flags |= pelmora::kEpochNmea;
  if (live) {
    epoch->logOffset = -1;
  } else {
    epoch->flags |= pelmora::kEpochReplay;
    epoch->logOffset = replay_->EpochOffset();
  }
  return 0;
}

int32_t Engine::GetSatellites(pelmora::SatDetail* sats, int32_t capacity, int32_t* count) {
  if (count != nullptr) *count = 0;
  if (sats == nullptr || count == nullptr || capacity < 0) return kNavSatellitesBadArgument;
  if (mode_ == Mode::Closed) return kNavSatellitesNotOpen;
  const int n = mode_ == Mode::Live
                    ? liveDecoder_->GetSatellites(sats, capacity, Now())
                    : replay_->decoder().GetSatellites(sats, capacity, replayClock_);
  *count = n;
  return 0;
}

int32_t Engine::TakeSentences(char* buffer, int32_t size, int32_t* length) {
  if (length != nullptr) *length = 0;
  if (buffer == nullptr || size <= 0 || length == nullptr) return kNavSentencesBadArgument;
  buffer[0] = '\0';
  if (mode_ == Mode::Closed) return kNavSentencesNotOpen;
  const Protocol protocol = mode_ == Mode::Live ? liveProtocol_ : replay_->protocol();
  if (protocol != Protocol::Nmea) return kNavSentencesNotNmea;
  *length = static_cast<int32_t>(sentences_.Take(buffer, static_cast<std::size_t>(size)));
  return 0;
}

int32_t Engine::TakeMessages(uint8_t* buffer, int32_t size, int32_t* length, int64_t* dropped) {
  if (length != nullptr) *length = 0;
  if (dropped != nullptr) *dropped = 0;
  if (buffer == nullptr || length == nullptr || dropped == nullptr ||
      size < static_cast<int32_t>(pelmora::kMaxMessageRecord))
    return kNavMessagesBadArgument;
  if (mode_ == Mode::Closed) return kNavMessagesNotOpen;
  *length = static_cast<int32_t>(messages_.Take(buffer, static_cast<std::size_t>(size)));
  *dropped = static_cast<int64_t>(messages_.TakeDropped());
  return 0;
}

int32_t Engine::StartLog(const char* path) {
  // "COMn" or another device as a log name would open the device itself for writing.
  if (!ValidPath(path) || ParseComPort(path) > 0 || NamesDevice(path)) return kNavLogBadArgument;
  if (mode_ != Mode::Live) return kNavLogNotLive;
  StopLog();
  log_ = std::fopen(path, "wb");
  return log_ != nullptr ? 0 : kNavLogCannotOpen;
}

int32_t Engine::StopLog() {
  if (log_ != nullptr) {
    std::fclose(log_);
    log_ = nullptr;
  }
  return 0;
}

int32_t Engine::Close() {
  StopLog();
  port_.reset();
  liveDecoder_.reset();
  replay_.reset();
  index_.reset();
  nearby_.clear();
  replayPath_.clear();
  sentences_.Clear();
  messages_.Clear();
  mode_ = Mode::Closed;
  stickyPollResult_ = 0;
  epochs_ = 0;
  return 0;
}

void Engine::StepIndex() {
  if (mode_ == Mode::Replay && index_ && !index_->HasWorker()) index_->Step(kIndexBytesPerPoll);
}

LogIndex::Snapshot Engine::IndexWhen(
    const std::function<bool(const LogIndex::Snapshot&)>& ready) const {
  return index_->WaitFor(ready, kIndexWait);
}

int32_t Engine::SeekEpoch(int64_t epoch) {
  if (mode_ != Mode::Replay) return kNavSeekNotReplaying;
  if (!index_) return kNavSeekNotIndexed;
  if (epoch < 0) return kNavSeekOutOfRange;
  const LogIndex::Snapshot indexed =
      IndexWhen([epoch](const LogIndex::Snapshot& s) { return s.size > epoch; });
  if (epoch >= indexed.size) return indexed.complete ? kNavSeekOutOfRange : kNavSeekNotIndexed;
  // From the decoder's state as the straight replay had it a little before the target (or from
  // the start) on to the target: the epoch shown is the one the straight replay showed there.
  std::unique_ptr<LogReplay> replay = ReplayTo(StartBefore(epoch), epoch);
  if (!replay) return kNavSeekFailed;
  const double clock = static_cast<double>(epoch) + 1.0;
  replay_ = std::move(replay);
  replayClock_ = clock;
  epochs_ = static_cast<uint64_t>(epoch) + 1;
  stickyPollResult_ = 0;
  return 0;
}

std::unique_ptr<LogReplay> Engine::ReplayTo(const LogIndex::Checkpoint& checkpoint, int64_t epoch) {
  std::unique_ptr<FileByteSource> file = FileByteSource::Open(replayPath_);
  if (!file) return nullptr;
  // Decoded without the taps up to the target epoch: they hear of that one only.
  auto replay = std::make_unique<LogReplay>(std::move(file), rawMakeDecoder_);
  const Protocol protocol = replay_->protocol();
  if (!(checkpoint.decoder
            ? replay->Resume(checkpoint.offset, protocol, checkpoint.decoder->Clone())
            : replay->StartAt(0, protocol)))
    return nullptr;
  const int64_t from = checkpoint.decoder ? checkpoint.epoch + 1 : 0;
  // The replay clock runs one second per epoch, as the polls of a straight replay ran it.
  double clock = static_cast<double>(from);
  for (int64_t n = from; n <= epoch; ++n) {
    if (n == epoch) {
      sentences_.Clear();
      messages_.Clear();
      replay->WrapDecoder(
          [&](std::unique_ptr<GpsDecoder> d) { return Tapped(std::move(d), protocol); });
    }
    clock += 1.0;
    if (replay->Advance(clock) != LogReplay::Step::Epoch) return nullptr;
    if (n < epoch) KeepNearby(n, *replay);
  }
  return replay;
}

LogIndex::Checkpoint Engine::StartBefore(int64_t epoch) {
  const LogIndex::Checkpoint checkpoint = index_->CheckpointBefore(epoch);
  const auto after = std::partition_point(nearby_.begin(), nearby_.end(),
                                          [&](const auto& c) { return c.epoch < epoch; });
  if (after != nearby_.begin() && std::prev(after)->epoch > checkpoint.epoch)
    return *std::prev(after);
  nearby_.clear();
  return checkpoint;
}

void Engine::KeepNearby(int64_t epoch, const LogReplay& replay) {
  if (nearby_.size() >= kMaxNearby) return;
  if (!nearby_.empty() &&
      (epoch <= nearby_.back().epoch || replay.position() < nearby_.back().offset + kNearbyBytes))
    return;
  if (std::shared_ptr<const GpsDecoder> copy = replay.decoder().Clone())
    nearby_.push_back(LogIndex::Checkpoint{epoch, replay.position(), std::move(copy)});
}

int32_t Engine::SeekTime(double utcSeconds, int32_t year, int32_t month, int32_t day,
                         int64_t* epoch) {
  if (!(utcSeconds >= 0 && utcSeconds < 86400.0)) return kNavSeekBadArgument;
  if (year != 0 && (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31))
    return kNavSeekBadArgument;
  if (mode_ != Mode::Replay) return kNavSeekNotReplaying;
  if (!index_) return kNavSeekNotIndexed;
  const int64_t tod = std::min<int64_t>(std::llround(utcSeconds * 1000), kMsPerDay - 1);
  // The time on the index's time line; nothing until the index can place it.
  auto place = [&](const LogIndex::Snapshot& s) -> std::optional<int64_t> {
    const int64_t first = s.firstTime;
    if (first == LogIndex::kNoTime) return std::nullopt;
    if (year != 0) {
      if (!s.dayZero) return std::nullopt;
      return (DaysFromCivil(year, month, day) - *s.dayZero) * kMsPerDay + tod;
    }
    const int64_t firstDay = first >= 0 ? first / kMsPerDay : -((-first - 1) / kMsPerDay) - 1;
    const int64_t wanted = firstDay * kMsPerDay + tod;
    return wanted < first ? wanted + kMsPerDay : wanted;
  };
  // Once an epoch at or after the time is indexed, the first one in log order is too.
  const LogIndex::Snapshot indexed = IndexWhen([&](const LogIndex::Snapshot& s) {
    const std::optional<int64_t> at = place(s);
    return at && (*at < s.firstTime || s.maxTime >= *at);
  });
  const int32_t notYet = indexed.complete ? kNavSeekNotFound : kNavSeekNotIndexed;
  const std::optional<int64_t> placed = place(indexed);
  if (!placed) return notYet;
  const int64_t wanted = *placed;
  if (wanted < indexed.firstTime) return kNavSeekNotFound;  // before the log
  const int64_t found = index_->FindTime(wanted);
  if (found < 0) return notYet;
  const int32_t result = SeekEpoch(found);
  if (result == 0 && epoch != nullptr) *epoch = found;
  return result;
}

int32_t Engine::SeekEnd() {
  if (mode_ != Mode::Replay) return kNavSeekNotReplaying;
  if (!index_) return kNavSeekNotIndexed;
  const LogIndex::Snapshot indexed = IndexWhen([](const LogIndex::Snapshot&) { return false; });
  if (!indexed.complete) return kNavSeekNotIndexed;
  return indexed.size > 0 ? SeekEpoch(indexed.size - 1) : kNavSeekOutOfRange;
}

int32_t Engine::StepBack() {
  if (mode_ != Mode::Replay) return kNavSeekNotReplaying;
  return SeekEpoch(static_cast<int64_t>(epochs_) - 2);
}

int32_t Engine::GetPlayerState(pelmora::PlayerState* state) {
  if (state == nullptr) return kNavSeekBadArgument;
  *state = pelmora::PlayerState{};
  state->currentEpoch = -1;
  state->firstUtcSeconds = state->lastUtcSeconds = state->currentSeconds = -1;
  if (mode_ != Mode::Replay) return kNavSeekNotReplaying;
  state->currentEpoch = static_cast<int64_t>(epochs_) - 1;
  if (!index_) return 0;
  StepIndex();
  const LogIndex::Snapshot indexed = index_->snapshot();
  state->epochCount = indexed.size;
  state->indexComplete = indexed.complete ? 1 : 0;
  const int64_t first = indexed.firstTime, last = indexed.lastTime;
  if (first == LogIndex::kNoTime) return 0;
  auto timeOfDay = [](int64_t t) {
    return static_cast<double>(((t % kMsPerDay) + kMsPerDay) % kMsPerDay) / 1000.0;
  };
  state->firstUtcSeconds = timeOfDay(first);
  state->lastUtcSeconds = timeOfDay(last);
  state->spanSeconds = static_cast<double>(last - first) / 1000.0;
  if (state->currentEpoch >= 0 && state->currentEpoch < indexed.size) {
    const int64_t now = index_->At(state->currentEpoch).timeMs;
    if (now != LogIndex::kNoTime) state->currentSeconds = static_cast<double>(now - first) / 1000.0;
  }
  if (const std::optional<int64_t> dayZero = indexed.dayZero) {
    auto date = [&](int64_t t, int16_t* y, int16_t* m, int16_t* d) {
      int year = 0, month = 0, day = 0;
      const int64_t days = (t - ((t % kMsPerDay) + kMsPerDay) % kMsPerDay) / kMsPerDay;
      CivilFromDays(*dayZero + days, &year, &month, &day);
      *y = static_cast<int16_t>(year), *m = static_cast<int16_t>(month),
      *d = static_cast<int16_t>(day);
    };
    state->dated = 1;
    date(first, &state->firstYear, &state->firstMonth, &state->firstDay);
    date(last, &state->lastYear, &state->lastMonth, &state->lastDay);
  }
  return 0;
}

}  // namespace navlib
