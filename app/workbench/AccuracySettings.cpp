// The Accuracy tab's options and fields.
#include "app/workbench/AccuracySettings.h"

#include <cmath>
#include <cstdio>
#include <string_view>

#include "app/settings/OptionKeys.h"
#include "app/workbench/LatLonText.h"

namespace pelmora::workbench {
namespace {

constexpr int kReferenceCount = 3;
constexpr int kMinFixCount = 3;
constexpr double kMaxPdopLimit = 100.0;  // receivers report PDOP up to 99.9
constexpr int kMaxSatsLimit = 255;

std::string Printed(const char* format, double value) {
  char buffer[48];
  const int n = std::snprintf(buffer, sizeof buffer, format, value);
  return n > 0 && n < static_cast<int>(sizeof buffer) ? std::string(buffer, n) : std::string();
}

int MinFixIndex(int dimension) {
  for (int i = 0; i < kMinFixCount; ++i)
    if (kMinFixDimensions[i] == dimension) return i;
  return 0;
}

// "LAT,LON" or "LAT,LON,HEIGHT" in decimal degrees and metres.
bool ParseStoredMark(std::string_view text, AccuracySettings& settings) {
  double values[3] = {0, 0, 0};
  int count = 0;
  for (;;) {
    const std::size_t comma = text.find(',');
    const std::optional<double> value = ParseDecimal(text.substr(0, comma));
    if (!value || count == 3) return false;
    values[count++] = *value;
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  if (count < 2 || std::fabs(values[0]) > 90.0 || std::fabs(values[1]) > 180.0) return false;
  settings.mark = Geodetic{values[0], values[1], values[2]};
  settings.markHasHeight = count == 3;
  return true;
}

std::optional<double> ReadMaxPdop(std::string_view text) {
  if (text.find_first_not_of(" \t") == std::string_view::npos) return 0.0;  // no limit
  const std::optional<double> value = ParseDecimal(text);
  if (!value || *value < 0.0 || *value > kMaxPdopLimit) return std::nullopt;
  return *value;
}

std::optional<int> ReadMinSats(std::string_view text) {
  if (text.find_first_not_of(" \t") == std::string_view::npos) return 0;
  const std::optional<double> value = ParseDecimal(text);
  if (!value || *value < 0.0 || *value > kMaxSatsLimit || *value != std::floor(*value))
    return std::nullopt;
  return static_cast<int>(*value);
}

}  // namespace

bool AccuracySettings::operator==(const AccuracySettings& o) const {
  const bool sameMark =
      mark.has_value() == o.mark.has_value() &&
      (!mark || (mark->latitude == o.mark->latitude && mark->longitude == o.mark->longitude &&
                 mark->height == o.mark->height));
  return reference == o.reference && sameMark && markHasHeight == o.markHasHeight &&
         gates.minFixDimension == o.gates.minFixDimension && gates.maxPdop == o.gates.maxPdop &&
         gates.minSatsUsed == o.gates.minSatsUsed;
}

AccuracySettings LoadAccuracySettings(const OptionStore& store) {
  AccuracySettings s;
  ParseStoredMark(store.ReadOptionText(OptionNamed("WorkbenchMark").name, ""), s);
  const int reference = store.ReadOptionInt(OptionNamed("WorkbenchReference").name, 0);
  if (reference > 0 && reference < kReferenceCount) s.reference = ReferenceKind(reference);
  if (s.reference == ReferenceKind::Surveyed && !s.mark)
    s.reference = ReferenceKind::RunningAverage;
  s.gates.minFixDimension =
      kMinFixDimensions[MinFixIndex(store.ReadOptionInt(OptionNamed("WorkbenchMinFix").name, 0))];
  s.gates.maxPdop =
      ReadMaxPdop(store.ReadOptionText(OptionNamed("WorkbenchMaxPdop").name, "")).value_or(0.0);
  const int sats = store.ReadOptionInt(OptionNamed("WorkbenchMinSats").name, 0);
  s.gates.minSatsUsed = sats >= 0 && sats <= kMaxSatsLimit ? sats : 0;
  return s;
}

void SaveAccuracySettings(const OptionStore& store, const AccuracySettings& s) {
  store.WriteOption(OptionNamed("WorkbenchReference").name,
                    std::to_string(static_cast<int>(s.reference)));
  if (s.mark) {
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on chained concatenations.
    std::string mark = Printed("%.9f", s.mark->latitude);
    mark.append(",").append(Printed("%.9f", s.mark->longitude));
    if (s.markHasHeight) mark.append(",").append(Printed("%.3f", s.mark->height));
    store.WriteOption(OptionNamed("WorkbenchMark").name, mark);
  }
  store.WriteOption(OptionNamed("WorkbenchMinFix").name, std::to_string(s.gates.minFixDimension));
  store.WriteOption(OptionNamed("WorkbenchMaxPdop").name, Printed("%g", s.gates.maxPdop));
  store.WriteOption(OptionNamed("WorkbenchMinSats").name, std::to_string(s.gates.minSatsUsed));
}

void ApplyAccuracySettings(const AccuracySettings& s, AccuracyStats& stats) {
  stats.SetGates(s.gates);
  if (s.reference == ReferenceKind::Surveyed && s.mark)
    stats.SetReference(ReferenceKind::Surveyed, *s.mark, s.markHasHeight);
  else if (s.reference == ReferenceKind::FirstFix)
    stats.SetReference(ReferenceKind::FirstFix);
  else
    stats.SetReference(ReferenceKind::RunningAverage);
}

AccuracyFields FieldsOf(const AccuracySettings& s, int geoFormat) {
  AccuracyFields f;
  f.reference = static_cast<int>(s.reference);
  if (s.mark) {
    f.latitude = MarkCoordinateText(s.mark->latitude, navlib::LatLonKind::Latitude, geoFormat);
    f.longitude = MarkCoordinateText(s.mark->longitude, navlib::LatLonKind::Longitude, geoFormat);
    if (s.markHasHeight) f.height = Printed("%.3f", s.mark->height);
  }
  f.minFix = MinFixIndex(s.gates.minFixDimension);
  f.maxPdop = s.gates.maxPdop > 0.0 ? Printed("%g", s.gates.maxPdop) : std::string();
  f.minSats = std::to_string(s.gates.minSatsUsed);
  return f;
}

FieldsReading ReadFields(const AccuracyFields& f, const AccuracySettings& current) {
  FieldsReading out{current, {}};
  AccuracySettings s = current;
  s.reference = f.reference > 0 && f.reference < kReferenceCount ? ReferenceKind(f.reference)
                                                                 : ReferenceKind::RunningAverage;
  if (s.reference == ReferenceKind::Surveyed) {
    const MarkReading mark = ReadMark(f.latitude, f.longitude, f.height);
    if (!mark.position) {
      out.error = mark.error;
      return out;
    }
    s.mark = mark.position;
    s.markHasHeight = mark.hasHeight;
  }
  s.gates.minFixDimension =
      kMinFixDimensions[f.minFix >= 0 && f.minFix < kMinFixCount ? f.minFix : 0];
  const std::optional<double> pdop = ReadMaxPdop(f.maxPdop);
  if (!pdop) {
    out.error = "Max. PDOP not understood: a number such as 4, or empty for no limit.";
    return out;
  }
  s.gates.maxPdop = *pdop;
  const std::optional<int> sats = ReadMinSats(f.minSats);
  if (!sats) {
    out.error = "Min. satellites not understood: a whole number from 0 to 255.";
    return out;
  }
  s.gates.minSatsUsed = *sats;
  out.settings = s;
  return out;
}

}  // namespace pelmora::workbench
