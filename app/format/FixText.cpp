#include "app/format/FixText.h"

#include "app/format/FormatFixed.h"

namespace pelmora {
namespace {

constexpr char kDegreeSign = '\xB0';  // Windows-1252

}  // namespace

std::string FixText::FormatLatLon(double degrees, bool isLongitude) const {
  return engine_.FormatLatLon(degrees, isLongitude ? 1 : 0, options_.geoFormat,
                              options_.geoPrecision);
}

double FixText::ElevationInUnit(double metres) const {
  return pelmora::ElevationInUnit(metres, options_.elevUnits);
}

std::string FixText::FormatElevation(double metres) const {
  return FormatFixed(ElevationInUnit(metres), 0, 2) +
         UnitSuffixes::At(suffixes_.elevation, options_.elevUnits);
}

double FixText::SpeedInUnit(double metresPerSecond) const {
  return pelmora::SpeedInUnit(metresPerSecond, options_.speedUnits);
}

std::string FixText::FormatSpeed(double metresPerSecond) const {
  return FormatFixed(SpeedInUnit(metresPerSecond), 0, 1) +
         UnitSuffixes::At(suffixes_.speed, options_.speedUnits);
}

std::string FixText::FormatHeading(double trueHeading, double magVariation) const {
  std::string text =
      FormatFixed(DisplayHeading(trueHeading, magVariation, options_.trackTrue), 0, 1);
  text.push_back(kDegreeSign);
  return text + UnitSuffixes::At(suffixes_.heading, options_.trackTrue);
}

double FixText::DisplayTimeSeconds(double utcSeconds) const {
  return pelmora::DisplayTimeSeconds(utcSeconds, options_.timeUtc, options_.utcOffset);
}

std::optional<std::string> FixText::FormatTimeOfDay(double t) const {
  std::optional<std::string> text = TimeOfDayText(t, timeFormat_);
  if (text) *text += UnitSuffixes::At(suffixes_.time, options_.timeUtc);
  return text;
}

}  // namespace pelmora
