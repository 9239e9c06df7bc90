// Calendar dates for the fix: the record carries the UTC time of day only, so the date comes
// from the receiver's own RMC or ZDA sentences when it sends them, else from the computer's UTC
// clock, taking the day that puts the fix nearest to now (a fix at 23:59:59 read at 00:00:01
// belongs to yesterday). Portable.
#pragma once

#include <optional>
#include <string_view>

#include "app/net/FixEpoch.h"

namespace pelmora::net {

long long DaysFromCivil(CivilDate date);  // days since 1970-01-01
CivilDate CivilFromDays(long long days);

// The date of the last RMC (with status A or V) or ZDA among CR LF-ended sentences.
std::optional<CivilDate> DateInSentences(std::string_view sentences);

// The day on which secondsOfDay lies nearest to unixNow (seconds since 1970, UTC).
CivilDate DateNear(double unixNow, double secondsOfDay);

}  // namespace pelmora::net
