// Calls into navlib32.dll. Texts are handed over whole and zero-terminated: the engine refuses
// one longer than 255 characters rather than open a file whose name was cut.
#include "app/engine/NavlibEngine_win.h"

#include <algorithm>
#include <array>

#include "navlib32/navlib32.h"

namespace pelmora {
namespace {

constexpr size_t kLatLonBuffer = 32;
// Whole sentences at a time; the engine keeps 64 KiB at most between calls.
constexpr size_t kSentenceChunk = 16 * 1024;
// Records read straight into the caller's buffer, this many bytes a call.
constexpr size_t kMessageChunk = 16 * 1024;

}  // namespace

int32_t NavlibEngine::Open(int32_t receiverType, const std::string& source,
                           const CommInfo& commInfo, const ReceiverSettings& settings) {
  return Pelmora_Open(receiverType, source.c_str(), &commInfo, &settings);
}
int32_t NavlibEngine::Poll() {
  return Pelmora_Poll();
}
void NavlibEngine::GetEpoch(Epoch& epoch) {
  Pelmora_GetEpoch(&epoch);  // zeros while closed
}
int32_t NavlibEngine::StartLog(const std::string& path) {
  return Pelmora_StartLog(path.c_str());
}
int32_t NavlibEngine::StopLog() {
  return Pelmora_StopLog();
}
int32_t NavlibEngine::Close() {
  return Pelmora_Close();
}
int32_t NavlibEngine::GetDefaultCommInfo(int32_t receiverType, CommInfo& commInfo) {
  return Pelmora_GetDefaultCommInfo(receiverType, &commInfo);
}
bool NavlibEngine::TakeSentences(std::string& sentences) {
  sentences.clear();
  std::array<char, kSentenceChunk> chunk;
  for (;;) {
    int32_t length = 0;
    if (Pelmora_GetSentences(chunk.data(), static_cast<int32_t>(chunk.size()), &length) != 0)
      return false;
    if (length <= 0) return true;
    sentences.append(chunk.data(), static_cast<std::size_t>(length));
  }
}
bool NavlibEngine::TakeMessages(std::vector<uint8_t>& records, uint64_t& dropped) {
  records.clear();
  dropped = 0;
  for (;;) {
    const std::size_t at = records.size();
    records.resize(at + kMessageChunk);
    int32_t length = 0;
    int64_t lost = 0;
    const int32_t result = Pelmora_GetMessages(records.data() + at,
                                               static_cast<int32_t>(kMessageChunk), &length, &lost);
    records.resize(at + static_cast<std::size_t>(
                            std::clamp<int32_t>(length, 0, static_cast<int32_t>(kMessageChunk))));
    if (result != 0) return false;
    dropped += static_cast<uint64_t>(std::max<int64_t>(lost, 0));
    if (length <= 0) return true;
  }
}
int32_t NavlibEngine::SeekEpoch(int64_t epoch) {
  return Pelmora_SeekEpoch(epoch);
}
int32_t NavlibEngine::SeekTime(double utcSeconds, int32_t year, int32_t month, int32_t day) {
  return Pelmora_SeekTime(utcSeconds, year, month, day, nullptr);
}
int32_t NavlibEngine::SeekStart() {
  return Pelmora_SeekStart();
}
int32_t NavlibEngine::SeekEnd() {
  return Pelmora_SeekEnd();
}
int32_t NavlibEngine::StepBack() {
  return Pelmora_StepBack();
}
int32_t NavlibEngine::GetPlayerState(PlayerState& state) {
  return Pelmora_GetPlayerState(&state);
}
std::string NavlibEngine::FormatLatLon(double degrees, int32_t kind, int32_t format,
                                       int32_t decimals) {
  std::array<char, kLatLonBuffer> out{};
  llcvt_dbl2str(out.data(), degrees, kind, format, decimals, 0, 1);
  out.back() = '\0';
  return std::string(out.data());
}

}  // namespace pelmora
