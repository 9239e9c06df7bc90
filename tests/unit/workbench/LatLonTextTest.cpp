// The surveyed mark's fields: every display format read back, decimal degrees, bad input.
#include "app/workbench/LatLonText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pelmora::workbench {
namespace {

using navlib::LatLonKind;
constexpr LatLonKind kLat = LatLonKind::Latitude;
constexpr LatLonKind kLon = LatLonKind::Longitude;

TEST(LatLonTextTest, ReadsTheDisplayFormatsAndDecimalDegrees) {
  const struct {
    const char* text;
    LatLonKind kind;
    double degrees;
  } cases[] = {
      {"52.52", kLat, 52.52},
      {"-12.50000\xB0", kLat, -12.5},
      {"12.50000\xB0 S", kLat, -12.5},
      {"-12\xB0 30.000'", kLat, -12.5},
      {"12\xB0 30.000' S", kLat, -12.5},
      {"-12\xB0 30' 0.0\"", kLat, -12.5},
      {"12\xB0 30' 36.0\" S", kLat, -(12 + 30 / 60.0 + 36 / 3600.0)},
      {"N 52 31 12", kLat, 52.52},
      {"12d30' 36'' s", kLat, -(12 + 30 / 60.0 + 36 / 3600.0)},
      {"013\xB0 24.3' E", kLon, 13.405},
      {"179:59:59.9 W", kLon, -(179 + 59 / 60.0 + 59.9 / 3600.0)},
      {"  +0.5  ", kLon, 0.5},
      {"-0\xB0 30.000'", kLon, -0.5},
  };
  for (const auto& c : cases) {
    const std::optional<double> got = ParseLatLon(c.text, c.kind);
    ASSERT_TRUE(got.has_value()) << c.text;
    EXPECT_NEAR(*got, c.degrees, 1e-12) << c.text;
  }
}

TEST(LatLonTextTest, RejectsWhatIsNotALatitudeOrLongitude) {
  const struct {
    const char* text;
    LatLonKind kind;
  } cases[] = {
      {"", kLat},      {"   ", kLat},      {"N", kLat},          {"abc", kLat},
      {"52,52", kLat}, {"90.001", kLat},   {"-180.5", kLon},     {"12.5\xB0 30'", kLat},
      {"12 60", kLat}, {"12 30 60", kLat}, {"12 30 10 5", kLat}, {"N 12 S", kLat},
      {"-12 S", kLat}, {"12 E", kLat},     {"30' 12\xB0", kLat}, {"1e5", kLon},
      {"12..5", kLat}, {"12:", kLat},      {"nan", kLat},        {"12\xB0 30\xB0", kLat},
  };
  for (const auto& c : cases)
    EXPECT_FALSE(ParseLatLon(c.text, c.kind).has_value()) << "'" << c.text << "'";
}

TEST(LatLonTextTest, EveryFormatsMarkTextReadsBackToTheMillimetre) {
  for (int format = 0; format < navlib::kLatLonFormatCount; ++format) {
    for (const double lat : {-33.85678912, 0.00000012, 89.99999999, 52.52004473}) {
      const std::string text = MarkCoordinateText(lat, kLat, format);
      EXPECT_NEAR(ParseLatLon(text, kLat).value_or(1e9), lat, 3e-8) << format << " " << text;
    }
    for (const double lon : {151.21530001, -179.99999999, -0.5}) {
      const std::string text = MarkCoordinateText(lon, kLon, format);
      EXPECT_NEAR(ParseLatLon(text, kLon).value_or(1e9), lon, 3e-8) << format << " " << text;
    }
  }
}

TEST(LatLonTextTest, ReadMarkNamesTheFieldThatFails) {
  MarkReading m = ReadMark("52\xB0 31.200' N", "13.405", " 45.25 m ");
  ASSERT_TRUE(m.position.has_value());
  EXPECT_NEAR(m.position->latitude, 52.52, 1e-12);
  EXPECT_DOUBLE_EQ(m.position->height, 45.25);
  EXPECT_TRUE(m.hasHeight && m.error.empty());
  m = ReadMark("52.52", "13.405", "");
  EXPECT_TRUE(m.position.has_value() && !m.hasHeight);
  const struct {
    const char* lat;
    const char* lon;
    const char* height;
    const char* errorStart;
  } bad[] = {{"", "13.4", "", "Type"},
             {"52.5 E", "13.4", "", "Latitude"},
             {"52.5", "13.4 N", "", "Longitude"},
             {"52.5", "13.4", "45 ft", "Height"},
             {"52.5", "13.4", "1e9", "Height"}};
  for (const auto& b : bad) {
    m = ReadMark(b.lat, b.lon, b.height);
    EXPECT_FALSE(m.position.has_value());
    EXPECT_EQ(m.error.rfind(b.errorStart, 0), 0u) << m.error;
  }
}

}  // namespace
}  // namespace pelmora::workbench
