// The replay player's state, filled by Pelmora_GetPlayerState: enough for a track bar and its
// "current / total time" texts. Portable; packed little-endian, layout checked below.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pelmora {

#pragma pack(push, 1)

// 64 bytes. Times are receiver UTC; spans count across midnights.
struct PlayerState {
  int64_t epochCount;      // epochs indexed so far
  int64_t currentEpoch;    // number of the last completed epoch (Epoch::sequence - 1); -1: none
  double firstUtcSeconds;  // time of day of the log's first timed epoch; -1 when none yet
  double lastUtcSeconds;   // time of day of the last timed epoch indexed; -1 when none yet
  double spanSeconds;      // from the first timed epoch to the last; 0 when none
  double currentSeconds;   // from the first timed epoch to the current one; -1 when unknown
  int16_t indexComplete;   // 1 once the whole log is indexed
  int16_t dated;           // 1 when the dates below hold the receiver's dates
  int16_t firstYear, firstMonth, firstDay;  // date of the first timed epoch
  int16_t lastYear, lastMonth, lastDay;     // date of the last timed epoch indexed
};

#pragma pack(pop)

static_assert(sizeof(PlayerState) == 64);
static_assert(offsetof(PlayerState, epochCount) == 0);
static_assert(offsetof(PlayerState, currentEpoch) == 8);
static_assert(offsetof(PlayerState, firstUtcSeconds) == 16);
static_assert(offsetof(PlayerState, lastUtcSeconds) == 24);
static_assert(offsetof(PlayerState, spanSeconds) == 32);
static_assert(offsetof(PlayerState, currentSeconds) == 40);
static_assert(offsetof(PlayerState, indexComplete) == 48);
static_assert(offsetof(PlayerState, dated) == 50);
static_assert(offsetof(PlayerState, firstYear) == 52);
static_assert(offsetof(PlayerState, lastYear) == 58);

}  // namespace pelmora
