// TSIP command layouts follow Trimble's TSIP reference (big-endian IEEE singles, angles in
// radians); NMEA checksums are the XOR of the characters between '$' and '*'.
#include "navlib32/ReceiverSetup.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "navlib32/nmea/NmeaChecksum.h"
#include "navlib32/tsip/TsipWriter.h"

namespace navlib {
namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
constexpr uint8_t kUnchanged = 0xFF;  // "keep the current value" in reserved 0xBB fields

double Finite(double v) {
  return std::isfinite(v) ? v : 0.0;
}

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

}  // namespace

std::string BuildTsipSetup(const pelmora::ReceiverSettings& s) {
  using tsip::TsipWriter;
  const int dynamics = s.dynamics >= 1 && s.dynamics <= 4 ? s.dynamics : 1;  // default land
  const int fixMode = s.fixMode == 3 || s.fixMode == 4 ? s.fixMode : 0;      // 0 automatic
  const double elevationMaskRad = std::clamp<int>(s.elevationMask, 0, 90) * kDegToRad;
  const double signalMask = std::clamp<int>(s.signalMask, 0, 99);
  const double pdopMask = std::clamp<int>(s.pdopMask, 0, 99);
  const double pdopSwitch = std::clamp<int>(s.pdopSwitch, 1, 20);
  std::string out;

  // 0x35 I/O options: position (bit 1 LLA, bit 2 MSL heights, bit 4 double precision, bit 5
  // superpackets), velocity (bit 1 ENU), timing (GPS time), auxiliary (bit 3 dB-Hz).
  TsipWriter(0x35)
      .PutU8(0x02 | (s.heightReference == 1 ? 0x04 : 0x00) | 0x10 | 0x20)
      .PutU8(0x02)
      .PutU8(0x00)
      .PutU8(0x08)
      .AppendFrame(out);

  // 0x2C operating parameters: dynamics, elevation mask, signal mask, PDOP mask, PDOP switch.
  TsipWriter(0x2C)
      .PutU8(dynamics)
      .PutBeF32(elevationMaskRad)
      .PutBeF32(signalMask)
      .PutBeF32(pdopMask)
      .PutBeF32(pdopSwitch)
      .AppendFrame(out);

  // 0xBB-00 receiver configuration (newer receivers): the same parameters with the dimension,
  // 40 data bytes; the fields not set keep their values.
  TsipWriter bb(0xBB);
  bb.PutU8(0x00).PutU8(fixMode).PutU8(kUnchanged).PutU8(dynamics).PutU8(kUnchanged);
  bb.PutBeF32(elevationMaskRad).PutBeF32(signalMask).PutBeF32(pdopMask).PutBeF32(pdopSwitch);
  while (bb.Packet().size() < 1 + 40)
    bb.PutU8(kUnchanged);
  bb.AppendFrame(out);

  // 0x22 fix dimension: 0 automatic 2D/3D, 3 2D only, 4 3D only.
  TsipWriter(0x22).PutU8(fixMode).AppendFrame(out);

  // 0x2A altitude held in 2D fixes (metres, in the height reference chosen above).
  TsipWriter(0x2A).PutBeF32(Finite(s.altitude2d)).AppendFrame(out);

  // 0x2B initial position (latitude, longitude in radians, altitude); 0/0 means "unknown".
  const double lat = std::clamp(Finite(s.initLatitude), -90.0, 90.0);
  const double lon = std::clamp(Finite(s.initLongitude), -180.0, 180.0);
  if (lat != 0.0 || lon != 0.0) {
    TsipWriter(0x2B)
        .PutBeF32(lat * kDegToRad)
        .PutBeF32(lon * kDegToRad)
        .PutBeF32(Finite(s.altitude2d))
        .AppendFrame(out);
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
  return nmea::NmeaSentenceOf(line.substr(1));
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
