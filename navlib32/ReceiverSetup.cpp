// TSIP command layouts follow Trimble's TSIP reference (big-endian IEEE singles, angles in
// radians); NMEA checksums are the XOR of the characters between '$' and '*'.
#include "navlib32/ReceiverSetup.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace navlib {
namespace {

constexpr uint8_t kDle = 0x10;
constexpr uint8_t kEtx = 0x03;
constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
constexpr uint8_t kUnchanged = 0xFF;  // "keep the current value" in reserved 0xBB fields

void PutU8(std::string& s, int v) {
  s.push_back(static_cast<char>(v & 0xFF));
}
void PutF32(std::string& s, double v) {
  const uint32_t bits = std::bit_cast<uint32_t>(static_cast<float>(v));
  for (int shift = 24; shift >= 0; shift -= 8)
    PutU8(s, static_cast<int>(bits >> shift));
}

void AppendFrame(std::string& out, uint8_t id, const std::string& payload) {
  out.push_back(static_cast<char>(kDle));
  out.push_back(static_cast<char>(id));
  for (char c : payload) {
    out.push_back(c);
    if (static_cast<uint8_t>(c) == kDle) out.push_back(c);  // DLE stuffing
  }
  out.push_back(static_cast<char>(kDle));
  out.push_back(static_cast<char>(kEtx));
}

double Finite(double v) {
  return std::isfinite(v) ? v : 0.0;
}

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

}  // namespace

std::string BuildTsipSetup(const pelmora::ReceiverSettings& s) {
  const int dynamics = s.dynamics >= 1 && s.dynamics <= 4 ? s.dynamics : 1;  // default land
  const int fixMode = s.fixMode == 3 || s.fixMode == 4 ? s.fixMode : 0;      // 0 automatic
  const double elevationMaskRad = std::clamp<int>(s.elevationMask, 0, 90) * kDegToRad;
  const double signalMask = std::clamp<int>(s.signalMask, 0, 99);
  const double pdopMask = std::clamp<int>(s.pdopMask, 0, 99);
  const double pdopSwitch = std::clamp<int>(s.pdopSwitch, 1, 20);
  std::string out, p;

  // 0x35 I/O options: position (bit 1 LLA, bit 2 MSL heights, bit 4 double precision, bit 5
  // superpackets), velocity (bit 1 ENU), timing (GPS time), auxiliary (bit 3 dB-Hz).
  PutU8(p, 0x02 | (s.heightReference == 1 ? 0x04 : 0x00) | 0x10 | 0x20);
  PutU8(p, 0x02);
  PutU8(p, 0x00);
  PutU8(p, 0x08);
  AppendFrame(out, 0x35, p);

  // 0x2C operating parameters: dynamics, elevation mask, signal mask, PDOP mask, PDOP switch.
  p.clear();
  PutU8(p, dynamics);
  PutF32(p, elevationMaskRad);
  PutF32(p, signalMask);
  PutF32(p, pdopMask);
  PutF32(p, pdopSwitch);
  AppendFrame(out, 0x2C, p);

  // 0xBB-00 receiver configuration (newer receivers): the same parameters with the dimension.
  p.clear();
  PutU8(p, 0x00);
  PutU8(p, fixMode);
  PutU8(p, kUnchanged);
  PutU8(p, dynamics);
  PutU8(p, kUnchanged);
  PutF32(p, elevationMaskRad);
  PutF32(p, signalMask);
  PutF32(p, pdopMask);
  PutF32(p, pdopSwitch);
  while (p.size() < 40)
    PutU8(p, kUnchanged);
  AppendFrame(out, 0xBB, p);

  // 0x22 fix dimension: 0 automatic 2D/3D, 3 2D only, 4 3D only.
  p.clear();
  PutU8(p, fixMode);
  AppendFrame(out, 0x22, p);

  // 0x2A altitude held in 2D fixes (metres, in the height reference chosen above).
  p.clear();
  PutF32(p, Finite(s.altitude2d));
  AppendFrame(out, 0x2A, p);

  // 0x2B initial position (latitude, longitude in radians, altitude); 0/0 means "unknown".
  const double lat = std::clamp(Finite(s.initLatitude), -90.0, 90.0);
  const double lon = std::clamp(Finite(s.initLongitude), -180.0, 180.0);
  if (lat != 0.0 || lon != 0.0) {
    p.clear();
    PutF32(p, lat * kDegToRad);
    PutF32(p, lon * kDegToRad);
    PutF32(p, Finite(s.altitude2d));
    AppendFrame(out, 0x2B, p);
  }
  return out;
}

std::string NmeaSetupSentence(std::string_view line) {
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
    line.remove_prefix(1);
  while (!line.empty() &&
         (line.back() == ' ' || line.back() == '\t' || line.back() == '\r' || line.back() == '\n'))
    line.remove_suffix(1);
  if (line.size() < 2 || line.front() != '$') return {};
  const std::size_t n = line.size();
  if (n >= 4 && line[n - 3] == '*' && IsHex(line[n - 2]) && IsHex(line[n - 1]))
    return std::string(line) + "\r\n";
  if (line.find('*') != std::string_view::npos) return {};  // a damaged checksum: not sent
  uint8_t sum = 0;
  for (char c : line.substr(1))
    sum ^= static_cast<uint8_t>(c);
  char hex[4];
  std::snprintf(hex, sizeof hex, "*%02X", sum);
  return std::string(line) + hex + "\r\n";
}

bool ReadNmeaSetup(const std::string& path, std::vector<std::string>* sentences) {
  sentences->clear();
  if (path.empty()) return false;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  std::string line;
  bool overlong = false;
  auto finishLine = [&] {
    if (!overlong && sentences->size() < kMaxSetupLines) {
      std::string s = NmeaSetupSentence(line);
      if (!s.empty()) sentences->push_back(std::move(s));
    }
    line.clear();
    overlong = false;
  };
  int c;
  while ((c = std::fgetc(f)) != EOF) {
    if (c == '\n' || c == '\r') {
      finishLine();
    } else if (line.size() < kMaxSetupLineLength) {
      line.push_back(static_cast<char>(c));
    } else {
      overlong = true;
    }
  }
  const bool ok = !std::ferror(f);
  std::fclose(f);
  finishLine();
  return ok;
}

}  // namespace navlib
