// Every message a decoder frames, good or damaged, kept as records (navlib32_messages.h) for a
// caller that shows them: the program's message console, through Pelmora_GetMessages. A decoder
// with a tap attached reports each step of its framer: the bytes the step consumed, the sentence
// or frame it completed, and what its error counters gained meanwhile. Good or bad is the
// framer's and the decoder's verdict; the tap only names the damaged stretches between good
// messages. Without a tap a decoder pays one test per step. Portable.
//
// Damaged NMEA: every '$' starts a sentence, so the bytes held since the last good sentence split
// at each '$' into sentences the framer dropped (all but the last, which may be in progress until
// the next '$' shows). Each is kept with its text up to where it broke and a status from how it
// ended: a '*' in it is a bad checksum, an overlong one or one broken by a non-printable byte a
// framing error, one ended by the next '$' (or the end of the input) cut. Bytes outside
// sentences other than line ends and blanks are noise.
// Damaged TSIP: the bytes before a frame (its stuffed form is known from the frame) are kept as
// one record: cut when the framer counted an interrupted frame, framing when an overlong one,
// else noise.
// What is kept does not depend on how the input was split into reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "navlib32/navlib32_messages.h"

namespace navlib {

class MessageTap {
 public:
  // Bytes of records kept for the caller at most: a few seconds of a 10 Hz multi-GNSS receiver
  // replayed at full speed, or minutes of one on a serial line.
  static constexpr std::size_t kMaxPending = 256 * 1024;

  struct NmeaStep {
    std::span<const uint8_t> consumed;
    std::string_view body;  // the sentence completed by this step ("" with completed false)
    bool completed = false;
    bool hasChecksum = false;
    bool rejoined = false;  // the sentence continues one that an injected sentence cut
  };
  struct TsipStep {
    std::span<const uint8_t> consumed;
    std::span<const uint8_t> frame;  // id and data of the frame completed by the step, or empty
    pelmora::MessageStatus verdict = pelmora::MessageStatus::Ok;  // the decoder's, of the frame
    uint64_t cut = 0;       // frames the framer counted as interrupted during the step
    uint64_t overlong = 0;  // frames it counted as too long
  };

  void Nmea(const NmeaStep& step);
  void Tsip(const TsipStep& step);
  // End of input: a message still in progress is kept as cut.
  void End(pelmora::MessageProtocol protocol);

  // Moves whole records, oldest first, into out (capacity bytes) and returns the bytes written;
  // the ones that do not fit wait for the next call.
  std::size_t Take(uint8_t* out, std::size_t capacity);
  // Records pushed out unread since the last call.
  uint64_t TakeDropped();

  // Forgets the records and any partial message (a new source, a seek).
  void Clear();

  std::size_t PendingBytes() const { return records_.size() - front_; }

 private:
  // Bytes since the last message at most before they are let go as noise: longer than any
  // sentence or stuffed frame (2 * 256 + 4 bytes), so one in progress is never split.
  static constexpr std::size_t kMaxHeld = 1024;

  void Keep(pelmora::MessageProtocol protocol, pelmora::MessageStatus status,
            std::string_view bytes, std::size_t wireBytes);
  void KeepNoise(pelmora::MessageProtocol protocol, std::string_view bytes);
  void KeepDamagedSentence(std::string_view piece);
  void KeepDamagedFrame(std::string_view bytes);

  std::string held_;       // bytes consumed since the last message kept
  uint64_t tsipCut_ = 0;   // interrupted TSIP frames among them
  uint64_t tsipLong_ = 0;  // overlong TSIP frames among them
  std::vector<uint8_t> records_;
  std::size_t front_ = 0;  // the oldest unread record
  uint64_t dropped_ = 0;
};

}  // namespace navlib
