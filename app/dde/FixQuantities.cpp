// The update command and the item values of one update step.
#include "app/dde/FixQuantities.h"

#include "app/format/FormatFixed.h"

namespace pelmora::dde {

const std::array<FixQuantity, kFixQuantityCount> kFixQuantities = {{
    {"Latitude", &FixQuantities::latitudeDegrees, 12},
    {"Longitude", &FixQuantities::longitudeDegrees, 12},
    {"GHeight", &FixQuantities::geoidHeight, 6},
    {"EHeight", &FixQuantities::ellipsoidHeight, 6},
    {"Speed", &FixQuantities::speed, 2},
    {"Heading", &FixQuantities::trueHeadingDegrees, 2},
    {"PDOP", &FixQuantities::pdop, 2},
    {"Time", &FixQuantities::timeOfDaySeconds, 2},
    {"Depth", &FixQuantities::depth, 6},
}};

std::array<std::string, kFixQuantityCount> FormatQuantities(const FixQuantities& fix) {
  std::array<std::string, kFixQuantityCount> texts;
  for (int i = 0; i < kFixQuantityCount; ++i) {
    const FixQuantity& q = kFixQuantities[i];
    texts[i] = FormatFixed(fix.*q.value, 0, q.decimals);
  }
  return texts;
}

std::string ComposeUpdateCommand(const FixQuantities& fix) {
  std::string command = "UPDATE 2,";
  for (const std::string& text : FormatQuantities(fix)) {
    command += text;
    command += ',';
  }
  return command;
}

}  // namespace pelmora::dde
