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
  // Paused: the byte budget given to Advance was fed without completing an epoch.
  enum class Step { Epoch, End, Failed, Paused };

  LogReplay(std::unique_ptr<ByteSource> source, DecoderFactory makeDecoder);

  // Reads the first chunk and picks the protocol: the expected one, unless the chunk plainly
  // holds the other and nothing of the expected one; with none expected, the one DetectProtocol
  // picks. NotGps when the chunk holds neither (or the log is empty).
  StartResult Start(std::optional<Protocol> expected);

  // Starts decoding protocol at offset bytes into the log, with a fresh decoder (a seek, or a
  // second reader of a log whose protocol is known). False when the source cannot seek there.
  bool StartAt(uint64_t offset, Protocol protocol);

  // Goes on at offset bytes into the log with decoder, which has decoded the log from its start
  // up to there (a copy of another replay's decoder). False when the source cannot seek there.
  bool Resume(uint64_t offset, Protocol protocol, std::unique_ptr<GpsDecoder> decoder);

  // Goes on with the decoder wrap makes of the current one (taps attached between epochs).
  void WrapDecoder(
      const std::function<std::unique_ptr<GpsDecoder>(std::unique_ptr<GpsDecoder>)>& wrap) {
    decoder_ = wrap(std::move(decoder_));
  }

  // Advances exactly one epoch. End once the log is exhausted (the epoch in progress at the
  // end of the log, if it holds data, is still returned first); Failed on a read error. With a
  // budget, Paused once that many bytes were fed without an epoch (call again to go on).
  Step Advance(double nowSeconds, uint64_t byteBudget = UINT64_MAX);

  // Where the last completed epoch begins in the log (Epoch::logOffset); -1 when unknown.
  int64_t EpochOffset() const;

  Protocol protocol() const { return protocol_; }
  const GpsDecoder& decoder() const { return *decoder_; }
  // Bytes taken from the source so far (tests check that reading is chunked).
  uint64_t bytesRead() const { return bytesRead_; }
  // Bytes fed to the decoder so far.
  uint64_t bytesFed() const { return bytesFed_; }
  // Where in the log the next byte fed to the decoder comes from.
  uint64_t position() const { return startOffset_ + bytesFed_; }

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
  uint64_t bytesFed_ = 0;
  uint64_t startOffset_ = 0;  // where the decoder's input begins in the log
  bool ended_ = false;
  bool readFailed_ = false;  // the source failed; reported once its bytes are used up
  bool failed_ = false;
};

}  // namespace navlib
