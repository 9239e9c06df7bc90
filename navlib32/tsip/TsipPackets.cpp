// TSIP frame checks and report parsers. Layouts follow the Trimble TSIP reference manuals
// (Lassen iQ, Copernicus, Resolution SMT for classic TSIP; ICM/RES 720 for TSIPv1); offsets
// below count from the first data byte, after the id (superpackets: the subcode is byte 0).
#include "navlib32/tsip/TsipPackets.h"

#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

#include "navlib32/tsip/Wgs84.h"

namespace navlib::tsip {

namespace {

constexpr double kDegPerRad = 180.0 / std::numbers::pi;
// 0x8F-20 angles are signed 32-bit fractions of a semicircle: 2^-31 semicircles per unit.
constexpr double kDegPerSemicircleUnit = 180.0 / 2147483648.0;

bool Fits(std::span<const uint8_t> data, std::size_t offset, std::size_t size) {
  return offset <= data.size() && size <= data.size() - offset;
}

// --- Classic parsers; d = data after the id -------------------------------------------

// 0x41: tow f32 @0, week i16 @4, UTC offset f32 @6.  10 41 <10 bytes> 10 03
bool Parse41(std::span<const uint8_t> d, const ParseOptions&, GpsTimeReport& r) {
  r.gpsSeconds = ReadBeF32(d, 0);
  r.week = ReadBeI16(d, 4);
  r.utcOffsetSeconds = ReadBeF32(d, 6);
  return true;
}

// 0x84: lat f64 @0, lon f64 @8 (radians), alt f64 @16, clock bias f64 @24, time f32 @32.
bool Parse84(std::span<const uint8_t> d, const ParseOptions& options, PositionReport& r) {
  r.source = 0x84;
  r.latitudeDeg = ReadBeF64(d, 0) * kDegPerRad;
  r.longitudeDeg = ReadBeF64(d, 8) * kDegPerRad;
  r.heightMetres = ReadBeF64(d, 16);
  r.heightIsMsl = options.heightsAreMsl;
  r.hasTime = true;
  r.gpsSeconds = ReadBeF32(d, 32);
  return true;
}

// 0x4A: lat f32 @0, lon f32 @4 (radians), alt f32 @8, clock bias f32 @12, time f32 @16.
bool Parse4A(std::span<const uint8_t> d, const ParseOptions& options, PositionReport& r) {
  r.source = 0x4A;
  r.latitudeDeg = ReadBeF32(d, 0) * kDegPerRad;
  r.longitudeDeg = ReadBeF32(d, 4) * kDegPerRad;
  r.heightMetres = ReadBeF32(d, 8);
  r.heightIsMsl = options.heightsAreMsl;
  r.hasTime = true;
  r.gpsSeconds = ReadBeF32(d, 16);
  return true;
}

PositionReport FromEcef(uint16_t source, const Ecef& ecef, double gpsSeconds) {
  const Lla lla = EcefToLla(ecef);
  PositionReport r;
  r.source = source;
  r.latitudeDeg = lla.latitudeDeg;
  r.longitudeDeg = lla.longitudeDeg;
  r.heightMetres = lla.ellipsoidHeightMetres;
  r.hasTime = true;
  r.gpsSeconds = gpsSeconds;
  return r;
}

// 0x83: X, Y, Z f64 @0/8/16, clock bias f64 @24, time f32 @32.
bool Parse83(std::span<const uint8_t> d, const ParseOptions&, PositionReport& r) {
  r = FromEcef(0x83, {ReadBeF64(d, 0), ReadBeF64(d, 8), ReadBeF64(d, 16)}, ReadBeF32(d, 32));
  return true;
}

// 0x42: X, Y, Z f32 @0/4/8, time f32 @12.
bool Parse42(std::span<const uint8_t> d, const ParseOptions&, PositionReport& r) {
  r = FromEcef(0x42, {ReadBeF32(d, 0), ReadBeF32(d, 4), ReadBeF32(d, 8)}, ReadBeF32(d, 12));
  return true;
}

// 0x56: east, north, up f32 @0/4/8, clock bias rate f32 @12, time f32 @16.
bool Parse56(std::span<const uint8_t> d, const ParseOptions&, VelocityReport& r) {
  r.east = ReadBeF32(d, 0);
  r.north = ReadBeF32(d, 4);
  r.up = ReadBeF32(d, 8);
  r.gpsSeconds = ReadBeF32(d, 16);
  return true;
}

// 0x8F-20: subcode @0, velocities i16 @2/4/6 (east, north, up; unit 0.005 m/s, or 0.020 with
// bit 0 of byte 24), tow u32 ms @8, lat i32 @12, lon u32 @16 (2^-31 semicircles), altitude
// i32 mm @20 (above the ellipsoid), fix flags @27 (bit 0 no fix, 1 DGPS, 2 2D), satellites
// @28, UTC offset @29, week u16 @30, then PRN/IODE pairs.
bool Parse8F20(std::span<const uint8_t> d, const ParseOptions&, SuperFixReport& r) {
  if (d.size() != 56 && d.size() != 64) return false;
  const double unit = (ReadU8(d, 24) & 0x01) ? 0.020 : 0.005;
  const int16_t ve = ReadBeI16(d, 2), vn = ReadBeI16(d, 4), vu = ReadBeI16(d, 6);
  constexpr int16_t kOverRange = INT16_MIN;
  r.velocityValid = ve != kOverRange && vn != kOverRange && vu != kOverRange;
  r.east = ve * unit;
  r.north = vn * unit;
  r.up = vu * unit;
  r.gpsSeconds = ReadBeU32(d, 8) / 1000.0;
  r.latitudeDeg = ReadBeI32(d, 12) * kDegPerSemicircleUnit;
  double lon = ReadBeU32(d, 16) * kDegPerSemicircleUnit;
  if (lon > 180.0) lon -= 360.0;
  r.longitudeDeg = lon;
  r.ellipsoidHeightMetres = ReadBeI32(d, 20) / 1000.0;
  const uint8_t flags = ReadU8(d, 27);
  r.fixAvailable = (flags & 0x01) == 0;
  r.differential = (flags & 0x02) != 0;
  r.twoD = (flags & 0x04) != 0;
  r.satellitesUsed = ReadU8(d, 28);
  r.utcOffsetSeconds = ReadU8(d, 29);
  r.week = ReadBeU16(d, 30);
  return true;
}

// 0x8F-23: subcode @0, tow u32 ms @1, week u16 @5, UTC offset @7, fix flags @8 (bit 0 no fix,
// 1 DGPS, 2 2D, 5 velocity unit 0.020 m/s instead of 0.005), lat i32 @9, lon u32 @13
// (2^-31 semicircles), altitude i32 mm @17 (above the ellipsoid), velocity E/N/U i16 @21..26.
bool Parse8F23(std::span<const uint8_t> d, const ParseOptions&, SuperFixReport& r) {
  const uint8_t flags = ReadU8(d, 8);
  const double unit = (flags & 0x20) ? 0.020 : 0.005;
  const int16_t ve = ReadBeI16(d, 21), vn = ReadBeI16(d, 23), vu = ReadBeI16(d, 25);
  constexpr int16_t kOverRange = INT16_MIN;
  r.velocityValid = ve != kOverRange && vn != kOverRange && vu != kOverRange;
  r.east = ve * unit;
  r.north = vn * unit;
  r.up = vu * unit;
  r.gpsSeconds = ReadBeU32(d, 1) / 1000.0;
  r.week = ReadBeU16(d, 5);
  r.utcOffsetSeconds = ReadU8(d, 7);
  r.fixAvailable = (flags & 0x01) == 0;
  r.differential = (flags & 0x02) != 0;
  r.twoD = (flags & 0x04) != 0;
  r.latitudeDeg = ReadBeI32(d, 9) * kDegPerSemicircleUnit;
  double lon = ReadBeU32(d, 13) * kDegPerSemicircleUnit;
  if (lon > 180.0) lon -= 360.0;
  r.longitudeDeg = lon;
  r.ellipsoidHeightMetres = ReadBeI32(d, 17) / 1000.0;
  return true;
}

// 0x8F-AB: subcode @0, tow u32 s @1, week u16 @5, UTC offset i16 @7, flags @9, then the
// broken-down time (s, min, h, day, month, year u16).
bool Parse8FAB(std::span<const uint8_t> d, const ParseOptions&, TimingReport& r) {
  r.gpsSeconds = ReadBeU32(d, 1);
  r.week = ReadBeU16(d, 5);
  r.utcOffsetSeconds = ReadBeI16(d, 7);
  r.flags = ReadU8(d, 9);
  r.timeValid = (r.flags & 0x14) == 0;  // time set, not in test mode
  r.utcOffsetValid = (r.flags & 0x08) == 0;
  r.utcTime = (r.flags & 0x01) != 0;
  return true;
}

// 0x8F-AC: subcode @0, receiver mode @1, disciplining mode @2, survey progress @3, holdover
// u32 @4, critical alarms u16 @8, minor alarms u16 @10, decoding status @12, ..., lat f64 @36,
// lon f64 @44 (radians), alt f64 @52 (above the ellipsoid), reserved to 68.
bool Parse8FAC(std::span<const uint8_t> d, const ParseOptions&, TimingStatusReport& r) {
  r.receiverMode = ReadU8(d, 1);
  r.minorAlarms = ReadBeU16(d, 10);
  r.decodingStatus = ReadU8(d, 12);
  r.position.source = 0x8FAC;
  r.position.latitudeDeg = ReadBeF64(d, 36) * kDegPerRad;
  r.position.longitudeDeg = ReadBeF64(d, 44) * kDegPerRad;
  r.position.heightMetres = ReadBeF64(d, 52);
  return true;
}

// 0x6D: dimension/count @0, PDOP, HDOP, VDOP, TDOP f32 @1/5/9/13, PRNs i8 from @17 (a
// negative PRN marks a satellite the receiver dropped as unhealthy).
bool Parse6D(std::span<const uint8_t> d, const ParseOptions&, SelectionReport& r) {
  if (d.size() != 17u + (d[0] >> 4)) return false;
  r.dimension = ReadU8(d, 0) & 0x07;
  r.hasDops = true;
  r.pdop = ReadBeF32(d, 1);
  r.hdop = ReadBeF32(d, 5);
  r.vdop = ReadBeF32(d, 9);
  r.tdop = ReadBeF32(d, 13);
  r.hasPrns = true;
  r.count = static_cast<uint8_t>(ReadU8(d, 0) >> 4);
  for (std::size_t i = 0; i < r.count; ++i) {
    r.prns[i] = static_cast<int8_t>(ReadU8(d, 17 + i));
  }
  return true;
}

// 0x6C: dimension @0, PDOP, HDOP, VDOP, TDOP f32 @1/5/9/13, count @17, PRNs i8 from @18.
bool Parse6C(std::span<const uint8_t> d, const ParseOptions&, SelectionReport& r) {
  if (d.size() != 18u + d[17]) return false;
  r.dimension = ReadU8(d, 0) & 0x07;
  r.hasDops = true;
  r.pdop = ReadBeF32(d, 1);
  r.hdop = ReadBeF32(d, 5);
  r.vdop = ReadBeF32(d, 9);
  r.tdop = ReadBeF32(d, 13);
  r.hasPrns = true;
  const std::size_t count = ReadU8(d, 17);
  r.count = static_cast<uint8_t>(count < kMaxTsipSats ? count : kMaxTsipSats);
  for (std::size_t i = 0; i < r.count; ++i) {
    r.prns[i] = static_cast<int8_t>(ReadU8(d, 18 + i));
  }
  return true;
}

// 0x47: count @0, then per satellite PRN u8 and level f32.
bool Parse47(std::span<const uint8_t> d, const ParseOptions&, SignalLevelsReport& r) {
  if (d.size() != 1u + 5u * d[0]) return false;
  r.count = ReadU8(d, 0);
  for (std::size_t i = 0; i < r.count; ++i) {
    r.prns[i] = ReadU8(d, 1 + 5 * i);
    r.levels[i] = ReadBeF32(d, 2 + 5 * i);
  }
  return true;
}

// 0x5C: PRN @0, slot/channel @1 (channel in bits 3..7), acquisition flag @2, ephemeris flag
// @3, signal f32 @4, time of last measurement f32 @8, elevation f32 @12, azimuth f32 @16
// (radians), old measurement flag @20, ...
bool Parse5C(std::span<const uint8_t> d, const ParseOptions&, TrackingReport& r) {
  r.prn = ReadU8(d, 0);
  r.channel = static_cast<uint8_t>(ReadU8(d, 1) >> 3);
  r.acquired = ReadU8(d, 2) == 1;
  r.signal = ReadBeF32(d, 4);
  r.gpsSeconds = ReadBeF32(d, 8);
  r.elevationDeg = ReadBeF32(d, 12) * kDegPerRad;
  r.azimuthDeg = ReadBeF32(d, 16) * kDegPerRad;
  r.hasAngles = true;
  return true;
}

// 0x5D: PRN @0, channel @1, acquisition flag @2, used in the fix @3, signal f32 @4, time of
// last measurement f32 @8, elevation f32 @12, azimuth f32 @16 (radians), flags @20..24, SV
// type @25 (0 GPS, 1 GLONASS, 2 BeiDou, 3 Galileo, 5 QZSS).
bool Parse5D(std::span<const uint8_t> d, const ParseOptions&, TrackingReport& r) {
  r.prn = ReadU8(d, 0);
  r.channel = ReadU8(d, 1);
  r.acquired = ReadU8(d, 2) == 1;
  r.usedInFix = ReadU8(d, 3) != 0;
  r.usedKnown = true;
  r.signal = ReadBeF32(d, 4);
  r.gpsSeconds = ReadBeF32(d, 8);
  r.elevationDeg = ReadBeF32(d, 12) * kDegPerRad;
  r.azimuthDeg = ReadBeF32(d, 16) * kDegPerRad;
  r.hasAngles = true;
  switch (ReadU8(d, 25)) {
    case 1:
      r.system = GnssSystem::Glonass;
      break;
    case 2:
      r.system = GnssSystem::Beidou;
      break;
    case 3:
      r.system = GnssSystem::Galileo;
      break;
    case 5:
      r.system = GnssSystem::Qzss;
      break;
    default:
      break;  // GPS or SBAS: by number
  }
  return true;
}

// 0x43: X, Y, Z f32 @0/4/8, clock bias rate f32 @12, time f32 @16.
bool Parse43(std::span<const uint8_t> d, const ParseOptions&, EcefVelocityReport& r) {
  r = EcefVelocityReport{ReadBeF32(d, 0), ReadBeF32(d, 4), ReadBeF32(d, 8), ReadBeF32(d, 16)};
  return true;
}

// 0x46: status code @0, error bits @1.
bool Parse46(std::span<const uint8_t> d, const ParseOptions&, HealthReport& r) {
  r = HealthReport{ReadU8(d, 0), ReadU8(d, 1)};
  return true;
}

// 0x4B: machine id @0, status 1 @1, status 2 @2.
bool Parse4B(std::span<const uint8_t> d, const ParseOptions&, MachineStatusReport& r) {
  r = MachineStatusReport{ReadU8(d, 0), ReadU8(d, 1), ReadU8(d, 2)};
  return true;
}

// 0x55: position, velocity, timing and auxiliary option bytes.
bool Parse55(std::span<const uint8_t> d, const ParseOptions&, IoOptionsReport& r) {
  r = IoOptionsReport{ReadU8(d, 0), ReadU8(d, 1), ReadU8(d, 2), ReadU8(d, 3)};
  return true;
}

// 0x82: differential mode @0.
bool Parse82(std::span<const uint8_t> d, const ParseOptions&, DifferentialReport& r) {
  r = DifferentialReport{ReadU8(d, 0)};
  return true;
}

// --- TSIPv1 parsers; d = data after the mode byte -----------------------------------------

// A1-00: tow u32 @0, week u16 @4, h m s @6..8, month day @9..10, year u16 @11,
// time base @13, PPS base @14, flags @15 (bit 0 UTC valid, bit 1 time valid), UTC offset i16
// @16, ...
bool ParseA100(std::span<const uint8_t> d, const ParseOptions&, V1TimingReport& r) {
  r.gpsSeconds = ReadBeU32(d, 0);
  r.week = ReadBeU16(d, 4);
  const uint8_t flags = ReadU8(d, 15);
  r.utcValid = (flags & 0x01) != 0;
  r.timeValid = (flags & 0x02) != 0;
  r.utcOffsetSeconds = ReadBeI16(d, 16);
  return true;
}

// A1-11: position mask @0 (bit 1 ECEF, bit 2 MSL, bit 3 velocity ECEF), fix type @1, lat/X
// f64 @2, lon/Y f64 @10 (degrees), alt/Z f64 @18, velocity f32 @26/30/34, PDOP f32 @38, ...
bool ParseA111(std::span<const uint8_t> d, const ParseOptions&, V1PositionReport& r) {
  const uint8_t mask = ReadU8(d, 0);
  r.fixType = ReadU8(d, 1);
  const double a = ReadBeF64(d, 2), b = ReadBeF64(d, 10), c = ReadBeF64(d, 18);
  if (mask & 0x02) {
    r.position = FromEcef(0xA111, {a, b, c}, 0.0);
    r.position.hasTime = false;
  } else {
    r.position.source = 0xA111;
    r.position.latitudeDeg = a;
    r.position.longitudeDeg = b;
    r.position.heightMetres = c;
    r.position.heightIsMsl = (mask & 0x04) != 0;
  }
  r.velocityEnu = (mask & 0x08) == 0;
  r.east = ReadBeF32(d, 26);
  r.north = ReadBeF32(d, 30);
  r.up = ReadBeF32(d, 34);
  r.pdop = ReadBeF32(d, 38);
  return true;
}

// A2-00: message number @0, SV type @1, PRN @2, azimuth f32 @3, elevation f32 @7 (degrees),
// signal f32 @11 (dB-Hz), flags u32 @15 (bit 0 acquired, 1 used in position, 2 used in PPS),
// time of week u32 @19.
bool ParseA200(std::span<const uint8_t> d, const ParseOptions&, TrackingReport& r) {
  r.channel = ReadU8(d, 0);
  const uint8_t svType = ReadU8(d, 1);
  r.prn = ReadU8(d, 2);
  r.azimuthDeg = ReadBeF32(d, 3);
  r.elevationDeg = ReadBeF32(d, 7);
  r.signal = ReadBeF32(d, 11);
  const uint32_t flags = ReadBeU32(d, 15);
  r.acquired = (flags & 0x01) != 0;
  r.hasAngles = r.acquired;
  r.usedInFix = (flags & 0x06) != 0;
  r.usedKnown = true;
  r.gpsSeconds = ReadBeU32(d, 19);
  r.prnWithinSystem = true;
  r.burst = true;
  // SV types: 1..3 GPS, 5..6 GLONASS, 9 SBAS, 13..15 BeiDou, 17..20 Galileo, 22..24 QZSS
  if (svType >= 1 && svType <= 3) {
    r.system = GnssSystem::Gps;
  } else if (svType >= 5 && svType <= 6) {
    r.system = GnssSystem::Glonass;
  } else if (svType == 9) {
    r.system = GnssSystem::Sbas;
  } else if (svType >= 13 && svType <= 15) {
    r.system = GnssSystem::Beidou;
  } else if (svType >= 17 && svType <= 20) {
    r.system = GnssSystem::Galileo;
  } else if (svType >= 22 && svType <= 24) {
    r.system = GnssSystem::Qzss;
  }
  return true;
}

// A3-11: receiver mode @0, status @1 (0 doing fixes, 1 no GPS time, 2 PDOP too high, 3..6
// 0..3 usable satellites, 0xFF overdetermined time fix), survey progress @2, PDOP, HDOP,
// VDOP, TDOP f32 @3/7/11/15, temperature f32 @19.
bool ParseA311(std::span<const uint8_t> d, const ParseOptions&, V1StatusReport& r) {
  const uint8_t status = ReadU8(d, 1);
  // onto the classic 0x46 codes
  constexpr uint8_t kClassic[] = {0x00, 0x01, 0x03, 0x08, 0x09, 0x0A, 0x0B};
  r.health.statusCode = status < std::size(kClassic) ? kClassic[status] : 0xBB;
  r.dops.hasDops = true;
  r.dops.pdop = ReadBeF32(d, 3);
  r.dops.hdop = ReadBeF32(d, 7);
  r.dops.vdop = ReadBeF32(d, 11);
  r.dops.tdop = ReadBeF32(d, 15);
  return true;
}

// --- The packets decoded here ---------------------------------------------------------

using Parser = bool (*)(std::span<const uint8_t> data, const ParseOptions& options,
                        TsipReport& report);

// The report type a parser fills.
template <typename F>
struct ParsedReport;
template <typename R>
struct ParsedReport<bool (*)(std::span<const uint8_t>, const ParseOptions&, R&)> {
  using type = R;
};

// Any parser above as a table entry: it fills its report in place and may refuse the data (a
// count that disagrees with the length).
template <auto Parse>
bool Entry(std::span<const uint8_t> data, const ParseOptions& options, TsipReport& report) {
  using Report = typename ParsedReport<decltype(Parse)>::type;
  return Parse(data, options, report.template emplace<Report>());
}

constexpr uint16_t kAnyLength = 0xFFFF;

// One row per packet: id, subcode (-1: none), bounds of the data length and the parser.
// Classic packets: data after the id (superpackets: the subcode is its byte 0); lengths are
// exact unless the bounds differ, and packets with a count are checked against it by their
// parser. 0x83 and 0x8F-23 are also taken with a few bytes after the documented fields
// (receivers are reported to pad them); the fields read stay within the minimum. TSIPv1 (ids
// 0x90..0xA3): data after the mode byte, up to the checksum.
struct PacketRule {
  uint8_t id;
  int16_t subcode;
  uint16_t minLength;
  uint16_t maxLength;
  Parser parse;
};

constexpr PacketRule kPackets[] = {
    {0x41, -1, 10, 10, Entry<Parse41>},                   // GPS time
    {0x42, -1, 16, 16, Entry<Parse42>},                   // single-precision ECEF position
    {0x43, -1, 20, 20, Entry<Parse43>},                   // velocity ECEF
    {0x46, -1, 2, 2, Entry<Parse46>},                     // health
    {0x47, -1, 1, 1 + 5 * kMaxTsipSats, Entry<Parse47>},  // signal levels: 1 + 5 per sat
    {0x4A, -1, 20, 20, Entry<Parse4A>},                   // single-precision LLA position
    {0x4B, -1, 3, 3, Entry<Parse4B>},                     // machine id and status
    {0x55, -1, 4, 4, Entry<Parse55>},                     // I/O options
    {0x56, -1, 20, 20, Entry<Parse56>},                   // velocity ENU
    {0x5C, -1, 24, 24, Entry<Parse5C>},                   // satellite tracking status
    {0x5D, -1, 26, 26, Entry<Parse5D>},                   // multi-GNSS tracking status
    {0x6C, -1, 18, 18 + kMaxTsipSats, Entry<Parse6C>},    // selection: 18 + 1 per sat
    {0x6D, -1, 17, 17 + 15, Entry<Parse6D>},              // all-in-view: 17 + 1 per sat
    {0x82, -1, 1, 1, Entry<Parse82>},                     // differential fix mode
    {0x83, -1, 36, 44, Entry<Parse83>},                   // double-precision ECEF position
    {0x84, -1, 36, 36, Entry<Parse84>},                   // double-precision LLA position
    {0x8F, 0x20, 56, 64, Entry<Parse8F20>},               // last fix with extra information
    {0x8F, 0x23, 29, 40, Entry<Parse8F23>},               // compact superpacket
    {0x8F, 0xAB, 17, 17, Entry<Parse8FAB>},               // primary timing
    {0x8F, 0xAC, 68, 68, Entry<Parse8FAC>},               // supplemental timing
    {0xA1, 0x00, 30, kAnyLength, Entry<ParseA100>},       // TSIPv1 timing information
    {0xA1, 0x11, 50, kAnyLength, Entry<ParseA111>},       // TSIPv1 position information
    {0xA2, 0x00, 23, kAnyLength, Entry<ParseA200>},       // TSIPv1 satellite information
    {0xA3, 0x11, 23, kAnyLength, Entry<ParseA311>},       // TSIPv1 receiver status
};

// The first row of each id (rows of one id follow each other); -1 for an id without one.
constexpr std::array<int8_t, 256> MakeFirstRows() {
  std::array<int8_t, 256> first{};
  first.fill(-1);
  for (int i = static_cast<int>(std::size(kPackets)) - 1; i >= 0; --i)
    first[kPackets[i].id] = static_cast<int8_t>(i);
  return first;
}
constexpr std::array<int8_t, 256> kFirstRow = MakeFirstRows();

const PacketRule* FindRule(uint8_t id, int subcode) {
  const int first = kFirstRow[id];
  if (first < 0) return nullptr;
  const PacketRule* rule = &kPackets[first];
  if (rule->subcode == subcode) return rule;  // the only row of an id without subcodes
  for (const PacketRule* const end = std::end(kPackets); ++rule != end && rule->id == id;) {
    if (rule->subcode == subcode) return rule;
  }
  return nullptr;
}

constexpr std::size_t kV1HeaderBytes = 4;  // id, subcode, 2 length bytes
constexpr uint8_t kV1ModeReport = 2;

// The TSIPv1 envelope: length field, checksum and mode. On Ok, data is what follows the mode
// byte, up to the checksum.
FrameCheck CheckV1(std::span<const uint8_t> frame, std::span<const uint8_t>& data) {
  // id, subcode, length, mode and checksum at the least
  if (frame.size() < kV1HeaderBytes + 2) return FrameCheck::BadLength;
  const std::size_t lengthField = ReadBeU16(frame, 2);
  if (frame.size() != kV1HeaderBytes + lengthField) return FrameCheck::BadLength;
  uint8_t sum = 0;
  for (uint8_t b : frame)
    sum ^= b;
  if (sum != 0) return FrameCheck::BadChecksum;
  data = frame.subspan(kV1HeaderBytes + 1, frame.size() - kV1HeaderBytes - 2);
  return FrameCheck::Ok;
}

}  // namespace

uint8_t ReadU8(std::span<const uint8_t> data, std::size_t offset) {
  return Fits(data, offset, 1) ? data[offset] : 0;
}

namespace {

// A value with its bytes in the other order; compilers make each one instruction.
constexpr uint16_t Reversed(uint16_t v) {
  return static_cast<uint16_t>((v >> 8) | (v << 8));
}
constexpr uint32_t Reversed(uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0x0000FF00u) | ((v << 8) & 0x00FF0000u) | (v << 24);
}
constexpr uint64_t Reversed(uint64_t v) {
  return uint64_t{Reversed(static_cast<uint32_t>(v))} << 32 |
         Reversed(static_cast<uint32_t>(v >> 32));
}

// The big-endian unsigned value of sizeof(T) bytes at offset; 0 when they do not fit. One load
// of the whole value, its bytes reversed on a little-endian machine.
template <typename T>
T ReadBe(std::span<const uint8_t> data, std::size_t offset) {
  if (!Fits(data, offset, sizeof(T))) return 0;
  T v;
  std::memcpy(&v, data.data() + offset, sizeof v);
  if constexpr (std::endian::native == std::endian::little) v = Reversed(v);
  return v;
}

}  // namespace

uint16_t ReadBeU16(std::span<const uint8_t> data, std::size_t offset) {
  return ReadBe<uint16_t>(data, offset);
}

int16_t ReadBeI16(std::span<const uint8_t> data, std::size_t offset) {
  return std::bit_cast<int16_t>(ReadBeU16(data, offset));
}

uint32_t ReadBeU32(std::span<const uint8_t> data, std::size_t offset) {
  return ReadBe<uint32_t>(data, offset);
}

int32_t ReadBeI32(std::span<const uint8_t> data, std::size_t offset) {
  return std::bit_cast<int32_t>(ReadBeU32(data, offset));
}

uint64_t ReadBeU64(std::span<const uint8_t> data, std::size_t offset) {
  return ReadBe<uint64_t>(data, offset);
}

float ReadBeF32(std::span<const uint8_t> data, std::size_t offset) {
  return std::bit_cast<float>(ReadBeU32(data, offset));
}

double ReadBeF64(std::span<const uint8_t> data, std::size_t offset) {
  return std::bit_cast<double>(ReadBeU64(data, offset));
}

FrameCheck ParseFrame(std::span<const uint8_t> frame, const ParseOptions& options,
                      TsipReport& report) {
  report = std::monostate{};
  if (frame.empty()) return FrameCheck::BadLength;
  const uint8_t id = frame[0];
  std::span<const uint8_t> data = frame.subspan(1);
  int subcode = -1;
  if (IsTsipV1Id(id)) {
    const FrameCheck envelope = CheckV1(frame, data);
    if (envelope != FrameCheck::Ok) return envelope;
    subcode = frame[1];
  } else if (id == 0x8F && !data.empty()) {
    subcode = data[0];
  }
  const PacketRule* rule = FindRule(id, subcode);
  if (rule == nullptr) return FrameCheck::Unknown;
  if (IsTsipV1Id(id) && frame[4] != kV1ModeReport) return FrameCheck::NotReport;
  if (data.size() < rule->minLength || data.size() > rule->maxLength) return FrameCheck::BadLength;
  if (!rule->parse(data, options, report)) {
    report = std::monostate{};
    return FrameCheck::BadLength;
  }
  return FrameCheck::Ok;
}

FrameCheck CheckFrame(std::span<const uint8_t> frame) {
  TsipReport report;
  return ParseFrame(frame, {}, report);
}

}  // namespace navlib::tsip
