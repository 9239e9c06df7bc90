// The texts of the fix as the main window shows them: position through the engine's lat/lon
// formatter, elevation, speed, heading and time in the units the presentation options choose.
// Holds references only, so a changed option takes effect at the next call.
#pragma once

#include <optional>
#include <string>

#include "app/engine/Engine.h"
#include "app/format/TimeOfDay.h"
#include "app/format/Units.h"
#include "app/settings/StartupOptions.h"

namespace pelmora {

class FixText {
 public:
  FixText(const DisplayOptions& options, const UnitSuffixes& suffixes,
          const LongTimeFormat& timeFormat, Engine& engine)
      : options_(options), suffixes_(suffixes), timeFormat_(timeFormat), engine_(engine) {}

  std::string FormatLatLon(double degrees, bool isLongitude) const;
  double ElevationInUnit(double metres) const;
  std::string FormatElevation(double metres) const;
  double SpeedInUnit(double metresPerSecond) const;
  std::string FormatSpeed(double metresPerSecond) const;
  std::string FormatHeading(double trueHeading, double magVariation) const;
  double DisplayTimeSeconds(double utcSeconds) const;
  // The displayed time t with the time suffix, or nothing when t lies outside the day.
  std::optional<std::string> FormatTimeOfDay(double t) const;

 private:
  const DisplayOptions& options_;
  const UnitSuffixes& suffixes_;
  const LongTimeFormat& timeFormat_;
  Engine& engine_;
};

}  // namespace pelmora
