// Trimble TSIP reports for one simulated epoch: 0x41 GPS time, 0x46 health, 0x4B machine status,
// 0x6D fix mode and DOPs, 0x84 double-precision LLA, 0x56 ENU velocity, 0x8F-20 fix with
// velocity, and one 0x5C tracking report per satellite in view. Multi-byte fields are big-endian
// IEEE values; heights are above the WGS-84 ellipsoid.
#include <bit>
#include <cmath>

#include "tools/gpssim/Simulator.h"

namespace gpssim {
namespace {

constexpr uint8_t kDle = 0x10;
constexpr uint8_t kEtx = 0x03;
constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;
constexpr int64_t kGpsEpochUnix = 315964800;  // 1980-01-06 00:00:00 UTC
constexpr int64_t kSecondsPerWeek = 604800;

void PutU8(std::string& s, uint32_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
}
void PutU16(std::string& s, uint32_t v) {
  PutU8(s, v >> 8);
  PutU8(s, v);
}
void PutU32(std::string& s, uint32_t v) {
  PutU16(s, v >> 16);
  PutU16(s, v);
}
void PutF32(std::string& s, double v) {
  PutU32(s, std::bit_cast<uint32_t>(static_cast<float>(v)));
}
void PutF64(std::string& s, double v) {
  const uint64_t bits = std::bit_cast<uint64_t>(v);
  PutU32(s, static_cast<uint32_t>(bits >> 32));
  PutU32(s, static_cast<uint32_t>(bits));
}

}  // namespace

std::string TsipFrame(uint8_t id, const std::string& payload) {
  std::string out;
  out.push_back(static_cast<char>(kDle));
  out.push_back(static_cast<char>(id));
  for (char c : payload) {
    out.push_back(c);
    if (static_cast<uint8_t>(c) == kDle) out.push_back(c);
  }
  out.push_back(static_cast<char>(kDle));
  out.push_back(static_cast<char>(kEtx));
  return out;
}

std::string EncodeTsip(const Epoch& e, int leapSeconds) {
  const int64_t gps = e.unixSeconds - kGpsEpochUnix + leapSeconds;
  const int week = static_cast<int>(gps / kSecondsPerWeek);
  const double tow = static_cast<double>(gps % kSecondsPerWeek);
  const bool fix = e.fixMode >= 2;
  std::string out, p;

  // 0x41 GPS time: time of week (s), extended week number, UTC offset (s).
  PutF32(p, tow);
  PutU16(p, static_cast<uint16_t>(week));
  PutF32(p, leapSeconds);
  out += TsipFrame(0x41, p);

  // 0x46 health: status 0x00 doing fixes (0x08 no usable satellites), error bits 0.
  p.clear();
  PutU8(p, fix ? 0x00 : 0x08);
  PutU8(p, 0x00);
  out += TsipFrame(0x46, p);

  // 0x4B machine code/status: machine id, status 1 (no alarms), status 2 bit 0 superpackets.
  p.clear();
  PutU8(p, 0x5A);
  PutU8(p, 0x00);
  PutU8(p, 0x01);
  out += TsipFrame(0x4B, p);

  // 0x6D all-in-view: mode (bits 0-2 dimension 3 = 2D, 4 = 3D; bits 4-7 count), four DOPs, PRNs.
  p.clear();
  int used = 0;
  std::string prns;
  for (const SimSat& s : e.sats)
    if (s.used && used < 15) {
      PutU8(prns, s.prn);
      ++used;
    }
  const int dimension = e.fixMode == 3 ? 4 : 3;
  PutU8(p, static_cast<uint32_t>(dimension | (used << 4)));
  PutF32(p, e.pdop);
  PutF32(p, e.hdop);
  PutF32(p, e.vdop);
  PutF32(p, e.tdop);
  p += prns;
  out += TsipFrame(0x6D, p);

  if (fix) {
    // 0x84 double-precision LLA: latitude and longitude (radians), height (m), clock bias (m),
    // time of fix (GPS seconds of week).
    p.clear();
    PutF64(p, e.latitudeDeg * kDegToRad);
    PutF64(p, e.longitudeDeg * kDegToRad);
    PutF64(p, e.ellipsoidHeightMetres);
    PutF64(p, 12.5);
    PutF32(p, tow);
    out += TsipFrame(0x84, p);

    // 0x56 ENU velocity (m/s), clock bias rate (m/s), time of fix.
    p.clear();
    PutF32(p, e.eastMps);
    PutF32(p, e.northMps);
    PutF32(p, e.upMps);
    PutF32(p, 0.02);
    PutF32(p, tow);
    out += TsipFrame(0x56, p);

    // 0x8F-20 last fix with extra information (fixed point).
    p.clear();
    PutU8(p, 0x20);
    PutU8(p, 0x00);  // key byte
    const bool coarse = e.speedMps > 160.0;
    const double velUnit = coarse ? 0.020 : 0.005;  // m/s per count
    PutU16(p, static_cast<uint16_t>(static_cast<int16_t>(std::lround(e.eastMps / velUnit))));
    PutU16(p, static_cast<uint16_t>(static_cast<int16_t>(std::lround(e.northMps / velUnit))));
    PutU16(p, static_cast<uint16_t>(static_cast<int16_t>(std::lround(e.upMps / velUnit))));
    PutU32(p, static_cast<uint32_t>(tow * 1000.0));
    const double semicircle = 2147483648.0 / 180.0;  // 2^31 counts per 180 degrees
    PutU32(p,
           static_cast<uint32_t>(static_cast<int32_t>(std::llround(e.latitudeDeg * semicircle))));
    double lon = e.longitudeDeg < 0 ? e.longitudeDeg + 360.0 : e.longitudeDeg;
    PutU32(p, static_cast<uint32_t>(std::llround(lon * semicircle) & 0xFFFFFFFFLL));
    PutU32(p, static_cast<uint32_t>(
                  static_cast<int32_t>(std::llround(e.ellipsoidHeightMetres * 1000.0))));
    PutU8(p, coarse ? 1 : 0);                // velocity scaling
    PutU8(p, 0x00);                          // reserved
    PutU8(p, 0x00);                          // datum: WGS-84
    PutU8(p, e.fixMode == 2 ? 0x04 : 0x00);  // fix flags: bit 2 two-dimensional
    PutU8(p, static_cast<uint32_t>(used < 12 ? used : 12));
    PutU8(p, static_cast<uint32_t>(leapSeconds));
    PutU16(p, static_cast<uint16_t>(week));
    // PRNs of up to twelve satellites used (@32), then their IODEs (@44): 56 bytes in all.
    std::string prnBytes, iodes;
    for (const SimSat& s : e.sats) {
      if (!s.used || prnBytes.size() == 12) continue;
      PutU8(prnBytes, s.prn);
      PutU8(iodes, 0x2A);
    }
    prnBytes.resize(12, '\0');
    iodes.resize(12, '\0');
    p += prnBytes;
    p += iodes;
    out += TsipFrame(0x8F, p);
  }

  // 0x5C tracking status, one per satellite in view.
  int channel = 0;
  for (const SimSat& s : e.sats) {
    p.clear();
    PutU8(p, s.prn);
    PutU8(p, static_cast<uint32_t>((channel++ & 0x1F) << 3));
    PutU8(p, s.snrDbHz > 0 ? 1 : 0);  // acquisition: 1 acquired
    PutU8(p, s.used ? 1 : 0);         // ephemeris: 1 good
    PutF32(p, s.snrDbHz);
    PutF32(p, tow);
    PutF32(p, s.elevationDeg * kDegToRad);
    PutF32(p, s.azimuthDeg * kDegToRad);
    PutU8(p, 0);  // old measurement
    PutU8(p, 2);  // integer msec: known from subframe
    PutU8(p, 0);  // bad data
    PutU8(p, 0);  // data collection
    out += TsipFrame(0x5C, p);
  }
  return out;
}

}  // namespace gpssim
