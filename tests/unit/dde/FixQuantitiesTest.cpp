#include "app/dde/FixQuantities.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "app/dde/ServerModel.h"

namespace pelmora::dde {
namespace {

TEST(FixQuantities, ComposeUpdateCommand_IsByteExactForTheReferenceFix) {
  FixQuantities fix;
  fix.latitudeDegrees = 45.5;
  fix.longitudeDegrees = -71.25;
  fix.geoidHeight = 100;  // metres, ElevUnits 1
  fix.ellipsoidHeight = 70;
  fix.speed = 3.6;  // 1 m/s in km/h
  fix.trueHeadingDegrees = 90;
  fix.pdop = 2.5;
  fix.timeOfDaySeconds = 43200;
  fix.depth = 0;
  EXPECT_EQ(ComposeUpdateCommand(fix),
            "UPDATE 2,45.500000000000,-71.250000000000,100.000000,70.000000,3.60,90.00,2.50,"
            "43200.00,0.000000,");
}

TEST(FixQuantities, ComposeUpdateCommand_HasNoBlanksAndNineCommaTerminatedValues) {
  FixQuantities fix;
  fix.speed = -1e9;  // wide values are written out, never padded or grouped
  fix.depth = 123456.5;
  const std::string command = ComposeUpdateCommand(fix);
  EXPECT_EQ(command,
            "UPDATE 2,0.000000000000,0.000000000000,0.000000,0.000000,-1000000000.00,"
            "0.00,0.00,0.00,123456.500000,");
}

TEST(FixQuantities, EveryItemCarriesExactlyOneQuantity) {
  std::set<std::string> items;
  for (const FixQuantity& q : kFixQuantities)
    items.insert(q.item);
  EXPECT_EQ(items, std::set<std::string>(kItemNames.begin(), kItemNames.end()));
}

}  // namespace
}  // namespace pelmora::dde
