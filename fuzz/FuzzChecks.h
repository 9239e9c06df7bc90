// Invariants every fuzz target checks on what the engine reports, and the chunking of fuzz input.
// A violation traps at once so that libFuzzer keeps the input as a crash.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "navlib32/navlib32_records.h"

namespace fuzzcheck {

// Names the broken invariant, then traps.
#define FUZZ_REQUIRE(condition)                                                               \
  do {                                                                                        \
    if (!(condition)) {                                                                       \
      std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      __builtin_trap();                                                                       \
    }                                                                                         \
  } while (false)

constexpr uint16_t kKnownBits =
    pelmora::kValidStatus | pelmora::kValidFixMode | pelmora::kValidTime | pelmora::kValidPosition |
    pelmora::kValidGeoidHeight | pelmora::kValidEllipsoidHeight | pelmora::kValidSpeed |
    pelmora::kValidHeading | pelmora::kValidGeometry | pelmora::kValidSignal;

// A FixRecord as GetFix/GetInfo may hand it out: known validity bits only, each for a finite
// value in its range, codes from their tables, satellite slots packed and within bounds,
// reserved bytes zero.
inline void CheckRecord(const pelmora::FixRecord& r) {
  static_assert(sizeof(pelmora::FixRecord) == 240 && sizeof(pelmora::SatInfo) == 10);
  const uint16_t f = r.validFlags;
  FUZZ_REQUIRE((f & ~kKnownBits) == 0);
  FUZZ_REQUIRE(r.status >= 0 && r.status < pelmora::kReceiverStatusCount);
  FUZZ_REQUIRE(r.fixMode >= 0 && r.fixMode <= 5);
  if (f & pelmora::kValidFixMode) FUZZ_REQUIRE(r.fixMode >= 1);
  if (f & pelmora::kValidTime) {
    FUZZ_REQUIRE(std::isfinite(r.utcSeconds) && r.utcSeconds >= 0.0 && r.utcSeconds < 86401.0);
  }
  if (f & pelmora::kValidPosition) {
    FUZZ_REQUIRE(std::isfinite(r.latitude) && std::fabs(r.latitude) <= 90.0);
    FUZZ_REQUIRE(std::isfinite(r.longitude) && std::fabs(r.longitude) <= 180.0);
  }
  if (f & pelmora::kValidGeoidHeight) FUZZ_REQUIRE(std::isfinite(r.geoidHeight));
  if (f & pelmora::kValidEllipsoidHeight) FUZZ_REQUIRE(std::isfinite(r.ellipsoidHeight));
  if (f & pelmora::kValidSpeed) FUZZ_REQUIRE(std::isfinite(r.speed));
  if (f & pelmora::kValidHeading) FUZZ_REQUIRE(std::isfinite(r.trueHeading));
  // No validity bit of their own: they are zero unless current, and never non-finite.
  FUZZ_REQUIRE(std::isfinite(r.magVariation));
  FUZZ_REQUIRE(std::isfinite(r.depth));
  FUZZ_REQUIRE(std::isfinite(r.pdop) && r.pdop >= 0.0f);
  if (!(f & pelmora::kValidGeometry)) FUZZ_REQUIRE(r.pdop == 0.0f);
  FUZZ_REQUIRE(r.satCount >= 0);

  int filled = 0;
  int used = 0;
  for (int i = 0; i < pelmora::kMaxSats; ++i) {
    const pelmora::SatInfo& s = r.sats[i];
    if (s.prn == 0) {
      FUZZ_REQUIRE(s.used == 0 && s.azimuth == 0 && s.elevation == 0 && s.snr == 0);
      continue;
    }
    FUZZ_REQUIRE(i == filled);  // slots are packed from the first one
    ++filled;
    FUZZ_REQUIRE(s.prn > 0 && s.prn <= 999);
    FUZZ_REQUIRE(s.used == 0 || s.used == 1);
    used += s.used;
    FUZZ_REQUIRE(s.elevation >= -90 && s.elevation <= 90);
    FUZZ_REQUIRE(s.azimuth >= 0 && s.azimuth <= 360);
    FUZZ_REQUIRE(s.snr >= 0 && s.snr <= 999);  // FixState keeps up to 999
  }
  FUZZ_REQUIRE(used <= r.satCount);
  FUZZ_REQUIRE(filled == 0 || (f & pelmora::kValidSignal));
  if (f & pelmora::kValidSignal) FUZZ_REQUIRE(filled > 0);

  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&r);
  for (std::size_t i = 6; i < 8; ++i)
    FUZZ_REQUIRE(bytes[i] == 0);
  for (std::size_t i = 16; i < 24; ++i)
    FUZZ_REQUIRE(bytes[i] == 0);
  for (std::size_t i = 92; i < 104; ++i)
    FUZZ_REQUIRE(bytes[i] == 0);
  for (std::size_t i = 226; i < 240; ++i)
    FUZZ_REQUIRE(bytes[i] == 0);
}

// The record a receiver silent for longer than the stale time gives: nothing valid but the
// status, which says "no data", and no satellites.
inline void CheckSilentRecord(const pelmora::FixRecord& r) {
  CheckRecord(r);
  FUZZ_REQUIRE(r.validFlags == pelmora::kValidStatus);
  FUZZ_REQUIRE(r.status == static_cast<int16_t>(pelmora::ReceiverStatus::NoData));
  FUZZ_REQUIRE(r.satCount == 0 && r.sats[0].prn == 0);
}

// Chunk sizes chosen by the fuzzer: the first input byte picks the largest chunk and seeds a
// small generator; the rest of the input is the byte stream.
class Chunker {
 public:
  Chunker(uint8_t control) : state_(0x9E3779B9u ^ (control >> 3) * 0x85EBCA6Bu) {
    static constexpr std::size_t kMax[8] = {1, 2, 3, 7, 16, 100, 1024, 65536};
    max_ = kMax[control & 7];
  }
  std::size_t Next(std::size_t remaining) {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    const std::size_t n = 1 + state_ % max_;
    return n < remaining ? n : remaining;
  }

 private:
  uint32_t state_;
  std::size_t max_;
};

}  // namespace fuzzcheck
