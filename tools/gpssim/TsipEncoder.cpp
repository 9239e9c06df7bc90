// Trimble TSIP reports for one simulated epoch: 0x41 GPS time, 0x46 health, 0x4B machine status,
// 0x6D (0x6C with several systems) fix mode and DOPs, 0x84 double-precision LLA, 0x56 ENU
// velocity, 0x8F-20 fix with velocity, and one 0x5C (0x5D) tracking report per satellite in
// view. Multi-byte fields are big-endian
// IEEE values; heights are above the WGS-84 ellipsoid.
#include <cmath>
#include <vector>

#include "navlib32/tsip/TsipWriter.h"
#include "tools/gpssim/Simulator.h"

namespace gpssim {
namespace {

using navlib::tsip::TsipWriter;

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;
constexpr int64_t kGpsEpochUnix = 315964800;  // 1980-01-06 00:00:00 UTC
constexpr int64_t kSecondsPerWeek = 604800;

// The number a TSIP receiver gives a satellite in its one-byte range: GPS and GLONASS as they
// are, Galileo 97 and up, BeiDou 201 and up.
int TsipNumber(const SimSat& s) {
  switch (s.system) {
    case System::Galileo:
      return 96 + s.prn;
    case System::Beidou:
      return 200 + s.prn;
    default:
      return s.prn;
  }
}

bool MultiGnss(const Epoch& e) {
  for (const SimSat& s : e.sats)
    if (s.system != System::Gps) return true;
  return false;
}

// The time and status reports: 0x41 GPS time (time of week, extended week, UTC offset), 0x46
// health (0x00 doing fixes, 0x08 no usable satellites), 0x4B machine status (status 2 bit 0:
// superpackets) and the satellite selection with the four DOPs: 0x6D (dimension 3 = 2D, 4 = 3D
// and the count, up to 15 PRNs) for GPS alone, else 0x6C with a count byte. 0x6C lists the GPS
// and GLONASS satellites used: the numbers of the others clash with SBAS in the one-byte range,
// and 0x5D flags them used.
void AppendStatus(const Epoch& e, double tow, int week, int leapSeconds, std::string& out) {
  const bool fix = e.fixMode >= 2;
  const bool multi = MultiGnss(e);
  TsipWriter(0x41)
      .PutBeF32(tow)
      .PutBeU16(static_cast<uint16_t>(week))
      .PutBeF32(leapSeconds)
      .AppendFrame(out);
  TsipWriter(0x46).PutU8(fix ? 0x00 : 0x08).PutU8(0x00).AppendFrame(out);
  TsipWriter(0x4B).PutU8(0x5A).PutU8(0x00).PutU8(0x01).AppendFrame(out);
  std::vector<int> prns;
  for (const SimSat& s : e.sats) {
    const bool listable = s.system == System::Gps || s.system == System::Glonass;
    if (s.used && listable && prns.size() < (multi ? 32u : 15u)) prns.push_back(TsipNumber(s));
  }
  const int dimension = e.fixMode == 3 ? 4 : 3;
  TsipWriter selection(multi ? 0x6C : 0x6D);
  selection.PutU8(static_cast<unsigned>(multi ? dimension : dimension | (prns.size() << 4)));
  selection.PutBeF32(e.pdop).PutBeF32(e.hdop).PutBeF32(e.vdop).PutBeF32(e.tdop);
  if (multi) selection.PutU8(static_cast<unsigned>(prns.size()));
  for (int prn : prns)
    selection.PutU8(static_cast<unsigned>(prn));
  selection.AppendFrame(out);
}

// 0x8F-20 last fix with extra information, in fixed point: velocities in 0.005 m/s (0.020 when
// fast), time of week in ms, latitude and longitude in 2^-31 semicircles, height in mm, the fix
// flags, satellites, UTC offset and week, then the PRNs and IODEs of up to twelve used
// satellites: 56 bytes in all.
void AppendSuperFix(const Epoch& e, double tow, int week, int leapSeconds, std::string& out) {
  const bool coarse = e.speedMps > 160.0;
  const double velUnit = coarse ? 0.020 : 0.005;   // m/s per count
  const double semicircle = 2147483648.0 / 180.0;  // 2^31 counts per 180 degrees
  const double lon = e.longitudeDeg < 0 ? e.longitudeDeg + 360.0 : e.longitudeDeg;
  int used = 0;
  for (const SimSat& s : e.sats)
    used += s.used ? 1 : 0;
  TsipWriter w(0x8F);
  w.PutU8(0x20).PutU8(0x00);  // subcode, key byte
  w.PutBeI16(static_cast<int16_t>(std::lround(e.eastMps / velUnit)));
  w.PutBeI16(static_cast<int16_t>(std::lround(e.northMps / velUnit)));
  w.PutBeI16(static_cast<int16_t>(std::lround(e.upMps / velUnit)));
  w.PutBeU32(static_cast<uint32_t>(tow * 1000.0));
  w.PutBeI32(static_cast<int32_t>(std::llround(e.latitudeDeg * semicircle)));
  w.PutBeU32(static_cast<uint32_t>(std::llround(lon * semicircle) & 0xFFFFFFFFLL));
  w.PutBeI32(static_cast<int32_t>(std::llround(e.ellipsoidHeightMetres * 1000.0)));
  w.PutU8(coarse ? 1 : 0);                // velocity scaling
  w.PutU8(0x00);                          // reserved
  w.PutU8(0x00);                          // datum: WGS-84
  w.PutU8(e.fixMode == 2 ? 0x04 : 0x00);  // fix flags: bit 2 two-dimensional
  w.PutU8(static_cast<unsigned>(used < 12 ? used : 12));
  w.PutU8(static_cast<unsigned>(leapSeconds));
  w.PutBeU16(static_cast<uint16_t>(week));
  int listed = 0;
  for (const SimSat& s : e.sats) {
    if (!s.used || listed == 12) continue;
    w.PutU8(s.prn);
    ++listed;
  }
  w.PutZeros(12 - listed);
  for (int i = 0; i < 12; ++i)
    w.PutU8(i < listed ? 0x2A : 0x00);  // IODEs
  w.AppendFrame(out);
}

// The fix: 0x84 double-precision LLA (radians, height, clock bias, time of fix), 0x56 ENU
// velocity (clock bias rate, time of fix) and 0x8F-20.
void AppendFix(const Epoch& e, double tow, int week, int leapSeconds, std::string& out) {
  TsipWriter(0x84)
      .PutBeF64(e.latitudeDeg * kDegToRad)
      .PutBeF64(e.longitudeDeg * kDegToRad)
      .PutBeF64(e.ellipsoidHeightMetres)
      .PutBeF64(12.5)
      .PutBeF32(tow)
      .AppendFrame(out);
  TsipWriter(0x56)
      .PutBeF32(e.eastMps)
      .PutBeF32(e.northMps)
      .PutBeF32(e.upMps)
      .PutBeF32(0.02)
      .PutBeF32(tow)
      .AppendFrame(out);
  AppendSuperFix(e, tow, week, leapSeconds, out);
}

// Tracking status, one report per satellite in view: 0x5C for GPS alone (PRN, channel,
// acquired, ephemeris, signal, time of measurement, elevation and azimuth in radians, four
// flags), 0x5D for several systems (the same with the used flag and the SV type).
void AppendTracking(const Epoch& e, double tow, std::string& out) {
  const bool multi = MultiGnss(e);
  int channel = 0;
  for (const SimSat& s : e.sats) {
    if (multi) {
      const unsigned svType = s.system == System::Glonass   ? 1
                              : s.system == System::Beidou  ? 2
                              : s.system == System::Galileo ? 3
                                                            : 0;
      TsipWriter(0x5D)
          .PutU8(static_cast<unsigned>(TsipNumber(s)))
          .PutU8(static_cast<unsigned>(channel++))
          .PutU8(s.snrDbHz > 0 ? 1 : 0)
          .PutU8(s.used ? 1 : 0)
          .PutBeF32(s.snrDbHz)
          .PutBeF32(tow)
          .PutBeF32(s.elevationDeg * kDegToRad)
          .PutBeF32(s.azimuthDeg * kDegToRad)
          .PutZeros(5)
          .PutU8(svType)
          .AppendFrame(out);
      continue;
    }
    TsipWriter(0x5C)
        .PutU8(s.prn)
        .PutU8(static_cast<unsigned>((channel++ & 0x1F) << 3))
        .PutU8(s.snrDbHz > 0 ? 1 : 0)  // acquisition: 1 acquired
        .PutU8(s.used ? 1 : 0)         // ephemeris: 1 good
        .PutBeF32(s.snrDbHz)
        .PutBeF32(tow)
        .PutBeF32(s.elevationDeg * kDegToRad)
        .PutBeF32(s.azimuthDeg * kDegToRad)
        .PutU8(0)  // old measurement
        .PutU8(2)  // integer msec: known from subframe
        .PutU8(0)  // bad data
        .PutU8(0)  // data collection
        .AppendFrame(out);
  }
}

}  // namespace

std::string EncodeTsip(const Epoch& e, int leapSeconds) {
  const int64_t gps = e.unixSeconds - kGpsEpochUnix + leapSeconds;
  const int week = static_cast<int>(gps / kSecondsPerWeek);
  const double tow = static_cast<double>(gps % kSecondsPerWeek);
  std::string out;
  AppendStatus(e, tow, week, leapSeconds, out);
  if (e.fixMode >= 2) AppendFix(e, tow, week, leapSeconds, out);
  AppendTracking(e, tow, out);
  return out;
}

}  // namespace gpssim
