// Decodes one framed NMEA 0183 sentence (2.x to 4.11, any talker) into the shared fix state.
// Portable: standard C++ only, no heap; numbers are parsed with std::from_chars (no locale).
//
// Every value is parsed into a scratch record first and committed to FixState only when the
// whole sentence parsed: a malformed number drops the sentence, an empty field only its value.
// Sentences without a checksum (old receivers, hand-typed logs) are accepted only when they
// carry the type's full field count; a line cut short by a reboot or a lost byte then never
// passes as valid data.
#pragma once

#include <cstdint>
#include <string_view>

#include "navlib32/FixState.h"

namespace navlib::nmea {

enum class SentenceResult {
  Decoded,    // applied to the fix state
  Unknown,    // proprietary or a sentence type this decoder does not use
  Malformed,  // a known type with too few fields or an unparsable value
  Late,       // decoded, but its time lies up to 2 s behind the epoch in progress: its values
              // join that epoch and its time is ignored, so epochs never step back for a
              // sentence that lags the others
};

struct NmeaSentenceCounters {
  uint64_t decoded = 0;
  uint64_t unknown = 0;
  uint64_t malformed = 0;
  uint64_t late = 0;
};

// Reads a whole field as a decimal number ([-]digits[.digits], or anything std::from_chars
// takes), locale-free; false when malformed or not finite.
bool ParseDecimal(std::string_view text, double& value);

// Which sentences own the epoch. Fix sentences (GGA, RMC, GLL, GNS) with a time define it;
// time-only sentences (ZDA, GST, GBS, GRS, which some receivers send a second or two ahead of
// the fix) set the date, and the epoch's time only while no fix sentence has carried a time for
// kStaleSeconds. A fix sentence's time replaces one a time-only sentence gave the epoch in
// progress, and "late" is judged against the epoch's time.
struct NmeaEpochClock {
  double lastFixTimeAt = 0.0;     // arrival of the last fix sentence with a time
  bool anyFixTime = false;        // one has arrived
  bool epochTimeFromFix = false;  // the epoch in progress got its time from a fix sentence
  bool clockUnset = false;        // the receiver said its clock is not set yet (ClockOf)
  bool FixTimesCurrent(double now) const;
};

// Decodes body (the text between '$' and '*', e.g. "GPGGA,123519,4807.038,N,...") of a stream
// whose epoch clock is clock.
SentenceResult DecodeSentence(std::string_view body, bool hasChecksum, FixState& state,
                              NmeaEpochClock& clock, double nowSeconds);
// The same for a sentence on its own.
SentenceResult DecodeSentence(std::string_view body, bool hasChecksum, FixState& state,
                              double nowSeconds);

}  // namespace navlib::nmea
