// TSIP packets → typed reports. A frame from TsipFramer (id + data, unstuffed) is checked
// against the length rules of its id (classic TSIP has no checksum, so a frame whose length is
// off is taken as damaged) or, for TSIPv1 (ids 0x90..0xA3), against its length field and
// checksum; then parsed into one of the report structs below. Big-endian fields are read with
// ReadBe*, never by laying a struct over the bytes. Portable: standard C++ only, no heap.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <variant>

#include "navlib32/GnssSystem.h"

namespace navlib::tsip {

// --- Big-endian readers. The caller guarantees offset + size <= data.size() (the length
// table is checked first); out-of-range reads return 0 rather than read past the end.
uint8_t ReadU8(std::span<const uint8_t> data, std::size_t offset);
uint16_t ReadBeU16(std::span<const uint8_t> data, std::size_t offset);
int16_t ReadBeI16(std::span<const uint8_t> data, std::size_t offset);
uint32_t ReadBeU32(std::span<const uint8_t> data, std::size_t offset);
int32_t ReadBeI32(std::span<const uint8_t> data, std::size_t offset);
uint64_t ReadBeU64(std::span<const uint8_t> data, std::size_t offset);
float ReadBeF32(std::span<const uint8_t> data, std::size_t offset);
double ReadBeF64(std::span<const uint8_t> data, std::size_t offset);

// --- Frame check --------------------------------------------------------------------------

enum class FrameCheck {
  Ok,
  Unknown,      // an id (or superpacket subcode) not decoded here
  BadLength,    // length off for its id; for TSIPv1 also a length field that disagrees
  BadChecksum,  // TSIPv1 only
  NotReport,    // TSIPv1 query or command echo (mode byte other than 2)
};

// TSIPv1 packet ids: id, subcode, 16-bit length (mode byte to checksum), mode, data,
// checksum (XOR of every byte from the id on makes 0).
constexpr bool IsTsipV1Id(uint8_t id) {
  return id >= 0x90 && id <= 0xA3;
}

// ParseFrame's verdict without the report.
FrameCheck CheckFrame(std::span<const uint8_t> frame);

// --- Reports ------------------------------------------------------------------------------
// Angles in degrees (converted from the radians or semicircles on the wire), heights in
// metres, velocities in metres per second, times in GPS seconds of the week.

// 0x41 GPS time: tow float, week int16, UTC offset float. Sent on its own schedule (about
// every 5 s), not with the fix. A negative time of week means the receiver has no time yet.
struct GpsTimeReport {
  double gpsSeconds = 0.0;
  int week = 0;
  double utcOffsetSeconds = 0.0;
};

// Position reports, whatever their form on the wire: 0x84 (double LLA, radians), 0x4A
// (single LLA), 0x83 / 0x42 (ECEF, converted here), 0x8F-AC (timing receivers), TSIPv1
// A1-11. heightIsMsl: the I/O options chose heights above mean sea level.
struct PositionReport {
  uint16_t source = 0;  // id, or id << 8 | subcode for superpackets
  double latitudeDeg = 0.0;
  double longitudeDeg = 0.0;
  double heightMetres = 0.0;
  bool heightIsMsl = false;
  bool hasTime = false;  // 84, 4A, 83, 42 carry the time of fix
  double gpsSeconds = 0.0;
};

// 0x56 velocity east-north-up, float m/s, with the time of fix.
struct VelocityReport {
  double east = 0.0, north = 0.0, up = 0.0;
  double gpsSeconds = 0.0;
};

// 0x43 velocity in ECEF axes, float m/s, with the time of fix.
struct EcefVelocityReport {
  double x = 0.0, y = 0.0, z = 0.0;
  double gpsSeconds = 0.0;
};

// 0x8F-20 last fix with extra information: fixed-point position and velocity, GPS week and
// time, UTC offset and fix flags. 56 bytes, or 64 on receivers that list 8 satellites.
// 0x8F-23, the compact superpacket of the Copernicus, carries the same values.
struct SuperFixReport {
  double latitudeDeg = 0.0, longitudeDeg = 0.0, ellipsoidHeightMetres = 0.0;
  double east = 0.0, north = 0.0, up = 0.0;
  bool velocityValid = false;  // 0x8000 marks a component out of range
  double gpsSeconds = 0.0;
  int week = 0;
  int utcOffsetSeconds = 0;
  bool fixAvailable = false;
  bool differential = false;
  bool twoD = false;
  int satellitesUsed = 0;
};

// 0x8F-AB primary timing packet: time of week (whole seconds), week, UTC offset and the
// timing flags (bit 0: the time is UTC, not GPS; bit 2: time not set, bit 3: no UTC offset
// yet, bit 4: test mode).
struct TimingReport {
  double gpsSeconds = 0.0;
  int week = 0;
  int utcOffsetSeconds = 0;
  uint8_t flags = 0;
  bool timeValid = false;
  bool utcOffsetValid = false;
  bool utcTime = false;
};

// 0x8F-AC supplemental timing packet: receiver mode, decoding status and alarms with the
// position (double, radians, always above the ellipsoid).
struct TimingStatusReport {
  uint8_t receiverMode = 0;  // 0 auto, 1 single satellite, 3 2D, 4 3D, 7 overdetermined
  uint8_t decodingStatus = 0;
  uint16_t minorAlarms = 0;
  PositionReport position;
};

// 0x46 health: status code (0 doing fixes, 1 no GPS time, 3 PDOP too high, 8..11 0..3 usable
// satellites, 12 chosen satellite unusable, 0xBB time fix in overdetermined mode) and error
// bits. TSIPv1 A3-11 is mapped onto the same codes.
struct HealthReport {
  uint8_t statusCode = 0;
  uint8_t errorCode = 0;
};

// 0x4B machine id and additional status (bit 3 of status 1: almanac incomplete).
struct MachineStatusReport {
  uint8_t machineId = 0;
  uint8_t status1 = 0;
  uint8_t status2 = 0;
};

// Satellites one report can list (0x6C, 0x47): more than any receiver tracks at once.
constexpr std::size_t kMaxTsipSats = 64;

// 0x6D all-in-view selection (count in the upper nibble of byte 0, fix dimension in bits
// 0..2: 1/5 clock fix, 3 2D, 4 3D, 6 DGPS), 0x6C (the same with a count byte, for more than
// 15 satellites) and TSIPv1 A3-11 DOPs. dimension 0 = not stated.
struct SelectionReport {
  SelectionReport() {}  // user-provided: a new report is not zeroed first, prns stay as they are
  uint8_t dimension = 0;
  bool hasDops = false;
  double pdop = 0.0, hdop = 0.0, vdop = 0.0, tdop = 0.0;
  bool hasPrns = false;
  uint8_t count = 0;
  std::array<int16_t, kMaxTsipSats> prns;  // the first count (not cleared: parsed per frame)
};

// 0x47 signal levels: count, then (prn, level float) pairs.
struct SignalLevelsReport {
  SignalLevelsReport() {}  // user-provided, as SelectionReport's
  uint8_t count = 0;
  std::array<uint8_t, kMaxTsipSats> prns;  // the first count of each (not cleared)
  std::array<float, kMaxTsipSats> levels;
};

// 0x5C tracking status of one channel, 0x5D its multi-GNSS form; TSIPv1 A2-00 of one
// satellite. prn as the packet numbers it: TSIP classic numbers all systems in one range
// (system 0: tell by the number), A2-00 numbers within the system.
struct TrackingReport {
  uint8_t prn = 0;
  uint8_t channel = 0;
  bool acquired = false;
  bool usedInFix = false;  // A2-00 says so; for 0x5C it comes from 0x6D
  bool usedKnown = false;
  double signal = 0.0;      // AMU or dB-Hz as the receiver is set
  double gpsSeconds = 0.0;  // time of the last measurement, fractional
  bool hasAngles = false;
  double elevationDeg = 0.0, azimuthDeg = 0.0;
  std::optional<GnssSystem> system;  // none: tell by the number
  bool prnWithinSystem = false;
  bool burst = false;  // A2-00: one of a numbered burst listing every satellite of a measurement
};

// 0x82 differential position fix mode: 0 manual off, 1 manual on (DGPS fixes only), 2 auto
// off (no corrections now), 3 auto on (corrections in use).
struct DifferentialReport {
  uint8_t mode = 0;
  bool differentialInUse() const { return mode == 1 || mode == 3; }
};

// TSIPv1 A1-00 timing information: GPS week and time, UTC offset, time flags.
struct V1TimingReport {
  double gpsSeconds = 0.0;
  int week = 0;
  int utcOffsetSeconds = 0;
  bool timeValid = false;
  bool utcValid = false;
};

// TSIPv1 A1-11 position information: fix type (0 none, 1 2D, 2 3D), position, velocity
// (ENU unless the mask says ECEF), PDOP.
struct V1PositionReport {
  uint8_t fixType = 0;
  PositionReport position;
  bool velocityEnu = false;
  double east = 0.0, north = 0.0, up = 0.0;  // or X, Y, Z when not velocityEnu
  double pdop = 0.0;
};

// 0x55 I/O options: position byte (bit 0 ECEF, 1 LLA, 2 MSL heights, 4 double precision),
// velocity, timing (bit 0: times in UTC instead of GPS time) and auxiliary bytes.
struct IoOptionsReport {
  uint8_t position = 0, velocity = 0, timing = 0, auxiliary = 0;
  bool heightsAreMsl() const { return (position & 0x04) != 0; }
  bool utcTimes() const { return (timing & 0x01) != 0; }
};

// TSIPv1 A3-11 receiver status: the health code (mapped onto the 0x46 codes) and the DOPs.
struct V1StatusReport {
  HealthReport health;
  SelectionReport dops;
};

using TsipReport =
    std::variant<std::monostate, GpsTimeReport, PositionReport, VelocityReport, EcefVelocityReport,
                 SuperFixReport, TimingReport, TimingStatusReport, HealthReport,
                 MachineStatusReport, SelectionReport, SignalLevelsReport, TrackingReport,
                 DifferentialReport, V1TimingReport, V1PositionReport, V1StatusReport,
                 IoOptionsReport>;

// Parse options the receiver's configuration decides.
struct ParseOptions {
  bool heightsAreMsl = false;  // I/O options: LLA heights above mean sea level
};

// Checks and parses one frame. On anything but FrameCheck::Ok the report is monostate.
FrameCheck ParseFrame(std::span<const uint8_t> frame, const ParseOptions& options,
                      TsipReport& report);

}  // namespace navlib::tsip
