// Speed words and seek times, parsed strictly: anything odd is nothing.
#include "app/format/ReplayArgs.h"

#include <algorithm>
#include <array>
#include <utility>

#include "navlib32/Calendar.h"

namespace pelmora {
namespace {

struct SpeedRow {
  std::string_view text;
  ReplaySpeed speed;
  double factor;
};

constexpr std::array<SpeedRow, 9> kSpeeds = {{
    {"TICK", ReplaySpeed::Tick, 0},
    {"0.25", ReplaySpeed::Quarter, 0.25},
    {"0.5", ReplaySpeed::Half, 0.5},
    {"1", ReplaySpeed::One, 1},
    {"2", ReplaySpeed::Two, 2},
    {"4", ReplaySpeed::Four, 4},
    {"8", ReplaySpeed::Eight, 8},
    {"16", ReplaySpeed::Sixteen, 16},
    {"MAX", ReplaySpeed::Max, 0},
}};

constexpr size_t kMaxDecimals = 6;

bool EqualsNoCase(std::string_view a, std::string_view b) {
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return upper(x) == upper(y); });
}

const SpeedRow& RowOf(ReplaySpeed speed) {
  for (const SpeedRow& row : kSpeeds) {
    if (row.speed == speed) return row;
  }
  return kSpeeds[0];
}

// Exactly `digits` decimal digits at text[at..], as a number.
std::optional<int32_t> Digits(std::string_view text, size_t at, size_t digits) {
  if (at + digits > text.size()) return std::nullopt;
  int32_t value = 0;
  for (size_t i = at; i < at + digits; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

// "hh:mm:ss[.s]" as seconds of the day.
std::optional<double> TimeOfDay(std::string_view text) {
  constexpr size_t kWhole = 8;  // hh:mm:ss
  if (text.size() < kWhole || text[2] != ':' || text[5] != ':') return std::nullopt;
  const auto h = Digits(text, 0, 2), m = Digits(text, 3, 2), s = Digits(text, 6, 2);
  if (!h || !m || !s || *h > 23 || *m > 59 || *s > 59) return std::nullopt;
  double seconds = *h * 3600.0 + *m * 60.0 + *s;
  if (text.size() == kWhole) return seconds;
  const size_t decimals = text.size() - kWhole - 1;
  if (text[kWhole] != '.' || decimals == 0 || decimals > kMaxDecimals) return std::nullopt;
  const auto fraction = Digits(text, kWhole + 1, decimals);
  if (!fraction) return std::nullopt;
  double scale = 1;
  for (size_t i = 0; i < decimals; ++i)
    scale *= 10;
  return seconds + *fraction / scale;
}

}  // namespace

std::optional<ReplaySpeed> ParseReplaySpeed(std::string_view text) {
  for (const SpeedRow& row : kSpeeds) {
    if (EqualsNoCase(text, row.text)) return row.speed;
  }
  return std::nullopt;
}

std::string_view ReplaySpeedText(ReplaySpeed speed) {
  return RowOf(speed).text;
}

double ReplaySpeedFactor(ReplaySpeed speed) {
  return RowOf(speed).factor;
}

std::optional<ReplayTime> ParseReplayTime(std::string_view text) {
  constexpr size_t kDate = 10;  // yyyy-mm-dd
  ReplayTime time;
  if (text.size() > kDate && text[kDate] == ' ') {
    const auto y = Digits(text, 0, 4), m = Digits(text, 5, 2), d = Digits(text, 8, 2);
    if (!y || !m || !d || text[4] != '-' || text[7] != '-' || *y == 0 || *m < 1 || *m > 12 ||
        *d < 1 || *d > navlib::DaysInMonth(*y, *m))
      return std::nullopt;
    time.year = *y;
    time.month = *m;
    time.day = *d;
    text.remove_prefix(kDate + 1);
  }
  const std::optional<double> seconds = TimeOfDay(text);
  if (!seconds) return std::nullopt;
  time.utcSeconds = *seconds;
  return time;
}

std::optional<SeekTarget> ParseSeekTarget(std::string_view text) {
  if (EqualsNoCase(text, "START")) return SeekTarget{SeekTarget::Kind::Start, {}};
  if (EqualsNoCase(text, "END")) return SeekTarget{SeekTarget::Kind::End, {}};
  const std::optional<ReplayTime> time = ParseReplayTime(text);
  if (!time) return std::nullopt;
  return SeekTarget{SeekTarget::Kind::Time, *time};
}

}  // namespace pelmora
