// Fixed-point decimal text of a number, independent of the user's locale.
#pragma once

#include <string>

namespace pelmora {

// value rounded to `decimals` places and padded on the left with blanks to at least `width`
// characters. The magnitude is first written with 18 significant digits and then rounded by the
// first dropped digit (5 or more rounds up, so halves go away from zero); "." is the decimal
// point, there is no grouping, and "-" leads a negative value that does not round to zero.
// Non-finite values give "NAN", "INF" or "-INF".
std::string FormatFixed(double value, int width, int decimals);

}  // namespace pelmora
