// The GPS engine as the main window uses it: navlib32's C API behind a small interface, so
// that handlers can be tested with a fake. Portable; NavlibEngine_win.cpp calls the DLL.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "navlib32/navlib32.h"
#include "navlib32/navlib32_epoch.h"
#include "navlib32/navlib32_player.h"
#include "navlib32/navlib32_records.h"

namespace pelmora {

class Engine {
 public:
  virtual ~Engine() = default;
  virtual int32_t Open(int32_t receiverType, const std::string& source, const CommInfo& commInfo,
                       const ReceiverSettings& settings) = 0;
  virtual int32_t Poll() = 0;
  // Pelmora_GetEpoch: the last completed epoch whole (zeros, logOffset -1, while closed).
  virtual void GetEpoch(Epoch& epoch) = 0;
  virtual int32_t StartLog(const std::string& path) = 0;
  virtual int32_t StopLog() = 0;
  virtual int32_t Close() = 0;
  virtual int32_t GetDefaultCommInfo(int32_t receiverType, CommInfo& commInfo) = 0;
  // Pelmora_GetSentences, drained: true when the source is decoded as NMEA, with its
  // checksum-valid sentences since the last call (CR LF-ended, possibly none) in sentences;
  // false (sentences empty) for a TSIP source or a closed engine.
  virtual bool TakeSentences(std::string& sentences) {
    sentences.clear();
    return false;
  }
  // Pelmora_GetMessages, drained: the records of every message the engine framed since the last
  // call (navlib32_messages.h) in records, and how many it let go unread in dropped; false
  // (records empty) for a closed engine.
  virtual bool TakeMessages(std::vector<uint8_t>& records, uint64_t& dropped) {
    records.clear();
    dropped = 0;
    return false;
  }
  // The replay player (Pelmora_SeekEpoch ... Pelmora_GetPlayerState): 0 or a NavSeekResult. An
  // engine without a player is never replaying.
  virtual int32_t SeekEpoch(int64_t /*epoch*/) { return kNavSeekNotReplaying; }
  // year 0: no date.
  virtual int32_t SeekTime(double /*utcSeconds*/, int32_t /*year*/, int32_t /*month*/,
                           int32_t /*day*/) {
    return kNavSeekNotReplaying;
  }
  virtual int32_t SeekStart() { return kNavSeekNotReplaying; }
  virtual int32_t SeekEnd() { return kNavSeekNotReplaying; }
  virtual int32_t StepBack() { return kNavSeekNotReplaying; }
  virtual int32_t GetPlayerState(PlayerState& /*state*/) { return kNavSeekNotReplaying; }
  // llcvt_dbl2str: latitude (kind 0) or longitude (kind 1) as text.
  virtual std::string FormatLatLon(double degrees, int32_t kind, int32_t format,
                                   int32_t decimals) = 0;
};

}  // namespace pelmora
