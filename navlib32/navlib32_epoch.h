// The last completed epoch as one value, filled by Pelmora_GetEpoch: the fix record the window
// shows, and what that record cannot hold — every satellite with its system and its number within
// that system, the UTC date when the receiver has said it, a sequence number and, in replay, where
// the epoch lies in the log. Portable: standard C++ only. The layout is fixed (little-endian,
// packed) and checked below.
#pragma once

#include <cstddef>
#include <cstdint>

#include "navlib32/navlib32_records.h"

namespace pelmora {

#pragma pack(push, 1)

// One satellite of an epoch: 12 bytes.
struct EpochSat {
  int16_t system;  // a SatSystem
  // The number within its system, as gpsd's "svid": GPS 1-32, SBAS the PRN 120-158, GLONASS the
  // slot 1-32 (above 32: the receiver's own number), Galileo 1-36, BeiDou 1-63, QZSS 1-10,
  // NavIC 1-14.
  int16_t svid;
  int16_t elevation;  // degrees, 0 when unknown
  int16_t azimuth;    // degrees true, 0 when unknown
  int16_t snr;        // dB-Hz, 0 when not tracked
  int16_t used;       // 1: used in the solution
};

// Bits of Epoch::flags.
enum EpochFlags : uint16_t {
  kEpochHasFix = 0x0001,   // the fix is current (Pelmora_GetInfo's non-zero result)
  kEpochHasDate = 0x0002,  // utcYear, utcMonth and utcDay hold the receiver's date
  kEpochReplay = 0x0004,   // read from a replayed log; logOffset is set
  kEpochNmea = 0x0008,     // the source is decoded as NMEA 0183 (else TSIP)
};

// 1040 bytes.
struct Epoch {
  FixRecord fix;      // as Pelmora_GetInfo fills it
  uint64_t sequence;  // epochs completed since the engine opened; 0 before the first
  // Replay: the byte offset in the log from which decoding yields this epoch (after the last
  // message of the epoch before it, at or before its own first byte); -1 live.
  int64_t logOffset;
  uint16_t flags;  // EpochFlags
  // The UTC date of the epoch as the receiver stated it (RMC, ZDA; TSIP GPS week, time of week
  // and UTC offset); zeros without kEpochHasDate. Never the computer's clock.
  int16_t utcYear;
  int16_t utcMonth;
  int16_t utcDay;
  int16_t satCount;  // entries of sats in use
  uint8_t reserved266[6];
  EpochSat sats[kMaxAllSats];  // every current satellite, in system and number order
};

#pragma pack(pop)

static_assert(sizeof(EpochSat) == 12);
static_assert(offsetof(EpochSat, system) == 0);
static_assert(offsetof(EpochSat, svid) == 2);
static_assert(offsetof(EpochSat, elevation) == 4);
static_assert(offsetof(EpochSat, azimuth) == 6);
static_assert(offsetof(EpochSat, snr) == 8);
static_assert(offsetof(EpochSat, used) == 10);
static_assert(sizeof(Epoch) == 1040);
static_assert(offsetof(Epoch, fix) == 0);
static_assert(offsetof(Epoch, sequence) == 240);
static_assert(offsetof(Epoch, logOffset) == 248);
static_assert(offsetof(Epoch, flags) == 256);
static_assert(offsetof(Epoch, utcYear) == 258);
static_assert(offsetof(Epoch, utcMonth) == 260);
static_assert(offsetof(Epoch, utcDay) == 262);
static_assert(offsetof(Epoch, satCount) == 264);
static_assert(offsetof(Epoch, sats) == 272);

}  // namespace pelmora
