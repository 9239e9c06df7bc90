// Turns an NMEA 0183 byte stream into checked sentences: '$' <address,fields> ['*' hh] CR LF.
// Portable: standard C++ only, no heap; the sentence lives in a fixed buffer.
//
// Resync policy (tolerances of real receivers and logs):
// - outside a sentence every byte up to the next '$' is skipped (binary noise, '!' AIS
//   sentences, comments);
// - a '$' inside a sentence restarts it: a receiver that rebooted or a lost line end never
//   costs more than the sentence it damaged (this also absorbs a doubled "$$");
// - the body takes printable ASCII only; any other byte (binary noise) drops the sentence;
// - a sentence ends at CR or at a bare LF (logs written on Unix); "\r\r\n" and blank lines
//   are harmless, since line-end bytes outside a sentence are skipped;
// - the checksum is exactly two hex digits after '*', either case, and must be followed by a
//   line end or the next '$'; anything else drops the sentence as a checksum failure;
// - a sentence longer than kMaxNmeaSentence is dropped and counted;
// - a sentence cut by a '$' is kept aside: when the cutting sentence completes with a valid
//   checksum and a line end, and the bytes after it are not a new sentence, they continue the
//   cut one, which is handed out only when its own checksum holds (receivers and multiplexers
//   that inject a proprietary sentence into the middle of another).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace navlib::nmea {

// The standard allows 82 characters including '$' and CR LF; proprietary sentences and
// high-precision receivers (8-decimal minutes, 4.11 signal ids) exceed it, so keep twice that.
constexpr std::size_t kMaxNmeaSentence = 164;

struct NmeaFramerCounters {
  uint64_t bytes = 0;             // bytes consumed
  uint64_t sentences = 0;         // sentences handed out (checksum passed or absent)
  uint64_t checksumFailures = 0;  // wrong, non-hex or misplaced checksum
  uint64_t overlong = 0;          // dropped for exceeding kMaxNmeaSentence
  uint64_t interrupted = 0;       // cut short by a '$' or a non-printable byte
  uint64_t skipped = 0;           // bytes outside any sentence
  uint64_t rejoined = 0;          // cut sentences joined around an injected one
};

// A complete sentence: the text between '$' and '*' (or the line end).
struct NmeaSentence {
  std::string_view body;
  bool hasChecksum = false;
};

class NmeaFramer {
 public:
  // Consumes bytes until a sentence completes or the input ends; returns how many it consumed.
  // When a sentence completed, sets got and fills sentence (valid until the next call).
  std::size_t Next(const uint8_t* data, std::size_t size, NmeaSentence& sentence, bool& got);

  // End of input: a sentence whose checksum was complete but whose line end never came is
  // handed out. Returns true when that happened.
  bool Finish(NmeaSentence& sentence);

  void Reset();
  const NmeaFramerCounters& Counters() const { return counters_; }

 private:
  enum class State : uint8_t {
    Ground,   // outside a sentence, looking for '$'
    InBody,   // after '$', collecting the body and its XOR
    SawStar,  // after '*', expecting the first hex digit
    SawHex1,  // after the first hex digit
    SawHex2,  // after both hex digits, expecting the line end
    Resume,   // after a sentence that cut another: its line end, or the rest of the cut one
  };

  bool CompleteChecked(NmeaSentence& sentence);
  void Start();

  State state_ = State::Ground;
  std::array<char, kMaxNmeaSentence> buffer_{};
  std::size_t length_ = 0;
  uint8_t sum_ = 0;
  uint8_t given_ = 0;
  // The sentence a '$' cut: its body so far and its XOR (cutLength_ 0: none).
  std::array<char, kMaxNmeaSentence> cut_{};
  std::size_t cutLength_ = 0;
  uint8_t cutSum_ = 0;
  bool joined_ = false;  // the sentence in progress continues a cut one
  NmeaFramerCounters counters_;
};

}  // namespace navlib::nmea
