// The nine quantities of one update step that leave the program over DDE: as the update
// command to the GIS ("UPDATE 2," and nine values) and as the values of the server's nine
// items. One table holds each quantity's item name and decimals. Portable.
#pragma once

#include <array>
#include <string>

namespace pelmora::dde {

// One update step's quantities, converted once by the poll cycle and used by the display, the
// update command and the items alike.
struct FixQuantities {
  double latitudeDegrees = 0;
  double longitudeDegrees = 0;
  double geoidHeight = 0;         // ElevationInUnit: feet or metres by ElevUnits
  double ellipsoidHeight = 0;     // ElevationInUnit
  double speed = 0;               // SpeedInUnit: the unit of SpeedUnits
  double trueHeadingDegrees = 0;  // never the magnetic heading
  double pdop = 0;                // as the update step clamped it
  double timeOfDaySeconds = 0;    // DisplayTimeSeconds: UTC or local, with its fraction
  double depth = 0;
};

struct FixQuantity {
  const char* item;  // the server item that carries it
  double FixQuantities::*value;
  int decimals;
};

constexpr int kFixQuantityCount = 9;

// In the order of the update command.
extern const std::array<FixQuantity, kFixQuantityCount> kFixQuantities;

// FormatFixed(value, 0, decimals) of each quantity, in the order of kFixQuantities.
std::array<std::string, kFixQuantityCount> FormatQuantities(const FixQuantities& fix);

// "UPDATE 2," then every value followed by ",": no blanks, ending in the comma. For example
// UPDATE 2,45.500000000000,-71.250000000000,100.000000,70.000000,3.60,90.00,2.50,43200.00,0.000000,
std::string ComposeUpdateCommand(const FixQuantities& fix);

}  // namespace pelmora::dde
