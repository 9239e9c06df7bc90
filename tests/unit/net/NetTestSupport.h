// Helpers of the fix server tests: a strict JSON checker, sentence checks and fix records.
#pragma once

#include <cctype>
#include <cmath>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/net/FixEpoch.h"
#include "navlib32/navlib32_records.h"

namespace pelmora::net::testing {

// Checks that text is exactly one JSON value (RFC 8259, ASCII) and collects the member names of
// the outermost object.
class JsonChecker {
 public:
  explicit JsonChecker(std::string_view text) : s_(text) {
    ok_ = Value(0) && (Blank(), i_ == s_.size());
  }
  bool ok() const { return ok_; }
  const std::set<std::string>& keys() const { return keys_; }

 private:
  void Blank() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r'))
      ++i_;
  }
  bool Lit(std::string_view w) {
    if (s_.substr(i_, w.size()) != w) return false;
    i_ += w.size();
    return true;
  }
  bool Str(std::string* out) {
    if (!Lit("\"")) return false;
    while (i_ < s_.size()) {
      const unsigned char c = static_cast<unsigned char>(s_[i_++]);
      if (c == '"') return true;
      if (c < 0x20 || c >= 0x7F) return false;
      if (c == '\\') {
        if (i_ >= s_.size()) return false;
        const char e = s_[i_++];
        if (e == 'u') {
          for (int k = 0; k < 4; ++k)
            if (i_ >= s_.size() || !std::isxdigit(static_cast<unsigned char>(s_[i_++])))
              return false;
        } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
          return false;
        }
      }
      if (out) *out += static_cast<char>(c);
    }
    return false;
  }
  bool Num() {
    const std::size_t start = i_;
    Lit("-");
    if (i_ >= s_.size() || !std::isdigit(static_cast<unsigned char>(s_[i_]))) return false;
    if (s_[i_] == '0' && i_ + 1 < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_ + 1])))
      return false;
    auto digits = [&] {
      const std::size_t d = i_;
      while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_])))
        ++i_;
      return i_ > d;
    };
    digits();
    if (Lit(".") && !digits()) return false;
    if ((Lit("e") || Lit("E")) && ((Lit("+") || Lit("-")), !digits())) return false;
    return i_ > start;
  }
  bool Value(int depth) {
    Blank();
    if (depth > 16 || i_ >= s_.size()) return false;
    if (s_[i_] == '{') {
      ++i_;
      Blank();
      if (Lit("}")) return true;
      do {
        Blank();
        std::string key;
        if (!Str(&key)) return false;
        if (depth == 0) keys_.insert(key);
        Blank();
        if (!Lit(":") || !Value(depth + 1)) return false;
        Blank();
      } while (Lit(","));
      return Lit("}");
    }
    if (s_[i_] == '[') {
      ++i_;
      Blank();
      if (Lit("]")) return true;
      do {
        if (!Value(depth + 1)) return false;
        Blank();
      } while (Lit(","));
      return Lit("]");
    }
    if (s_[i_] == '"') return Str(nullptr);
    return Lit("true") || Lit("false") || Lit("null") || Num();
  }

  std::string_view s_;
  std::size_t i_ = 0;
  bool ok_ = false;
  std::set<std::string> keys_;
};

// The CR LF-ended lines of text.
inline std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The comma-separated fields of a sentence line without '$' and checksum.
inline std::vector<std::string> Fields(std::string_view line) {
  line.remove_prefix(1);
  line = line.substr(0, line.find('*'));
  std::vector<std::string> f;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = line.find(',', start);
    f.emplace_back(line.substr(start, comma - start));
    if (comma == std::string_view::npos) return f;
    start = comma + 1;
  }
}

// A complete 3D fix with every field valid, at 12:34:56.5 UTC, with n satellites (PRN 1..n).
inline FixRecord FullFix(int sats = 8) {
  FixRecord f{};
  f.validFlags = kValidStatus | kValidFixMode | kValidTime | kValidPosition | kValidGeoidHeight |
                 kValidEllipsoidHeight | kValidSpeed | kValidHeading | kValidGeometry |
                 kValidSignal;
  f.status = 1;
  f.fixMode = 3;
  f.utcSeconds = 12 * 3600 + 34 * 60 + 56.5;
  f.latitude = 48.1173;
  f.longitude = 11.516666667;
  f.ellipsoidHeight = 593.4;
  f.geoidHeight = 545.4;
  f.speed = 11.5;
  f.trueHeading = 84.4;
  f.pdop = 1.8f;
  f.satCount = static_cast<int16_t>(std::min(sats, 12));
  for (int i = 0; i < sats && i < kMaxSats; ++i)
    f.sats[i] = SatInfo{static_cast<int16_t>(i + 1), static_cast<int16_t>(i % 2),
                        static_cast<int16_t>(i * 30), static_cast<int16_t>(10 + i * 5),
                        static_cast<int16_t>(30 + i)};
  return f;
}

// The record's occupied slots as GPS satellites numbered as in the record.
inline std::vector<SkySatellite> SkyOf(const FixRecord& fix) {
  std::vector<SkySatellite> sats;
  for (const SatInfo& slot : fix.sats)
    if (slot.prn > 0)
      sats.push_back(SkySatellite{Gnss::Gps, slot.prn, slot.elevation, slot.azimuth, slot.snr,
                                  slot.used == 1});
  return sats;
}

}  // namespace pelmora::net::testing
