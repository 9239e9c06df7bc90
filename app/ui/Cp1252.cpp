// Windows-1252: bytes 0x80..0x9F map to the table below (0 marks the five unassigned bytes,
// which map to the C1 control of the same value, as Windows does); every other byte is the
// Unicode code point of the same value.
#include "app/ui/Cp1252.h"

#include <array>

namespace pelmora::ui {
namespace {

constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t Decode(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) {
    const char16_t mapped = kHigh[byte - 0x80];
    return mapped != 0 ? mapped : static_cast<char16_t>(byte);
  }
  return static_cast<char16_t>(byte);
}

}  // namespace

std::u16string Cp1252ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char c : text)
    out.push_back(Decode(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf16ToCp1252(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t u : text) {
    char byte = '?';
    for (int b = 0; b < 256; ++b) {
      if (Decode(static_cast<unsigned char>(b)) == u) {
        byte = static_cast<char>(b);
        break;
      }
    }
    out.push_back(byte);
  }
  return out;
}

}  // namespace pelmora::ui
