// Civil dates from day counts (the proleptic Gregorian calendar) and the dates of sentences.
#include "app/net/UtcDate.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace pelmora::net {
namespace {

std::optional<int> Number(std::string_view field) {
  int value = 0;
  const auto r = std::from_chars(field.data(), field.data() + field.size(), value);
  if (r.ec != std::errc() || r.ptr != field.data() + field.size()) return std::nullopt;
  return value;
}

bool Plausible(const CivilDate& d) {
  return d.year >= 1980 && d.year <= 2200 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
         d.day <= 31;
}

std::optional<CivilDate> DateOf(std::string_view sentence) {
  // "$ttRMC,...": fields split at ',' and the '*' of the checksum.
  const std::size_t star = sentence.find('*');
  if (star != std::string_view::npos) sentence = sentence.substr(0, star);
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = sentence.find(',', start);
    fields.push_back(sentence.substr(start, comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (fields[0].size() != 5) return std::nullopt;  // talker and type
  const std::string_view type = fields[0].substr(2);
  CivilDate d;
  if (type == "RMC" && fields.size() > 9 && fields[9].size() == 6) {
    const auto dd = Number(fields[9].substr(0, 2));
    const auto mm = Number(fields[9].substr(2, 2));
    const auto yy = Number(fields[9].substr(4, 2));
    if (!dd || !mm || !yy) return std::nullopt;
    // Two-digit years: 80..99 are 1980..1999 (GPS began in 1980).
    d = {*yy >= 80 ? 1900 + *yy : 2000 + *yy, *mm, *dd};
  } else if (type == "ZDA" && fields.size() > 4) {
    const auto dd = Number(fields[2]);
    const auto mm = Number(fields[3]);
    const auto yyyy = Number(fields[4]);
    if (!dd || !mm || !yyyy) return std::nullopt;
    d = {*yyyy, *mm, *dd};
  } else {
    return std::nullopt;
  }
  if (!Plausible(d)) return std::nullopt;
  return d;
}

}  // namespace

long long DaysFromCivil(CivilDate date) {
  const long long y = date.year - (date.month <= 2 ? 1 : 0);
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long m = date.month;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CivilDate CivilFromDays(long long days) {
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long doe = days - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  return {year, month, day};
}

std::optional<CivilDate> DateInSentences(std::string_view sentences) {
  std::optional<CivilDate> found;
  std::size_t start = 0;
  while (start < sentences.size()) {
    std::size_t end = sentences.find('\n', start);
    if (end == std::string_view::npos) end = sentences.size();
    std::string_view line = sentences.substr(start, end - start);
    while (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    if (line.size() > 7 && line[0] == '$') {
      if (auto d = DateOf(line.substr(1))) found = d;
    }
    start = end + 1;
  }
  return found;
}

CivilDate DateNear(double unixNow, double secondsOfDay) {
  if (!std::isfinite(unixNow)) unixNow = 0;
  const long long today = static_cast<long long>(std::floor(unixNow / 86400.0));
  const double sinceMidnight = unixNow - static_cast<double>(today) * 86400.0;
  long long day = today;
  if (std::isfinite(secondsOfDay)) {
    if (secondsOfDay - sinceMidnight > 43200.0) --day;  // a fix from late yesterday
    if (sinceMidnight - secondsOfDay > 43200.0) ++day;  // the receiver already past midnight
  }
  return CivilFromDays(day);
}

}  // namespace pelmora::net
