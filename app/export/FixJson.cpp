// JSON and GPX text of fix records, built with to_chars.
#include "app/export/FixJson.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "navlib32/GnssSystem.h"

namespace navdump {
namespace {

// "0".."999" as up to three characters, and as exactly three ("000".."999"): satellite
// numbers, angles, signals and the validity bits print by copy.
struct SmallInts {
  std::array<std::array<char, 4>, 1000> text{};  // digits, then the length in text[i][3]
  std::array<std::array<char, 4>, 1000> padded{};
  constexpr SmallInts() {
    for (int i = 0; i < 1000; ++i) {
      int n = 0;
      if (i >= 100) text[i][n++] = static_cast<char>('0' + i / 100);
      if (i >= 10) text[i][n++] = static_cast<char>('0' + i / 10 % 10);
      text[i][n++] = static_cast<char>('0' + i % 10);
      text[i][3] = static_cast<char>(n);
      padded[i] = {static_cast<char>('0' + i / 100), static_cast<char>('0' + i / 10 % 10),
                   static_cast<char>('0' + i % 10), 3};
    }
  }
};
constexpr SmallInts kSmallInts;

class Writer {
 public:
  // cache: where Keep keeps texts (null: Keep is not used).
  explicit Writer(char* out, FixJsonFormatter::Cache* cache = nullptr)
      : begin_(out), p_(out), cache_(cache) {}
  std::size_t Size() const { return static_cast<std::size_t>(p_ - begin_); }
  char* End() const { return p_; }

  template <std::size_t N>
  void Text(const char (&s)[N]) {
    std::memcpy(p_, s, N - 1);
    p_ += N - 1;
  }
  void Int(long value) {
    if (value >= 0 && value < 1000) {
      const auto& t = kSmallInts.text[static_cast<std::size_t>(value)];
      std::memcpy(p_, t.data(), 3);  // the buffer has room; only the length counts
      p_ += t[3];
      return;
    }
    if (value >= 1000 && value < 1000000) {
      Int(value / 1000);
      std::memcpy(p_, kSmallInts.padded[static_cast<std::size_t>(value % 1000)].data(), 3);
      p_ += 3;
      return;
    }
    p_ = std::to_chars(p_, p_ + 24, value).ptr;
  }
  // Shortest text that reads back as the same double; null for a non-finite value.
  void Real(double value) {
    if (!std::isfinite(value)) {
      Text("null");
    } else if (value == 0.0 && !std::signbit(value)) {
      *p_++ = '0';
    } else if (std::fabs(value) < 1e15 &&
               value == static_cast<double>(static_cast<long long>(value))) {
      // Whole numbers (zeros of invalid fields, whole seconds) print as integers, which is
      // also their shortest form; the general shortest-form search is for the rest.
      if (value > 0 && value < 1e6) {
        Int(static_cast<long>(value));
      } else {
        p_ = std::to_chars(p_, p_ + 24, static_cast<long long>(value)).ptr;
      }
    } else if (char* end = ShortestFraction(value, p_)) {
      p_ = end;
    } else {
      p_ = std::to_chars(p_, p_ + 32, value).ptr;
    }
  }
  void Real(float value) {
    if (!std::isfinite(value)) {
      Text("null");
    } else if (char* end = ShortestFraction(value, p_)) {
      p_ = end;
    } else {
      p_ = std::to_chars(p_, p_ + 32, value).ptr;
    }
  }
  // The same, through the kept text of the number (the bytes of the value are its key).
  template <typename Number>
  void Real(Number value, FixJsonFormatter::Kept<8, FixJsonFormatter::kTextBlock>& kept) {
    unsigned char bytes[8]{};
    std::memcpy(bytes, &value, sizeof value);
    Keep(kept, bytes, [&] { Real(value); });
  }
  // Writes the kept text when it was made from the same input bytes, else what write() writes,
  // then keeps that.
  template <std::size_t kInput, std::size_t kText, typename Write>
  void Keep(FixJsonFormatter::Kept<kInput, kText>& kept, const unsigned char* input, Write write) {
    if (kept.length != 0 && std::memcmp(kept.input.data(), input, kInput) == 0) {
      CopyBlocks(kept.text.data(), kept.length);
      return;
    }
    char* start = p_;
    write();
    const std::size_t n = static_cast<std::size_t>(p_ - start);
    if (n > kText) {
      kept.length = 0;
      return;
    }
    std::memcpy(kept.input.data(), input, kInput);
    kept.length = n;
    FixJsonFormatter::Cache& c = *cache_;
    if (c.pendingCount == c.pending.size()) KeepPending(c);
    c.pending[c.pendingCount++] = {kept.text.data(), start, n};
  }
  // The texts of the line to keep, copied.
  static void KeepPending(FixJsonFormatter::Cache& c) {
    constexpr std::size_t kBlock = FixJsonFormatter::kTextBlock;
    for (std::size_t i = 0; i < c.pendingCount; ++i) {
      // whole blocks: the kept text holds them, the line has room after its end
      const FixJsonFormatter::Cache::Pending& p = c.pending[i];
      for (std::size_t at = 0; at < p.length; at += kBlock)
        std::memcpy(p.text + at, p.from + at, kBlock);
    }
    c.pendingCount = 0;
  }
  // The occupied slots, as JSON objects.
  void Sats(const pelmora::SatInfo (&sats)[pelmora::kMaxSats]) {
    bool first = true;
    for (const pelmora::SatInfo& s : sats) {
      if (s.prn == 0) continue;
      if (!first) Text(",");
      first = false;
      Text("{\"prn\":");
      Int(s.prn);
      Text(",\"used\":");
      Int(s.used);
      Text(",\"azimuth\":");
      Int(s.azimuth);
      Text(",\"elevation\":");
      Int(s.elevation);
      Text(",\"snr\":");
      Int(s.snr);
      Text("}");
    }
  }
  void Fixed(double value, int decimals) {
    p_ = std::to_chars(p_, p_ + 48, value, std::chars_format::fixed, decimals).ptr;
  }
  void Name(const char* text) {
    const std::size_t n = std::strlen(text);
    std::memcpy(p_, text, n);
    p_ += n;
  }
  void TwoDigits(int value) {
    *p_++ = static_cast<char>('0' + value / 10 % 10);
    *p_++ = static_cast<char>('0' + value % 10);
  }

 private:
  // n bytes of text whose buffer holds whole blocks, a block at a time (out has room for the
  // last block's excess).
  void CopyBlocks(const char* text, std::size_t n) {
    constexpr std::size_t kBlock = FixJsonFormatter::kTextBlock;
    for (std::size_t i = 0; i < n; i += kBlock)
      std::memcpy(p_ + i, text + i, kBlock);
    p_ += n;
  }

  char* begin_;
  char* p_;
  FixJsonFormatter::Cache* cache_;
};

}  // namespace

namespace {

// v < 10^8 as exactly eight digits.
void EightDigits(uint32_t v, char* out) {
  const uint32_t high = v / 10000;
  const uint32_t low = v % 10000;
  std::memcpy(out, kSmallInts.padded[high / 100].data() + 1, 2);
  std::memcpy(out + 2, kSmallInts.padded[high % 100].data() + 1, 2);
  std::memcpy(out + 4, kSmallInts.padded[low / 100].data() + 1, 2);
  std::memcpy(out + 6, kSmallInts.padded[low % 100].data() + 1, 2);
}

using u128 = unsigned __int128;

// Powers of ten as far as ShortestFraction needs them (up to 10^19, below 2^64), and for
// 10^1..10^17 a reciprocal that divides any n < 2^60 exactly: n / 10^p = n * reciprocal[p] >>
// shift[p] (reciprocal = 2^shift / 10^p rounded up, shift = 60 + the bits of 10^p; Granlund and
// Montgomery), without a hardware division, slow on many CPUs.
struct PowersOfTen {
  std::array<uint64_t, 20> value{};
  std::array<uint64_t, 18> reciprocal{};
  std::array<int, 18> shift{};
  constexpr PowersOfTen() {
    value[0] = 1;
    for (std::size_t i = 1; i < value.size(); ++i)
      value[i] = value[i - 1] * 10;
    for (std::size_t i = 1; i < reciprocal.size(); ++i) {
      int bits = 0;
      while ((u128{1} << bits) < value[i])
        ++bits;
      shift[i] = 60 + bits;
      const u128 power = u128{1} << shift[i];
      reciprocal[i] = static_cast<uint64_t>((power + value[i] - 1) / value[i]);
    }
  }
};
constexpr PowersOfTen kPowersOfTen;

// n / 10^p for n < 2^60 and 1 <= p <= 17.
uint64_t DivideByPowerOfTen(uint64_t n, int p) {
  const auto i = static_cast<std::size_t>(p);
  return static_cast<uint64_t>((u128{n} * kPowersOfTen.reciprocal[i]) >> kPowersOfTen.shift[i]);
}

// v < 10^18 as exactly eighteen digits (leading zeros): stores only, no loop.
void EighteenDigits(uint64_t v, char* out) {
  constexpr uint64_t kEightDigits = 100000000;
  const uint64_t high = v / kEightDigits;  // < 10^10
  const auto top = static_cast<uint32_t>(high / kEightDigits);
  std::memcpy(out, kSmallInts.padded[top].data() + 1, 2);
  EightDigits(static_cast<uint32_t>(high - top * kEightDigits), out + 2);
  EightDigits(static_cast<uint32_t>(v - high * kEightDigits), out + 10);
}

// The number of decimal digits of v (0 for 0).
int DecimalLength(uint64_t v) {
  const int guess = (64 - std::countl_zero(v | 1)) * 1233 >> 12;  // floor or ceil of log10
  return guess + (v >= kPowersOfTen.value[static_cast<std::size_t>(guess)]);
}

// The shortest fraction of a float or double; see ShortestFraction.
template <typename Real, typename Bits, int kFractionBits>
char* Shortest(Real value, char* out) {
  // value = m * 2^e. The values that read back as it lie within half a unit of the last place
  // on either side (a quarter below a power of two), bounds included when m is even; in units
  // of 2^(e-2) that is 4m - 2 (or 4m - 1) to 4m + 2.
  constexpr int kExponentMask = (1 << (8 * sizeof(Bits) - 1 - kFractionBits)) - 1;
  constexpr int kBias = kExponentMask / 2 + kFractionBits;
  const Bits bits = std::bit_cast<Bits>(value);
  const int biased = static_cast<int>(bits >> kFractionBits) & kExponentMask;
  const uint64_t fraction = bits & ((Bits{1} << kFractionBits) - 1);
  const int e = biased - kBias;
  // Magnitudes 2^-10 to 2^(kFractionBits + 1); also rules out zero, subnormals, non-finite.
  if (biased == 0 || e < -10 - kFractionBits || e > -1) return nullptr;
  const uint64_t m = fraction | uint64_t{1} << kFractionBits;
  const int fractionBits = -e - std::countr_zero(m);
  if (fractionBits <= 0) return nullptr;  // a whole number
  const bool inclusive = (m & 1) == 0;
  const bool boundary = fraction == 0 && biased > 1;

  // Start at p decimals where the interval surely holds a multiple of 10^-p: 10^-p below the
  // unit of the last place (below three quarters of it at a power of two), or the value's own
  // exact decimals when there are fewer. With q = 2 - e <= 64 and p <= 19 (20 only at a power
  // of two, whose at most 10 decimals cap it) all fits in 128 bits, and the bounds below 2^60.
  int p = std::min((-e * 78913 >> 18) + 1 + (boundary ? 1 : 0), fractionBits);
  const int q = 2 - e;
  const uint64_t mask = ~uint64_t{0} >> (64 - q);
  const uint64_t scale = kPowersOfTen.value[static_cast<std::size_t>(p)];
  const u128 exact = u128{4 * m} * scale;
  const u128 low = exact - (boundary ? scale : u128{2} * scale);
  const u128 high = exact + u128{2} * scale;
  const auto lo = static_cast<uint64_t>(inclusive ? (low + mask) >> q : (low >> q) + 1);
  const auto hi = static_cast<uint64_t>(inclusive ? high >> q : ((high + mask) >> q) - 1);
  if (lo > hi) return nullptr;

  // Drop the most decimals that leave a multiple of 10^-p within the bounds: one, then four at
  // a time while they go (short decimals such as heights in millimetres drop a dozen, the rest
  // one or none), then one at a time. A value of at least 2^-10 keeps three decimals or more,
  // so no more than 17 of at most 20 go.
  auto fits = [&](int count) {  // a multiple of 10^count lies within lo..hi (lo >= 1)
    return count <= std::min(p, 17) &&
           DivideByPowerOfTen(lo - 1, count) < DivideByPowerOfTen(hi, count);
  };
  int dropped = 0;
  if (fits(1)) {
    dropped = 1;
    while (fits(dropped + 4))
      dropped += 4;
    while (fits(dropped + 1))
      ++dropped;
  }
  p -= dropped;
  if (p == 0 || p > 17) return nullptr;

  // The closest multiple within the bounds, a tie to the even one: the exact value at p decimals
  // rounded, then moved within the bounds at p decimals.
  const u128 exactHere =
      dropped == 0 ? exact : u128{4 * m} * kPowersOfTen.value[static_cast<std::size_t>(p)];
  const auto rounded = static_cast<uint64_t>(exactHere >> q);
  const uint64_t rest = static_cast<uint64_t>(exactHere) & mask;
  const uint64_t half = uint64_t{1} << (q - 1);
  const bool up = rest > half || (rest == half && (rounded & 1) != 0);
  const uint64_t least = dropped == 0 ? lo : DivideByPowerOfTen(lo - 1, dropped) + 1;
  const uint64_t most = dropped == 0 ? hi : DivideByPowerOfTen(hi, dropped);
  const uint64_t digits = std::clamp(rounded + (up ? 1 : 0), least, most);
  constexpr uint64_t kEighteenDigits = kPowersOfTen.value[18];
  if (digits >= kEighteenDigits) return nullptr;

  // The digits in full, then the whole part (at least one digit), the point and p decimals, each
  // copied in one block: out has room for the excess, which the next text overwrites.
  char text[48] = {};
  EighteenDigits(digits, text);
  const int shown = std::max(DecimalLength(digits), p + 1);
  const int wholeLength = shown - p;
  char* o = out;
  if (value < 0) *o++ = '-';
  std::memcpy(o, text + 18 - shown, 24);
  o[wholeLength] = '.';
  std::memcpy(o + wholeLength + 1, text + 18 - p, 24);
  return o + wholeLength + 1 + p;
}

}  // namespace

char* ShortestFraction(double value, char* out) {
  return Shortest<double, uint64_t, 52>(value, out);
}

char* ShortestFraction(float value, char* out) {
  return Shortest<float, uint32_t, 23>(value, out);
}

const char* SystemName(int16_t system) {
  const char* name = navlib::GnssSystemName(system);
  return name != nullptr ? name : "other";
}

namespace {

// The object representation of the record from offset on: the key of a kept text.
const unsigned char* Bytes(const pelmora::FixRecord& r, std::size_t offset) {
  return reinterpret_cast<const unsigned char*>(&r) + offset;
}

// The record's keys, without the closing brace; returns the end. The writer is a local of its
// own: passed by reference, its position would be reloaded after every character stored (a
// char store may alias it). Runs of fields that change seldom, and the numbers that change
// often, keep their texts in the cache.
char* PutRecord(const pelmora::FixRecord& r, char* out, FixJsonFormatter::Cache& c) {
  using pelmora::FixRecord;
  static_assert(offsetof(FixRecord, fixMode) == offsetof(FixRecord, validFlags) + 4);
  static_assert(offsetof(FixRecord, depth) == offsetof(FixRecord, geoidHeight) + 4 * 8);
  static_assert(offsetof(FixRecord, sats) == offsetof(FixRecord, satCount) + 2);
  Writer w(out, &c);
  w.Keep(c.status, Bytes(r, offsetof(FixRecord, validFlags)), [&] {
    w.Text("{\"validFlags\":");
    w.Int(r.validFlags);
    w.Text(",\"status\":");
    w.Int(r.status);
    w.Text(",\"fixMode\":");
    w.Int(r.fixMode);
  });
  w.Text(",\"utcSeconds\":");
  w.Real(r.utcSeconds);
  w.Text(",\"latitude\":");
  w.Real(r.latitude, c.numbers[0]);
  w.Text(",\"longitude\":");
  w.Real(r.longitude, c.numbers[1]);
  w.Text(",\"ellipsoidHeight\":");
  w.Real(r.ellipsoidHeight, c.numbers[2]);
  w.Keep(c.motion, Bytes(r, offsetof(FixRecord, geoidHeight)), [&] {
    w.Text(",\"geoidHeight\":");
    w.Real(r.geoidHeight, c.numbers[4]);
    w.Text(",\"speed\":");
    w.Real(r.speed, c.numbers[5]);
    w.Text(",\"trueHeading\":");
    w.Real(r.trueHeading, c.numbers[6]);
    w.Text(",\"magVariation\":");
    w.Real(r.magVariation, c.numbers[7]);
    w.Text(",\"depth\":");
    w.Real(r.depth, c.numbers[8]);
  });
  w.Text(",\"pdop\":");
  w.Real(r.pdop, c.numbers[3]);
  w.Keep(c.sats, Bytes(r, offsetof(FixRecord, satCount)), [&] {
    w.Text(",\"satCount\":");
    w.Int(r.satCount);
    w.Text(",\"sats\":[");
    w.Sats(r.sats);
    w.Text("]");
  });
  return w.End();
}

void PutDate(const UtcDate& date, Writer& w) {
  if (date.year < 1980 || date.year > 9999) return;
  w.Text(",\"utcDate\":\"");
  w.Int(date.year);
  w.Text("-");
  w.TwoDigits(date.month);
  w.Text("-");
  w.TwoDigits(date.day);
  w.Text("\"");
}

}  // namespace

std::size_t FixJsonFormatter::Format(const pelmora::FixRecord& r, char* out, const UtcDate& date) {
  Writer w(PutRecord(r, out, cache_), &cache_);
  unsigned char key[sizeof date];
  std::memcpy(key, &date, sizeof date);
  w.Keep(cache_.date, key, [&] {
    PutDate(date, w);
    w.Text("}\n");
  });
  Writer::KeepPending(cache_);
  return static_cast<std::size_t>(w.End() - out);
}

std::size_t FixJsonFormatter::Format(const pelmora::FixRecord& r, const pelmora::SatDetail* all,
                                     int count, char* out, const UtcDate& date) {
  Writer w(PutRecord(r, out, cache_));
  w.Text(",\"allSats\":[");
  for (int i = 0; i < std::min(count, pelmora::kMaxAllSats); ++i) {
    const pelmora::SatDetail& s = all[i];
    if (i > 0) w.Text(",");
    w.Text("{\"system\":\"");
    w.Name(SystemName(s.system));
    w.Text("\",\"prn\":");
    w.Int(s.prn);
    w.Text(",\"used\":");
    w.Int(s.used);
    w.Text(",\"azimuth\":");
    w.Int(s.azimuth);
    w.Text(",\"elevation\":");
    w.Int(s.elevation);
    w.Text(",\"snr\":");
    w.Int(s.snr);
    w.Text("}");
  }
  w.Text("]");
  PutDate(date, w);
  w.Text("}\n");
  Writer::KeepPending(cache_);
  return static_cast<std::size_t>(w.End() - out);
}

std::size_t FormatFixJson(const pelmora::FixRecord& r, char* out, const UtcDate& date) {
  return FixJsonFormatter().Format(r, out, date);
}

std::size_t FormatFixJson(const pelmora::FixRecord& r, const pelmora::SatDetail* all, int count,
                          char* out, const UtcDate& date) {
  return FixJsonFormatter().Format(r, all, count, out, date);
}

const char* GpxHeader() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<gpx version=\"1.1\" creator=\"navdump\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
         "<trk><trkseg>\n";
}

const char* GpxFooter() {
  return "</trkseg></trk>\n</gpx>\n";
}

std::size_t FormatGpxPoint(const pelmora::FixRecord& r, const UtcDate& date, char* out) {
  if (!(r.validFlags & pelmora::kValidPosition) || !std::isfinite(r.latitude) ||
      !std::isfinite(r.longitude)) {
    return 0;
  }
  Writer w(out);
  w.Text("<trkpt lat=\"");
  w.Fixed(r.latitude, 8);
  w.Text("\" lon=\"");
  w.Fixed(r.longitude, 8);
  w.Text("\">");
  if ((r.validFlags & pelmora::kValidGeoidHeight) && std::isfinite(r.geoidHeight) &&
      std::fabs(r.geoidHeight) < 1e6) {
    w.Text("<ele>");
    w.Fixed(r.geoidHeight, 3);
    w.Text("</ele>");
  }
  const double t = r.utcSeconds;
  if (date.year >= 1980 && date.year <= 9999 && (r.validFlags & pelmora::kValidTime) &&
      std::isfinite(t) && t >= 0.0 && t < 86401.0) {
    const long millis = std::lround(t * 1000.0);
    const long secs = millis / 1000;
    w.Text("<time>");
    w.Int(date.year);
    w.Text("-");
    w.TwoDigits(date.month);
    w.Text("-");
    w.TwoDigits(date.day);
    w.Text("T");
    w.TwoDigits(static_cast<int>(secs / 3600 % 100));
    w.Text(":");
    w.TwoDigits(static_cast<int>(secs / 60 % 60));
    w.Text(":");
    w.TwoDigits(static_cast<int>(secs % 60));
    w.Text(".");
    const long ms = millis % 1000;
    w.TwoDigits(static_cast<int>(ms / 10));
    w.Int(ms % 10);
    w.Text("Z</time>");
  }
  w.Text("</trkpt>\n");
  return w.Size();
}

}  // namespace navdump
