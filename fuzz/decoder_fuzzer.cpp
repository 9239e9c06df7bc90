// libFuzzer target of one byte-fed decoder (NMEA or TSIP, by FUZZ_PROTOCOL_TSIP): the input is
// fed in fuzzer-chosen chunks on an advancing clock; every completed epoch's record, the record
// after Flush and the record after a silence are checked. Then chunking must not matter: on a
// fixed clock, the chunked stream and the stream in one read give the same epochs, ending at
// the same bytes, with the same records.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "fuzz/FuzzChecks.h"
#include "navlib32/GpsDecoder.h"
#include "navlib32/MakeDecoder.h"

namespace {

#if FUZZ_PROTOCOL_TSIP
constexpr navlib::Protocol kProtocol = navlib::Protocol::Tsip;
#else
constexpr navlib::Protocol kProtocol = navlib::Protocol::Nmea;
#endif

void CheckFix(const navlib::GpsDecoder& decoder, double now) {
  // On the heap with its exact size, so that a write past the record is an ASan report.
  auto record = std::make_unique<pelmora::FixRecord>();
  std::memset(record.get(), 0xA5, sizeof *record);
  decoder.GetFix(*record, now);
  fuzzcheck::CheckRecord(*record);
  auto again = std::make_unique<pelmora::FixRecord>();
  decoder.GetFix(*again, now);
  FUZZ_REQUIRE(std::memcmp(record.get(), again.get(), sizeof *record) == 0);
  int year = 0, month = 0, day = 0;
  if (decoder.GetDate(year, month, day, now)) {
    FUZZ_REQUIRE(year >= 1980 && year <= 9999);
    FUZZ_REQUIRE(month >= 1 && month <= 12 && day >= 1 && day <= 31);
  }
}

struct EpochAt {
  std::size_t end;  // stream offset just past the epoch's last byte
  pelmora::FixRecord record;
};

// Decodes the stream on a fixed clock, in the chunker's reads or (without one) in one read.
std::vector<EpochAt> DecodeAll(const uint8_t* data, std::size_t size, fuzzcheck::Chunker* chunker) {
  constexpr double kNow = 1000.0;
  std::unique_ptr<navlib::GpsDecoder> decoder = navlib::MakeDecoder(kProtocol);
  std::vector<EpochAt> epochs;
  auto take = [&](std::size_t end) {
    epochs.push_back(EpochAt{end, {}});
    decoder->GetFix(epochs.back().record, kNow);
    decoder->TakeEpoch();
  };
  std::size_t pos = 0;
  while (pos < size) {
    const std::size_t n = chunker != nullptr ? chunker->Next(size - pos) : size - pos;
    std::size_t offset = 0;
    while (offset < n) {
      offset += decoder->Feed(data + pos + offset, n - offset, kNow);
      if (decoder->EpochComplete()) take(pos + offset);
    }
    pos += n;
  }
  for (decoder->Flush(); decoder->EpochComplete(); decoder->Flush())
    take(size);
  return epochs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const uint8_t control = data[0];
  fuzzcheck::Chunker chunker(control);
  ++data;
  --size;

  std::unique_ptr<navlib::GpsDecoder> decoder = navlib::MakeDecoder(kProtocol);
  FUZZ_REQUIRE(decoder != nullptr);
  double now = 100.0;
  std::size_t pos = 0;
  int idleCalls = 0;
  while (pos < size) {
    const std::size_t n = chunker.Next(size - pos);
    std::size_t offset = 0;
    while (offset < n) {
      const std::size_t used = decoder->Feed(data + pos + offset, n - offset, now);
      FUZZ_REQUIRE(used <= n - offset);
      // Nothing consumed is allowed only when an epoch completed at the very start of the
      // bytes offered (a sentence ended by the next one's '$'), and never twice in a row.
      if (used == 0) {
        FUZZ_REQUIRE(decoder->EpochComplete());
        FUZZ_REQUIRE(++idleCalls <= 1);
      } else {
        idleCalls = 0;
      }
      offset += used;
      if (decoder->EpochComplete()) {
        CheckFix(*decoder, now);
        decoder->TakeEpoch();
        FUZZ_REQUIRE(!decoder->EpochComplete());
      } else {
        // Short only at an epoch's end.
        FUZZ_REQUIRE(offset == n);
      }
    }
    pos += n;
    now += 0.25;  // a quarter second per read, so values age within long inputs
  }
  // The end of the input completes what the decoder still holds, an epoch at a time.
  for (int flushes = 0;; ++flushes) {
    FUZZ_REQUIRE(flushes < 4);
    decoder->Flush();
    CheckFix(*decoder, now);
    if (!decoder->EpochComplete()) break;
    decoder->TakeEpoch();
  }
  // A receiver silent for longer than the stale time reports nothing valid.
  auto silent = std::make_unique<pelmora::FixRecord>();
  decoder->GetFix(*silent, now + 60.0);
  fuzzcheck::CheckSilentRecord(*silent);

  fuzzcheck::Chunker again(control);
  const std::vector<EpochAt> chunked = DecodeAll(data, size, &again);
  const std::vector<EpochAt> whole = DecodeAll(data, size, nullptr);
  FUZZ_REQUIRE(chunked.size() == whole.size());
  for (std::size_t i = 0; i < whole.size(); ++i) {
    FUZZ_REQUIRE(chunked[i].end == whole[i].end);
    FUZZ_REQUIRE(std::memcmp(&chunked[i].record, &whole[i].record, sizeof whole[i].record) == 0);
  }
  return 0;
}
