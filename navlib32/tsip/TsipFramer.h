// Turns a TSIP byte stream into frames: DLE <id> <data with DLE doubled> DLE ETX. The framer
// removes the stuffing and hands out <id><data>; it does not judge the content (lengths and
// the TSIPv1 checksum are checked by TsipPackets). Portable: standard C++ only, no heap.
//
// Resync policy: outside a frame every byte up to a DLE is skipped. A DLE followed by a byte
// other than DLE or ETX starts a frame with that byte as id, also in the middle of a frame
// (the frame so far is dropped and counted): a receiver that restarts or a byte lost on the
// line never hides more than the frame it damaged.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace navlib::tsip {

constexpr uint8_t kDle = 0x10;
constexpr uint8_t kEtx = 0x03;

// Largest frame kept, id included, after unstuffing. The longest report of the receivers
// decoded here is the ephemeris report 0x58 (about 170 bytes); TSIPv1 reports stay below 100.
// A longer frame is noise or a lost DLE ETX, and is dropped.
constexpr std::size_t kMaxTsipPacket = 256;

struct TsipFramerCounters {
  uint64_t bytes = 0;        // bytes pushed
  uint64_t frames = 0;       // complete frames handed out
  uint64_t skipped = 0;      // bytes outside any frame
  uint64_t overlong = 0;     // frames dropped for exceeding kMaxTsipPacket
  uint64_t interrupted = 0;  // frames cut short by the start of another
};

class TsipFramer {
 public:
  // Feeds one byte. Returns true when it completed a frame; Frame() then holds it until the
  // next call.
  bool Push(uint8_t byte);

  // Feeds bytes up to and including the one that completes a frame (completed is then true)
  // and returns how many it took: all of them when no frame completed. Same result as Push
  // byte by byte; runs of data between DLEs are copied eight bytes at a time, noise is skipped
  // in one go, and the byte after a DLE is looked at directly. Inline for the usual input, a
  // whole frame next, which then costs the decoder no call of its own.
  std::size_t Push(const uint8_t* data, std::size_t size, bool& completed) {
    if (state_ == State::Ground) {
      if (const std::size_t used = WholeFrame(data, size)) {
        completed = true;
        return used;
      }
    }
    return PushInParts(data, size, completed);
  }

  // The last completed frame: the packet id followed by its data, unstuffed.
  std::span<const uint8_t> Frame() const { return {buffer_.data(), length_}; }

  const TsipFramerCounters& Counters() const { return counters_; }

  // Drops any partial frame (the counters stay).
  void Reset();

 private:
  enum class State {
    Ground,         // outside a frame, waiting for DLE
    SawDle,         // DLE seen outside a frame: the next byte may be an id
    InFrame,        // collecting data bytes
    SawDleInFrame,  // DLE seen inside a frame: DLE (data), ETX (end) or an id (restart)
    Overflowing,    // frame too long: skipping to its end
    SawDleOverflow  // DLE seen while skipping
  };

  // Room past kMaxTsipPacket for the eight-byte copies of the bulk Push; never part of a frame.
  static constexpr std::size_t kCopySlack = 8;

  // Outside a frame, with a whole frame at the start of the input (DLE, id, data, DLE ETX; no
  // other frame's start inside, no longer than kMaxTsipPacket): takes it in one pass, as Push
  // would, and returns its size; 0, with nothing taken, for any other input.
  std::size_t WholeFrame(const uint8_t* data, std::size_t size);
  // The bulk Push for any other input: state by state.
  std::size_t PushInParts(const uint8_t* data, std::size_t size, bool& completed);
  // Push of one byte without counting it.
  bool Step(uint8_t byte);
  void StartFrame(uint8_t id);
  void Append(uint8_t byte);
  // InFrame: copies the data bytes from p up to the next DLE (or end) into the frame; returns
  // where it stopped. A frame that outgrows kMaxTsipPacket turns into Overflowing there.
  const uint8_t* CopyData(const uint8_t* p, const uint8_t* end);

  State state_ = State::Ground;
  std::array<uint8_t, kMaxTsipPacket + kCopySlack> buffer_{};
  std::size_t length_ = 0;
  TsipFramerCounters counters_;
};

}  // namespace navlib::tsip
