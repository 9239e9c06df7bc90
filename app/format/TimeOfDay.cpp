#include "app/format/TimeOfDay.h"

#include <cmath>

namespace pelmora {
namespace {

std::string TwoDigits(int value) {
  return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

bool IsPatternLetter(char c) {
  return c == 'h' || c == 'H' || c == 'm' || c == 's' || c == 't';
}

}  // namespace

LongTimeFormat ParseLongTimeFormat(std::string_view pattern, std::string_view am,
                                   std::string_view pm) {
  LongTimeFormat format;
  if (!am.empty()) format.am = am;
  if (!pm.empty()) format.pm = pm;

  bool seenHour = false;
  bool seenMinute = false;
  bool seenDesignator = false;
  std::string literal;  // text since the last field
  for (size_t i = 0; i < pattern.size();) {
    const char c = pattern[i];
    if (c == '\'') {  // quoted literal up to the next quote
      const size_t end = pattern.find('\'', i + 1);
      const size_t stop = end == std::string_view::npos ? pattern.size() : end;
      literal.append(pattern.substr(i + 1, stop - i - 1));
      i = stop + 1;
      continue;
    }
    if (!IsPatternLetter(c)) {
      literal.push_back(c);
      ++i;
      continue;
    }
    size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == c)
      ++run;
    if ((c == 'h' || c == 'H') && !seenHour) {
      seenHour = true;
      format.twelveHour = c == 'h';
      format.hourLeadingZero = run >= 2;
      if (seenDesignator) format.designatorFirst = true;
    } else if (c == 'm' && seenHour && !seenMinute) {
      seenMinute = true;
      if (!literal.empty()) format.separator = literal;
    } else if (c == 't') {
      seenDesignator = true;
    }
    literal.clear();
    i += run;
  }
  return format;
}

std::optional<std::string> TimeOfDayText(double t, const LongTimeFormat& format) {
  // Outside the day (or not a number) there is nothing to show; this also keeps the
  // truncations below inside the range of int.
  if (!(t > -86400.0 && t < 2 * 86400.0)) return std::nullopt;
  const int h = static_cast<int>(std::trunc(t / 3600));
  const double r = t - h * 3600.0;
  const int m = static_cast<int>(std::trunc(r / 60));
  const int s = static_cast<int>(std::trunc(r - m * 60.0));
  if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) return std::nullopt;

  int hour = h;
  if (format.twelveHour) hour = h % 12 == 0 ? 12 : h % 12;
  std::string text = format.hourLeadingZero || hour >= 10 ? TwoDigits(hour) : std::to_string(hour);
  text += format.separator + TwoDigits(m) + format.separator + TwoDigits(s);
  if (!format.twelveHour) return text;
  const std::string& designator = h < 12 ? format.am : format.pm;
  return format.designatorFirst ? designator + " " + text : text + " " + designator;
}

}  // namespace pelmora
