// Replay of a GPS log: every Advance feeds the decoder chunk by chunk until one epoch (fix
// cycle) completes, keeping the rest of the chunk for the next call. Streamed: one fixed chunk
// buffer whatever the log's size, and opening reads only the first chunk. Portable.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "navlib32/ByteSource.h"
#include "navlib32/GpsDecoder.h"

namespace navlib {

using DecoderFactory = std::function<std::unique_ptr<GpsDecoder>(Protocol)>;

class LogReplay {
 public:
  // Bytes read from the log at a time (the only buffer the replay holds): large enough that
  // reading costs little beside decoding.
  static constexpr std::size_t kChunkSize = 64 * 1024;

  enum class StartResult { Ok, NotGps };
  enum class Step { Epoch, End, Failed };

  LogReplay(std::unique_ptr<ByteSource> source, DecoderFactory makeDecoder);

  // Reads the first chunk and picks the protocol: the expected one, unless the chunk plainly
  // holds the other and nothing of the expected one; with none expected, the one DetectProtocol
  // picks. NotGps when the chunk holds neither (or the log is empty).
  StartResult Start(std::optional<Protocol> expected);

  // Advances exactly one epoch. End once the log is exhausted (the epoch in progress at the
  // end of the log, if it holds data, is still returned first); Failed on a read error.
  Step Advance(double nowSeconds);

  Protocol protocol() const { return protocol_; }
  const GpsDecoder& decoder() const { return *decoder_; }
  // Bytes taken from the source so far (tests check that reading is chunked).
  uint64_t bytesRead() const { return bytesRead_; }

 private:
  ReadStatus Fill();

  std::unique_ptr<ByteSource> source_;
  DecoderFactory makeDecoder_;
  std::unique_ptr<GpsDecoder> decoder_;
  Protocol protocol_ = Protocol::Nmea;
  std::array<uint8_t, kChunkSize> chunk_{};
  std::size_t pos_ = 0;
  std::size_t len_ = 0;
  uint64_t bytesRead_ = 0;
  bool ended_ = false;
  bool readFailed_ = false;  // the source failed; reported once its bytes are used up
  bool failed_ = false;
};

}  // namespace navlib
