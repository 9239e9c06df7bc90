// The receiver's raw messages as Pelmora_GetMessages hands them over: every NMEA sentence and
// TSIP frame the decoder framed, and every stretch of the stream it had to throw away, each with
// what was wrong with it. A buffer holds records one after another: a MessageHeader, then its
// `length` bytes, then the next header. Portable: standard C++ only. The header's layout is
// fixed (little-endian, packed) and checked below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pelmora {

enum class MessageProtocol : uint8_t { Nmea = 1, Tsip = 2 };

enum class MessageStatus : uint8_t {
  Ok = 0,           // NMEA: checksum valid; TSIP: a whole frame its decoder accepted or skips
  NoChecksum = 1,   // NMEA sentence without a checksum (taken, but nothing vouches for it)
  BadChecksum = 2,  // NMEA checksum wrong, not hex or misplaced; TSIPv1 checksum wrong
  Cut = 3,          // cut short by the start of the next message, or by the end of the input
  Framing = 4,      // broken by a byte no message may hold, or longer than any message
  BadLength = 5,    // TSIP frame of a length its id never has
  Implausible = 6,  // TSIP frame of the right length holding values no receiver sends
  Noise = 7,        // bytes outside any message (line noise, a wrong baud rate)
};

#pragma pack(push, 1)

// 8 bytes.
struct MessageHeader {
  uint16_t length;     // bytes that follow, at most kMaxMessageBytes
  uint8_t protocol;    // a MessageProtocol
  uint8_t status;      // a MessageStatus
  uint32_t wireBytes;  // bytes of the stream the message took (beyond length for long noise)
};

#pragma pack(pop)

static_assert(sizeof(MessageHeader) == 8);
static_assert(offsetof(MessageHeader, length) == 0);
static_assert(offsetof(MessageHeader, protocol) == 2);
static_assert(offsetof(MessageHeader, status) == 3);
static_assert(offsetof(MessageHeader, wireBytes) == 4);

// The bytes a record carries at most. NMEA: the sentence as "$...*HH" without its line end (for
// a damaged one, its text up to where it broke). TSIP: the frame unstuffed, id first (a frame
// is at most 256 bytes). Noise: its first bytes as received.
constexpr std::size_t kMaxMessageBytes = 256;
constexpr std::size_t kMaxMessageRecord = sizeof(MessageHeader) + kMaxMessageBytes;

// Calls f(header, bytes) for each whole record of a buffer, in order; stops at a record that
// runs past the end. Returns the bytes of the whole records.
template <typename F>
std::size_t ForEachMessage(const uint8_t* data, std::size_t size, F&& f) {
  std::size_t pos = 0;
  while (size - pos >= sizeof(MessageHeader)) {
    MessageHeader header;
    std::memcpy(&header, data + pos, sizeof header);
    if (header.length > kMaxMessageBytes || header.length > size - pos - sizeof header) break;
    f(header, data + pos + sizeof header);
    pos += sizeof header + header.length;
  }
  return pos;
}

}  // namespace pelmora
