#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "app/format/FormatFixed.h"
#include "app/format/TimeOfDay.h"
#include "app/format/Units.h"

namespace pelmora {
namespace {

TEST(UnitsTest, ConversionsUseTheProgramsFactors) {
  struct Case {
    double mps;
    int unit;
    const char* text;  // one decimal, as displayed
  } cases[] = {
      {10, 0, "22.4"}, {10, 1, "19.4"}, {10, 2, "10.0"},
      {10, 3, "36.0"}, {23, 0, "51.5"},  // 2.2374144, not the textbook 2.2369363
      {33, 1, "64.2"},                   // 1.944, not 1.9438445
      {10, 4, "0.0"},  {10, -1, "0.0"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatFixed(SpeedInUnit(c.mps, c.unit), 0, 1), c.text) << c.unit;

  EXPECT_EQ(FormatFixed(ElevationInUnit(100, 0), 0, 2), "328.08");
  EXPECT_EQ(ElevationInUnit(100, 1), 100);
  EXPECT_EQ(ElevationInUnit(100, 7), 100);
  EXPECT_EQ(DisplayHeading(350, 15, 0), 365);  // not wrapped into 0..360
  EXPECT_EQ(DisplayHeading(350, 15, 1), 350);
}

TEST(UnitsTest, DisplayedTimeIsCorrectedOnceEachWayIntoTheDay) {
  struct Case {
    double utc;
    int timeUtc, offset;
    double shown;
  } cases[] = {
      {5400, 0, 5, 73800},           // 01:30 UTC, five hours behind: 20:30 the day before
      {82800, 0, -3, 7200},          // 23:00 UTC, three hours ahead: 02:00
      {82800, 1, -3, 82800},         // UTC ignores the offset
      {86400, 1, 0, 86400},          // exactly a day stays
      {1000, 0, -48, 1000 + 86400},  // one correction only
      {43200.25, 0, 0, 43200.25},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DisplayTimeSeconds(c.utc, c.timeUtc, c.offset), c.shown) << c.utc;
}

TEST(UnitsTest, SuffixOutsideItsListIsEmpty) {
  const std::vector<std::string> list = {" feet", " metres", ""};
  EXPECT_EQ(UnitSuffixes::At(list, 1), " metres");
  EXPECT_EQ(UnitSuffixes::At(list, 3), "");
  EXPECT_EQ(UnitSuffixes::At(list, -1), "");
}

TEST(TimeOfDayTest, RegionalPatternsAreRead) {
  struct Case {
    const char* pattern;
    const char *am, *pm;
    bool zero, twelve, first;
    const char* separator;
    const char* amShown;
  } cases[] = {
      {"HH:mm:ss", "", "", true, false, false, ":", "am"},
      {"h:mm:ss tt", "AM", "PM", false, true, false, ":", "AM"},
      {"tt hh:mm:ss", "", "", true, true, true, ":", "am"},  // designator first, defaults
      {"H.mm.ss", "", "", false, false, false, ".", "am"},
      {"HH'h'mm'm'ss", "", "", true, false, false, "h", "am"},
      {"", "", "", true, false, false, ":", "am"},
  };
  for (const Case& c : cases) {
    const LongTimeFormat f = ParseLongTimeFormat(c.pattern, c.am, c.pm);
    EXPECT_EQ(f.hourLeadingZero, c.zero) << c.pattern;
    EXPECT_EQ(f.twelveHour, c.twelve) << c.pattern;
    EXPECT_EQ(f.designatorFirst, c.first) << c.pattern;
    EXPECT_EQ(f.separator, c.separator) << c.pattern;
    EXPECT_EQ(f.am, c.amShown) << c.pattern;
  }
}

TEST(TimeOfDayTest, TimeTextDropsFractionsAndRefusesTimesOutsideTheDay) {
  LongTimeFormat h24;
  LongTimeFormat h12;
  h12.twelveHour = true;
  h12.hourLeadingZero = false;
  LongTimeFormat first = h12;
  first.designatorFirst = true;
  first.separator = ".";
  struct Case {
    double t;
    const LongTimeFormat* format;
    std::optional<std::string> text;
  } cases[] = {
      {73800, &h24, "20:30:00"},   {73800, &h12, "8:30:00 pm"},  {7200, &h24, "02:00:00"},
      {86399.7, &h24, "23:59:59"},  // never rounded up
      {0, &h12, "12:00:00 am"},    {43200, &h12, "12:00:00 pm"}, {33005, &first, "am 9.10.05"},
      {86400, &h24, std::nullopt}, {-1, &h24, std::nullopt},     {std::nan(""), &h24, std::nullopt},
      {1e300, &h24, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TimeOfDayText(c.t, *c.format), c.text) << c.t;
}

}  // namespace
}  // namespace pelmora
