// Proleptic Gregorian dates as days since 1970-01-01, both ways. Portable.
#pragma once

#include <cstdint>

namespace navlib {

int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(int64_t days, int* year, int* month, int* day);

}  // namespace navlib
