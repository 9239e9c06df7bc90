// The Engine over navlib32.dll's exports (imported by name at load time).
#pragma once

#include "app/engine/Engine.h"

namespace pelmora {

class NavlibEngine : public Engine {
 public:
  int32_t Open(int32_t receiverType, const std::string& source, const CommInfo& commInfo,
               const ReceiverSettings& settings) override;
  int32_t Poll() override;
  void GetEpoch(Epoch& epoch) override;
  int32_t StartLog(const std::string& path) override;
  int32_t StopLog() override;
  int32_t Close() override;
  int32_t GetDefaultCommInfo(int32_t receiverType, CommInfo& commInfo) override;
  std::string FormatLatLon(double degrees, int32_t kind, int32_t format, int32_t decimals) override;
  bool TakeSentences(std::string& sentences) override;
  bool TakeMessages(std::vector<uint8_t>& records, uint64_t& dropped) override;
  int32_t SeekEpoch(int64_t epoch) override;
  int32_t SeekTime(double utcSeconds, int32_t year, int32_t month, int32_t day) override;
  int32_t SeekStart() override;
  int32_t SeekEnd() override;
  int32_t StepBack() override;
  int32_t GetPlayerState(PlayerState& state) override;
};

}  // namespace pelmora
