// The lat/lon text of llcvt_dbl2str: each format, rounding carries, clamped arguments, invalid
// values and the 32-byte output limit.
#include "navlib32/LatLonFormat.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace navlib {
namespace {

#define DEG "\xB0"

constexpr LatLonKind kLat = LatLonKind::Latitude;
constexpr LatLonKind kLon = LatLonKind::Longitude;

std::string Format(double value, LatLonKind kind, int format, int decimals) {
  char out[kLatLonTextSize];
  std::memset(out, 'X', sizeof out);
  FormatLatLonText(out, sizeof out, value, kind, format, decimals);
  return out;
}

struct Case {
  const char* legend;
  double value;
  LatLonKind kind;
  int format;
  int decimals;
  const char* expected;
};

const Case kCases[] = {
    {"idle text", 0.0, kLat, 5, 1, "0" DEG " 0' 0.0\" N"},
    {"signed degrees", -12.5, kLat, 0, 5, "-12.50000" DEG},
    {"positive degrees carry no sign", 12.5, kLon, 0, 1, "12.5" DEG},
    {"degrees north", 12.5, kLat, 1, 2, "12.50" DEG " N"},
    {"degrees west", -12.5, kLon, 1, 2, "12.50" DEG " W"},
    {"signed minutes", -12.5, kLat, 2, 3, "-12" DEG " 30.000'"},
    {"minutes east", 12.5, kLon, 3, 3, "12" DEG " 30.000' E"},
    {"minutes south", -33.8568, kLat, 3, 4, "33" DEG " 51.4080' S"},
    {"signed seconds", -33.8568, kLat, 4, 1, "-33" DEG " 51' 24.5\""},
    {"seconds east", 151.2153, kLon, 5, 2, "151" DEG " 12' 55.08\" E"},
    {"seconds west", -0.5, kLon, 5, 1, "0" DEG " 30' 0.0\" W"},
    {"ten decimals", 1.0 / 3.0, kLat, 0, 10, "0.3333333333" DEG},
    {"half rounds away from zero", 0.125, kLat, 0, 2, "0.13" DEG},
    // Carries: a component that rounds up to a whole unit moves into the next one.
    {"minutes carry into degrees", 47.99999999, kLat, 3, 2, "48" DEG " 0.00' N"},
    {"seconds carry into degrees", 10.9999999, kLon, 5, 1, "11" DEG " 0' 0.0\" E"},
    {"seconds carry into minutes", 10.0 + 29.99999 / 60.0, kLon, 5, 1, "10" DEG " 30' 0.0\" E"},
    {"carry to 180", 179.9999999, kLon, 3, 2, "180" DEG " 0.00' E"},
    {"degrees carry", 9.9999999, kLat, 0, 3, "10.000" DEG},
    {"rounded zero has no sign", -0.000001, kLat, 0, 2, "0.00" DEG},
    {"rounded zero is north", -0.000001, kLat, 1, 2, "0.00" DEG " N"},
    {"rounded zero is east", -0.0000001, kLon, 5, 1, "0" DEG " 0' 0.0\" E"},
    // Edges of the ranges.
    {"south pole", -90.0, kLat, 5, 1, "90" DEG " 0' 0.0\" S"},
    {"date line west", -180.0, kLon, 1, 1, "180.0" DEG " W"},
    {"longitude wraps", 190.0, kLon, 1, 1, "170.0" DEG " W"},
    {"longitude wraps twice", -370.0, kLon, 0, 1, "-10.0" DEG},
    // Clamped arguments.
    {"format above 5 clamps", 12.5, kLat, 9, 1, "12" DEG " 30' 0.0\" N"},
    {"format below 0 clamps", -12.5, kLat, -3, 1, "-12.5" DEG},
    {"decimals below 1 clamp", 12.25, kLat, 3, 0, "12" DEG " 15.0' N"},
    {"decimals above 10 clamp", 12.5, kLat, 0, 99, "12.5000000000" DEG},
    // Invalid values.
    {"latitude beyond the pole", 91.0, kLat, 3, 2, "---"},
    {"not a number", std::numeric_limits<double>::quiet_NaN(), kLat, 3, 2, "---"},
    {"infinite longitude", -std::numeric_limits<double>::infinity(), kLon, 5, 10, "---"},
};

TEST(LatLonFormat, Table) {
  for (const Case& c : kCases) {
    EXPECT_EQ(Format(c.value, c.kind, c.format, c.decimals), c.expected) << c.legend;
  }
}

TEST(LatLonFormat, ReportsInvalidValues) {
  char out[kLatLonTextSize];
  EXPECT_TRUE(FormatLatLonText(out, sizeof out, 45.0, kLat, 3, 2));
  EXPECT_FALSE(FormatLatLonText(out, sizeof out, std::nan(""), kLon, 3, 2));
  EXPECT_FALSE(FormatLatLonText(out, sizeof out, -95.0, kLat, 3, 2));
  EXPECT_FALSE(FormatLatLonText(nullptr, 32, 45.0, kLat, 3, 2));
  EXPECT_FALSE(FormatLatLonText(out, 0, 45.0, kLat, 3, 2));
}

TEST(LatLonFormat, NeverWritesBeyondTheBuffer_AnyFormatAndValue) {
  const double values[] = {-180.0,
                           179.99999999999,
                           -90.0,
                           89.999999999999,
                           1e300,
                           -1e300,
                           -0.0,
                           123.456789012345,
                           std::numeric_limits<double>::denorm_min()};
  for (double v : values) {
    for (int kind = 0; kind < 2; ++kind) {
      for (int format = -1; format <= 6; ++format) {
        for (int decimals = 0; decimals <= 11; ++decimals) {
          char buf[kLatLonTextSize + 16];
          std::memset(buf, 0x5A, sizeof buf);
          FormatLatLonText(buf, kLatLonTextSize, v, kind ? kLon : kLat, format, decimals);
          const std::size_t len = strnlen(buf, kLatLonTextSize);
          ASSERT_LT(len, kLatLonTextSize) << v << " " << format << " " << decimals;
          for (std::size_t i = kLatLonTextSize; i < sizeof buf; ++i)
            ASSERT_EQ(buf[i], 0x5A);
        }
      }
    }
  }
}

TEST(LatLonFormat, SmallBufferIsTruncatedAndTerminated) {
  char buf[8];
  std::memset(buf, 0x5A, sizeof buf);
  FormatLatLonText(buf, 5, -33.8568, kLat, 5, 10);
  EXPECT_EQ(std::string(buf), "33" DEG " ");
  EXPECT_EQ(buf[5], 0x5A);
}

TEST(LatLonFormat, LastComponentHasTheRequestedDecimals) {
  for (int format = 0; format < kLatLonFormatCount; ++format) {
    for (int decimals = 1; decimals <= 10; ++decimals) {
      const std::string text = Format(-47.123456789, kLat, format, decimals);
      const std::size_t point = text.find('.');
      ASSERT_NE(point, std::string::npos) << text;
      std::size_t digits = 0;
      while (point + 1 + digits < text.size() &&
             std::isdigit(static_cast<unsigned char>(text[point + 1 + digits])))
        ++digits;
      EXPECT_EQ(digits, static_cast<std::size_t>(decimals)) << text;
      EXPECT_EQ(text.find('.', point + 1), std::string::npos) << text;
    }
  }
}

}  // namespace
}  // namespace navlib
