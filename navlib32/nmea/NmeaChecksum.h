// The NMEA 0183 checksum: the XOR of the characters between '$' and '*', written as two
// upper-case hex digits. One helper for the engine's receiver set-up, the sentences it hands
// on, gpssim and the tests. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace navlib::nmea {

inline uint8_t NmeaChecksum(std::string_view body) {
  uint8_t sum = 0;
  for (char c : body)
    sum ^= static_cast<uint8_t>(c);
  return sum;
}

// Appends "$" body "*HH" CR LF.
inline void AppendNmeaSentence(std::string_view body, std::string& out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const uint8_t sum = NmeaChecksum(body);
  out.reserve(out.size() + body.size() + 6);
  out += '$';
  out += body;
  out += '*';
  out += kHex[sum >> 4];
  out += kHex[sum & 0xF];
  out += "\r\n";
}

inline std::string NmeaSentenceOf(std::string_view body) {
  std::string out;
  AppendNmeaSentence(body, out);
  return out;
}

}  // namespace navlib::nmea
