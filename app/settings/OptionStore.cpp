// The settings primitives: one GetHVNAppOption or SetHVNAppOption call each, with the
// store's fixed 256-byte name and value limits, and the option text to integer rule.
#include "app/settings/OptionStore.h"

#include <array>
#include <cstring>
#include <optional>
#include <utility>

namespace pelmora {

namespace {

// Names and values travel in 256-byte buffers; reads pass 255 as the size so the last byte
// always stays a terminator, whatever the back end does.
constexpr std::size_t kOptionBufferSize = 256;
constexpr uint32_t kReadLimit = 255;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

OptionStore::OptionStore(OptionBackend& backend, std::string app)
    : backend_(backend), app_(std::move(app)) {}

std::optional<std::string> OptionStore::Read(const std::string& key) const {
  // A name that does not fit the name buffer cannot be stored either: it reads as missing.
  if (key.size() >= kOptionBufferSize) return std::nullopt;
  std::array<char, kOptionBufferSize> value{};
  if (backend_.GetHVNAppOption(app_.c_str(), key.c_str(), value.data(), kReadLimit) !=
      kRegSuccess) {
    return std::nullopt;
  }
  value.back() = '\0';
  return std::string(value.data());
}

std::string OptionStore::ReadOptionText(const std::string& key,
                                        const std::string& defaultValue) const {
  return Read(key).value_or(defaultValue);
}

int32_t OptionStore::ReadOptionInt(const std::string& key, int32_t defaultValue) const {
  const std::optional<std::string> text = Read(key);
  return text ? ConvertOptionInt(*text) : defaultValue;
}

void OptionStore::WriteOption(const std::string& key, const std::string& value) const {
  // Over-long names or values are not cut (that would store a different setting): the write
  // fails silently like any other failed write.
  if (key.size() >= kOptionBufferSize || value.size() >= kOptionBufferSize) return;
  if (key.find('\0') != std::string::npos || value.find('\0') != std::string::npos) return;
  backend_.SetHVNAppOption(app_.c_str(), key.c_str(), value.c_str());
}

// Leading blanks, an optional sign, then decimal digits or hex digits after "$", "x", "X", "0x"
// or "0X". A text that ends cleanly gives its signed value. Otherwise the digits read before the
// first bad character give their magnitude without the sign, and no digit at all gives 0. A digit
// that would take the magnitude past the 32-bit range counts as the first bad character. Hex
// covers the full 32-bit pattern ($FFFFFFFF is -1); the result wraps to 32 bits.
int32_t ConvertOptionInt(const std::string& text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ')
    ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  // Largest magnitude: 2^32 - 1 for hex patterns, 2^31 for decimal (-2147483648).
  const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  const uint64_t base = hex ? 16 : 10;
  uint64_t magnitude = 0;
  std::size_t digits = 0;
  bool valid = false;
  while (true) {
    if (i == n) {
      valid = digits > 0;
      break;
    }
    const int d = hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (d < 0) break;
    const uint64_t next = magnitude * base + static_cast<uint64_t>(d);
    if (next > limit) break;
    magnitude = next;
    ++digits;
    ++i;
  }
  const uint32_t bits = static_cast<uint32_t>(magnitude);
  if (valid && negative) return static_cast<int32_t>(0u - bits);
  return static_cast<int32_t>(bits);
}

}  // namespace pelmora
