#include "app/format/FormatFixed.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace pelmora {
namespace {

constexpr int kSignificantDigits = 18;
constexpr int kMaxDecimals = 30;

std::string PadLeft(std::string text, int width) {
  if (width > 0 && text.size() < static_cast<size_t>(width))
    text.insert(0, static_cast<size_t>(width) - text.size(), ' ');
  return text;
}

// Adds one unit in the last place of a digit string; false when the carry runs off the front.
bool IncrementDigits(std::string& digits) {
  for (size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return true;
    }
    digits[i] = '0';
  }
  return false;
}

}  // namespace

std::string FormatFixed(double value, int width, int decimals) {
  if (std::isnan(value)) return PadLeft("NAN", width);
  if (std::isinf(value)) return PadLeft(value < 0 ? "-INF" : "INF", width);
  decimals = std::clamp(decimals, 0, kMaxDecimals);

  // "d.ddddddddddddddddde+XX": 18 significant digits and a decimal exponent.
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*e", kSignificantDigits - 1, std::fabs(value));
  std::string digits(1, buffer[0]);
  digits.append(buffer + 2, kSignificantDigits - 1);
  const int exponent = std::atoi(buffer + kSignificantDigits + 2);

  // digits holds `integerDigits` digits before the decimal point.
  int integerDigits = exponent + 1;
  if (integerDigits < 1) {
    digits.insert(0, static_cast<size_t>(1 - integerDigits), '0');
    integerDigits = 1;
  }
  const size_t kept = static_cast<size_t>(integerDigits + decimals);
  if (digits.size() > kept) {
    const bool roundUp = digits[kept] >= '5';
    digits.resize(kept);
    if (roundUp && !IncrementDigits(digits)) {
      digits.insert(0, 1, '1');
      ++integerDigits;
    }
  } else {
    digits.append(kept - digits.size(), '0');
  }

  std::string text;
  const bool zero = digits.find_first_not_of('0') == std::string::npos;
  if (value < 0 && !zero) text.push_back('-');
  const size_t firstDigit =
      std::min(digits.find_first_not_of('0'), static_cast<size_t>(integerDigits - 1));
  text.append(digits, firstDigit, static_cast<size_t>(integerDigits) - firstDigit);
  if (decimals > 0) {
    text.push_back('.');
    text.append(digits, static_cast<size_t>(integerDigits), std::string::npos);
  }
  return PadLeft(std::move(text), width);
}

}  // namespace pelmora
