// libFuzzer target of one byte-fed decoder (NMEA or TSIP, by FUZZ_PROTOCOL_TSIP): the input is
// fed in fuzzer-chosen chunks on an advancing clock; every completed epoch's record, the record
// after Flush and the record after a silence are checked.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz/FuzzChecks.h"
#include "navlib32/GpsDecoder.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  fuzzcheck::Chunker chunker(data[0]);
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
  decoder->Flush();
  CheckFix(*decoder, now);
  if (decoder->EpochComplete()) decoder->TakeEpoch();
  // A receiver silent for longer than the stale time reports nothing valid.
  auto silent = std::make_unique<pelmora::FixRecord>();
  decoder->GetFix(*silent, now + 60.0);
  fuzzcheck::CheckSilentRecord(*silent);
  return 0;
}
