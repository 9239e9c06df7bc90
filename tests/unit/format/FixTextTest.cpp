#include "app/format/FixText.h"

#include <gtest/gtest.h>

#include <string>

namespace pelmora {
namespace {

// Only the lat/lon formatter is used; it records its arguments.
class LatLonEngine : public Engine {
 public:
  int32_t Open(int32_t, const std::string&, const CommInfo&, const ReceiverSettings&) override {
    return -1;
  }
  int32_t Poll() override { return 1; }
  void GetEpoch(Epoch& epoch) override { epoch = Epoch{}; }
  int32_t StartLog(const std::string&) override { return -1; }
  int32_t StopLog() override { return 0; }
  int32_t Close() override { return 0; }
  int32_t GetDefaultCommInfo(int32_t, CommInfo&) override { return -1; }
  std::string FormatLatLon(double degrees, int32_t kind, int32_t format,
                           int32_t decimals) override {
    return std::to_string(degrees).substr(0, 4) + "/" + std::to_string(kind) + "/" +
           std::to_string(format) + "/" + std::to_string(decimals);
  }
};

class FixTextTest : public ::testing::Test {
 protected:
  FixTextTest() : text_(options_, suffixes_, timeFormat_, engine_) {
    suffixes_.elevation = {" ft", " m", ""};
    suffixes_.speed = {" mph", " kn", " m/s", " km/h", ""};
    suffixes_.heading = {" mag", " true", ""};
    suffixes_.time = {" local", " UTC", ""};
  }
  DisplayOptions options_;
  UnitSuffixes suffixes_;
  LongTimeFormat timeFormat_;
  LatLonEngine engine_;
  FixText text_;
};

TEST_F(FixTextTest, TextsFollowTheOptionsAtEachCall) {
  EXPECT_EQ(text_.FormatElevation(100), "328.08 ft");
  EXPECT_EQ(text_.FormatSpeed(23), "51.5 mph");
  EXPECT_EQ(text_.FormatHeading(350, 15), "350.0\xB0 true");
  EXPECT_EQ(text_.FormatTimeOfDay(82800), "23:00:00 UTC");

  options_.elevUnits = 1;
  options_.speedUnits = 1;
  options_.trackTrue = 0;
  options_.timeUtc = 0;
  options_.utcOffset = -3;
  EXPECT_EQ(text_.FormatElevation(-12.3456), "-12.35 m");
  EXPECT_EQ(text_.FormatSpeed(33), "64.2 kn");
  EXPECT_EQ(text_.FormatHeading(350, 15), "365.0\xB0 mag");
  EXPECT_EQ(text_.FormatTimeOfDay(text_.DisplayTimeSeconds(82800)), "02:00:00 local");

  options_.speedUnits = 9;  // beyond the list: 0 and no suffix
  EXPECT_EQ(text_.FormatSpeed(33), "0.0");
  EXPECT_EQ(text_.FormatTimeOfDay(86400), std::nullopt);
}

TEST_F(FixTextTest, PositionGoesToTheEnginesFormatterWithTheGeoOptions) {
  options_.geoFormat = 5;
  options_.geoPrecision = 7;
  EXPECT_EQ(text_.FormatLatLon(45.5, false), "45.5/0/5/7");
  EXPECT_EQ(text_.FormatLatLon(-71.25, true), "-71./1/5/7");
}

}  // namespace
}  // namespace pelmora
