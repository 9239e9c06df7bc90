// Engine: the state machine Closed -> Live | Replay -> Closed. A failed read or the end of a log
// stays reported until the caller closes, a failed log write is told once; recording is possible
// only while live; every received byte goes to the log before it reaches the decoder, and the log
// is flushed at the end of every poll.
#include "navlib32/Engine.h"

#include <array>
#include <chrono>
#include <cstring>
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

Engine::Engine(EngineServices services) : services_(std::move(services)) {
  // Every NMEA decoder reports the sentences it consumed to the tap.
  if (services_.makeDecoder) {
    services_.makeDecoder = [this, make = std::move(services_.makeDecoder)](Protocol p) {
      std::unique_ptr<GpsDecoder> decoder = make(p);
      if (decoder && p == Protocol::Nmea)
        decoder = std::make_unique<TappedDecoder>(std::move(decoder), sentences_);
      return decoder;
    };
  }
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
  replayClock_ = 0;
  mode_ = Mode::Replay;
  stickyPollResult_ = 0;
  return 0;
}

int32_t Engine::Poll() {
  if (mode_ == Mode::Closed) return kNavPollNotOpen;
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
  sentences_.Clear();
  mode_ = Mode::Closed;
  stickyPollResult_ = 0;
  epochs_ = 0;
  return 0;
}

}  // namespace navlib
