// The replay player's arguments as macros and the command line give them: a speed word and a
// receiver time to seek to. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace pelmora {

// Tick: one epoch per update tick. Max: as many epochs as a tick allows. The others: receiver
// seconds per second of the wall clock.
enum class ReplaySpeed { Tick, Quarter, Half, One, Two, Four, Eight, Sixteen, Max };

// "0.25", "0.5", "1", "2", "4", "8", "16", "MAX", "TICK" (words in any case); nothing else.
std::optional<ReplaySpeed> ParseReplaySpeed(std::string_view text);
// The word ParseReplaySpeed reads back.
std::string_view ReplaySpeedText(ReplaySpeed speed);
// Receiver seconds per tick; 0 for Tick and Max.
double ReplaySpeedFactor(ReplaySpeed speed);

// A receiver UTC time of day, with its date when one was given (year 0: none).
struct ReplayTime {
  double utcSeconds = 0;
  int32_t year = 0, month = 0, day = 0;
};

// "hh:mm:ss[.s]" (up to six decimals) or "yyyy-mm-dd hh:mm:ss[.s]"; nothing else.
std::optional<ReplayTime> ParseReplayTime(std::string_view text);

// Where a seek goes: a time, the log's first or last epoch, or an epoch by its number.
struct SeekTarget {
  enum class Kind { Time, Start, End };
  Kind kind = Kind::Time;
  ReplayTime time;
};

// "START", "END" (any case) or a ParseReplayTime text.
std::optional<SeekTarget> ParseSeekTarget(std::string_view text);

}  // namespace pelmora
