// The Accuracy tab's choices: the reference (running average, first fix or a surveyed mark) and
// the quality gates, kept in options of their own and read back from the tab's fields. Portable:
// standard C++ only; texts are Windows-1252.
#pragma once

#include <optional>
#include <string>

#include "app/settings/OptionStore.h"
#include "app/workbench/AccuracyStats.h"

namespace pelmora::workbench {

struct AccuracySettings {
  ReferenceKind reference = ReferenceKind::RunningAverage;
  std::optional<Geodetic> mark;  // the last mark applied, kept when another reference is chosen
  bool markHasHeight = false;
  QualityGates gates{.minFixDimension = 0};  // any fix

  bool operator==(const AccuracySettings&) const;
};

// From WorkbenchReference, WorkbenchMark, WorkbenchMinFix, WorkbenchMaxPdop, WorkbenchMinSats;
// a missing or odd value takes its default (a surveyed reference without a mark: the running
// average).
AccuracySettings LoadAccuracySettings(const OptionStore& store);
void SaveAccuracySettings(const OptionStore& store, const AccuracySettings& settings);
// Sets the statistics' reference and gates (gathered epochs stay as they were judged).
void ApplyAccuracySettings(const AccuracySettings& settings, AccuracyStats& stats);

// The choices of the minimum fix combo box, in its order, and their gate values.
constexpr const char* kMinFixChoices[] = {"Any fix", "2D", "3D"};
constexpr int kMinFixDimensions[] = {0, 2, 3};
// The choices of the reference combo box, in ReferenceKind's order.
constexpr const char* kReferenceChoices[] = {"Running average", "First fix", "Surveyed mark"};

// What the tab's fields hold.
struct AccuracyFields {
  int reference = 0;  // index into kReferenceChoices
  std::string latitude, longitude, height;
  int minFix = 0;  // index into kMinFixChoices
  std::string maxPdop, minSats;
};

// The fields as they show settings, coordinates in lat/lon display format geoFormat.
AccuracyFields FieldsOf(const AccuracySettings& settings, int geoFormat);

// The settings the fields ask for, starting from current; the mark is read only for a surveyed
// reference. error names what is wrong (and settings is current) when a field does not parse.
struct FieldsReading {
  AccuracySettings settings;
  std::string error;
};
FieldsReading ReadFields(const AccuracyFields& fields, const AccuracySettings& current);

}  // namespace pelmora::workbench
